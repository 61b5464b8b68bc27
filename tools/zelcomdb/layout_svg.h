// The picture of a database file in the report: bars of its bytes on one
// scale, from byte 0 to the end of the file or of what its tables reach,
// whichever is further. One bar per level of its layout (tables; sections
// and table headers; rows and records), one of the bytes no reader reaches
// and of those its tables reach beyond the end of the file, and one of the
// changed bytes, those no reader reaches set apart. Every range keeps a
// tooltip with its name, offset and length; a legend names the colours.
// Inline SVG and HTML only, so the page needs no script and no resource.
#ifndef ZELCOMDB_LAYOUT_SVG_H
#define ZELCOMDB_LAYOUT_SVG_H

#include <string>

#include "schema.h"

namespace zel::tool {

// layout: {"size", "reachEnd", "parts": [{"offset", "length", "kind",
// "name", "depth"}], "reached": RANGES}; changed and unreachedChanges:
// RANGES, [{"offset", "length"}]. Gives an HTML <figure>. However many
// parts the layout has, a bar holds at most a few thousand shapes: parts
// that would be drawn under one already drawn are counted in its tooltip.
std::string layoutFigure(const std::string& caption, const Json& layout, const Json& changed,
                         const Json& unreachedChanges);

}  // namespace zel::tool

#endif
