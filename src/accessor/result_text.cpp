// The texts of the result codes: the one list that the tool, the bindings and
// the tests take them from.
#include <ZelComFuncDbaseResults.h>

namespace {

struct ResultText {
    short code;
    const char* text;
};

// Worded after the file layer's cause names; the constant's comment in
// ZelComFuncDbaseResults.h quotes the same text.
constexpr ResultText kTexts[] = {
    {ZEL_OK, "ok"},
    {ZEL_REFUSED, "refused"},
    {ZEL_ABSENT, "absent"},
    {ZEL_FILE_ERROR, "file error"},
    {ZEL_FILE_GENERIC, "generic file error"},
    {ZEL_FILE_NOT_FOUND, "file not found"},
    {ZEL_FILE_BAD_PATH, "bad path"},
    {ZEL_FILE_TOO_MANY_OPEN_FILES, "too many open files"},
    {ZEL_FILE_ACCESS_DENIED, "access denied"},
    {ZEL_FILE_INVALID_FILE, "invalid file"},
    {ZEL_FILE_REMOVE_CURRENT_DIR, "cannot remove the current directory"},
    {ZEL_FILE_DIRECTORY_FULL, "directory full"},
    {ZEL_FILE_BAD_SEEK, "bad seek"},
    {ZEL_FILE_HARD_IO, "hard I/O error"},
    {ZEL_FILE_SHARING_VIOLATION, "sharing violation"},
    {ZEL_FILE_LOCK_VIOLATION, "lock violation"},
    {ZEL_FILE_DISK_FULL, "disk full"},
    {ZEL_FILE_END_OF_FILE, "end of file"},
};

}  // namespace

extern "C" const char* ZELCOMFUNCDBASE_CALL zel_result_text(short code) {
    for (const ResultText& entry : kTexts)
        if (entry.code == code) return entry.text;
    return "unknown result";
}
