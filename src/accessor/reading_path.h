// The one path of every call that reads a database file: open the named file,
// let the reader's layout logic make its positioned reads, close the file.
// Any file-layer failure between open and close abandons the file and ends
// the call with 100 + cause.
#ifndef ZEL_ACCESSOR_READING_PATH_H
#define ZEL_ACCESSOR_READING_PATH_H

#include "accessor/result_codes.h"
#include "platform/field_reader.h"
#include "platform/file_layer.h"
#include "platform/name_buffer.h"

namespace zel {

// body(FieldReader&) returns kOk, or kRefused for a selector that the file's
// own header refuses; the file is closed on both paths and the body's result
// returned. Outputs that the body writes are written before the close.
template <class Body>
short readDatabase(const NameBuffer& name, ByteOrder order, Body&& body) {
    DbFile file;
    try {
        if (!file.open(name.units)) throw FileFailure{file.failure()};
        FieldReader reader(file, order);
        const short result = body(reader);
        if (!file.close()) throw FileFailure{file.failure()};
        return result;
    } catch (const FileFailure& failure) {
        file.abandon();
        return fileFailureResult(failure.cause);
    }
}

}  // namespace zel

#endif
