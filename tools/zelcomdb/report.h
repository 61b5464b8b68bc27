// `zelcomdb report DIR_A DIR_B -o FILE`: the review of a delivery as one
// self-contained HTML page (no script, no network, no resource outside the
// file): the summary, the check of the new directory, and the diff by file
// with old and new values side by side and a picture of each file's layout
// where its changes lie. The page is rendered from the documents that
// `diff --json` and `check --json` print, so that it cannot say otherwise.
#ifndef ZELCOMDB_REPORT_H
#define ZELCOMDB_REPORT_H

#include <string>

#include "schema.h"

namespace zel::tool {

// {"old": DIR_A, "new": DIR_B, "diff": the diff document, "check": the
// check document of DIR_B, "layouts": [one per file of the diff, in its
// order: {"layout": the layout of the new version (of the old one for a
// removed file, file_layout.h), "changed": RANGES}]}; RANGES: [{"offset",
// "length"}], the bytes that differ between the two versions. Throws
// ToolError when a directory cannot be read.
Json reportDocument(const std::string& dirA, const std::string& dirB);

// The page. Every text that comes from a file or a command line is escaped
// for HTML.
std::string reportHtml(const Json& report);

}  // namespace zel::tool

#endif
