// The result codes of ZelComFuncDbaseResults.h under the same names and
// values, for hosts that would rather compare names than numbers. Their texts
// are the library's own: CZelComFuncDbase.ResultText asks zel_result_text.
namespace ZelComFuncDbase
{
    /// <summary>A result code of the library; a value outside these names can
    /// occur too (ZEL_FILE_ERROR + a cause the file layer does not list).</summary>
    public enum ZelResult : short
    {
        ZEL_OK = 0,
        ZEL_REFUSED = -1,
        ZEL_ABSENT = -2,
        ZEL_FILE_ERROR = 100,
        ZEL_FILE_GENERIC = 101,
        ZEL_FILE_NOT_FOUND = 102,
        ZEL_FILE_BAD_PATH = 103,
        ZEL_FILE_TOO_MANY_OPEN_FILES = 104,
        ZEL_FILE_ACCESS_DENIED = 105,
        ZEL_FILE_INVALID_FILE = 106,
        ZEL_FILE_REMOVE_CURRENT_DIR = 107,
        ZEL_FILE_DIRECTORY_FULL = 108,
        ZEL_FILE_BAD_SEEK = 109,
        ZEL_FILE_HARD_IO = 110,
        ZEL_FILE_SHARING_VIOLATION = 111,
        ZEL_FILE_LOCK_VIOLATION = 112,
        ZEL_FILE_DISK_FULL = 113,
        ZEL_FILE_END_OF_FILE = 114,
    }
}
