// ZelComFuncDbase: answers questions about CPU models and their OS variants by
// reading a directory of binary database files (OSDB and JQWDB files).
//
// A host creates one CZelComFuncDbase per database directory and calls its
// members. Every member returns a 16-bit result code and writes its answer
// through a caller-owned pointer, which is not checked (null is not allowed):
//     0        success, the output has been written
//    -1        a selector is out of range, an entry is not present, or no
//              database file exists for the CPU code and OS type
//    -2        the requested item is marked absent for this CPU
//   100..114   the file layer failed: 100 + cause code (102 file not found,
//              109 bad seek, 110 hard I/O error, 114 file ends too early, ...)
// Outputs are left untouched on failure unless a member says otherwise.
#ifndef ZELCOMFUNCDBASE_H
#define ZELCOMFUNCDBASE_H

#include <climits>
#include <cstdint>
#include <string>

#include "ZelComFuncDbaseRecords.h"

// Accessor for one database directory. Every call names the CPU model by a
// model index (0..47) and the OS variant by an OS number (1..7), opens the one
// database file that answers it, reads it and closes it again; nothing is
// cached, so one accessor may be shared by threads.
class ZELCOMFUNCDBASE_API CZelComFuncDbase {
  public:
    // path: NUL-terminated UTF-16 name of the database directory. A backslash
    // is appended unless the path already ends in one. A null path is taken
    // as the empty path (the directory becomes a single backslash, so files
    // are named from the root of the file system).
    //
    // File names are composed in the letter case of the database format
    // ("OSDB2E.BIN", "JQWDB3q5.BIN"). Where the file system tells letter case
    // apart and that exact name is missing, the file read is the directory
    // entry equal to it without regard to ASCII letter case whose name sorts
    // first bytewise ("OSDB2e.BIN" before "osdb2E.BIN"), whatever the order
    // of the directory. Only a regular file (or a link to one) is read: a
    // FIFO, socket, device or directory under the name gives 102 at once.
    CZelComFuncDbase(const unsigned short* path);
    // The same from a NUL-terminated UTF-8 path (convenience for POSIX hosts);
    // null is taken as "". Bytes that are not valid UTF-8 (a Latin-1
    // directory name, say) are kept: each is held as the lone surrogate
    // U+DC00 + byte and becomes that byte again in the path that is opened.
    explicit CZelComFuncDbase(const char* utf8Path);
    CZelComFuncDbase(const CZelComFuncDbase& other);
    CZelComFuncDbase& operator=(const CZelComFuncDbase& other);
    virtual ~CZelComFuncDbase();

    // Model index -> CPU code, OS number -> OS type, without file access.
    short CDbCpuOsType(short* cpuCode, short* osType, short modelIndex, short osNumber);
    // The six CPU specification values; every failure is folded into -1.
    short CDbCpuSpec(short modelIndex, short osNumber, ZelLong* values);
    // The six CPU specification values by internal CPU code and OS type.
    short CpuSpec(short cpuCode, short osType, ZelLong* values);

    short CDbTb2(short modelIndex, short osNumber, short item, short entry, DbAd* out);
    short CDbTb3(short modelIndex, short osNumber, short item, DbAd* out);
    short CDbTb4(short modelIndex, short osNumber, short item, short entry, DbBAd* out);
    short CDbTb5(short modelIndex, short osNumber, short item, DbBAd* out);
    short CDbTbMem(short modelIndex, short osNumber, short memoryKind, short memoryIndex,
                   ZelLong* out);

    short CPdbPMem(short modelIndex, short osNumber, short selector, ZelLong value, ZelLong* out);
    short CPdbTb0(short modelIndex, short osNumber, short index, PdbJAd* out);
    short CPdbTb1(short modelIndex, short osNumber, short index, PdbCAd* out);
    short CPdbTb2(short modelIndex, short osNumber, short index, short entry, PdbWD* out);
    short CPdbTb3(short modelIndex, short osNumber, short index, PdbWD* out);
    short CPdbTb4(short modelIndex, short osNumber, short index, short entry, PdbBD* out);
    short CPdbTb5(short modelIndex, short osNumber, short index, PdbBD* out);
    short CPdbTb6(short modelIndex, short osNumber, short index, PdbAnyWD* out);
    short CPdbTb7(short modelIndex, short osNumber, short index, PdbAnyBD* out);
    short CPdbTb8(short modelIndex, short osNumber, short index, PdbAnyWD* out);
    short CPdbTb9(short modelIndex, short osNumber, short index, PdbAnyPBD* out);
    short CPdbTb10(short modelIndex, short osNumber, short index, PdbBkup* out);
    short GetPdbTb10ItemCount(short modelIndex, short osNumber, ZelLong* count);

  private:
    friend struct ZelAccessorInternals;

    short DbTb2(short cpuCode, short osType, short item, short entry, DbAd* out);
    short DbTb3(short cpuCode, short osType, short item, DbAd* out);
    short DbTb4(short cpuCode, short osType, short item, short entry, DbBAd* out);
    short DbTb5(short cpuCode, short osType, short item, DbBAd* out);
    short DbTbMem(short cpuCode, short osType, short memoryKind, short memoryIndex, ZelLong* out);
    short PdbPMem(short cpuCode, short osType, short selector, ZelLong value, ZelLong* out);
    short PdbTb0(short cpuCode, short osType, short index, PdbJAd* out);
    short PdbTb1(short cpuCode, short osType, short index, PdbCAd* out);
    short PdbTb2(short cpuCode, short osType, short index, short entry, PdbWD* out);
    short PdbTb3(short cpuCode, short osType, short index, PdbWD* out);
    short PdbTb4(short cpuCode, short osType, short index, short entry, PdbBD* out);
    short PdbTb5(short cpuCode, short osType, short index, PdbBD* out);
    short PdbTb6(short cpuCode, short osType, short index, PdbAnyWD* out);
    short PdbTb7(short cpuCode, short osType, short index, PdbAnyBD* out);
    short PdbTb8(short cpuCode, short osType, short index, PdbAnyWD* out);
    short PdbTb9(short cpuCode, short osType, short index, PdbAnyPBD* out);
    short PdbTb10(short cpuCode, short osType, short index, PdbBkup* out);

    // Compose the JQWDB (dbname) or OSDB (dbnamehon) file name for a CPU code
    // and OS type into a 512-unit buffer: 0, or -1 when the pair has no
    // database file or the name does not fit.
    short dbname(short cpuCode, short osType, unsigned short* name);
    short dbnamehon(short cpuCode, short osType, unsigned short* name);

    // The database directory, UTF-16, always ending with a backslash.
    std::u16string m_dbDirectory;
};

#endif  // ZELCOMFUNCDBASE_H
