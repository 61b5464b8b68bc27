// ZelComFuncDbase: answers questions about CPU models and their OS variants by
// reading a directory of binary database files (OSDB and JQWDB files).
//
// A host creates one CZelComFuncDbase per database directory and calls its
// members. Every member returns a 16-bit result code and writes its answer
// through a caller-owned pointer, which is not checked (null is not allowed):
// ZEL_OK (0) with the output written, ZEL_REFUSED (-1), ZEL_ABSENT (-2) or
// ZEL_FILE_ERROR + cause (100..114), named and put into words
// (zel_result_text) in ZelComFuncDbaseResults.h.
// Outputs are left untouched on failure unless a member says otherwise.
//
// Selectors: a model index 0..47 names a CPU model and an OS number 1..7 an
// OS variant; entry numbers start at 1, record and item indexes at 0. A file
// that ends inside a field that a call needs gives 114; an offset in a file
// that points before its start gives 109.
//
// Null pointers: no output pointer is checked; every member writes through
// the pointer it is given, so a null or too small output is the caller's
// fault and undefined behaviour.
//
// Threads: one accessor may be shared by any number of threads, and copies
// are independent. A call reads only the directory set at construction and
// opens, reads and closes its own file; calls take no lock and keep no state.
// Assigning to an accessor while another thread calls it is a data race.
// A call holds the bytes it has read on the calling thread's stack: a call
// needs at most 48 KiB of stack (32 KiB of them file blocks), no heap.
// A file that another process changes while a call reads it gives whatever
// the bytes read then say, or a result code; never a write outside the
// caller's record.
#ifndef ZELCOMFUNCDBASE_H
#define ZELCOMFUNCDBASE_H

#include <climits>
#include <cstdint>
#include <string>

#include "ZelComFuncDbaseRecords.h"
#include "ZelComFuncDbaseResults.h"

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
    // A copy, or an accessor after assignment, names the same directory; the
    // directory is all an accessor holds, and the destructor releases it.
    CZelComFuncDbase(const CZelComFuncDbase& other);
    CZelComFuncDbase& operator=(const CZelComFuncDbase& other);
    virtual ~CZelComFuncDbase();

    // Every member below except CpuSpec first checks the model index (0..47)
    // and the OS number (1..7): either out of range gives -1 with nothing
    // written and no file touched. For the members that read a file, -1 also
    // means that the CPU code and OS type of the pair have no database file
    // name (the CPU model has no database under that OS variant), or that the
    // directory is too long for the 512-unit file name; then nothing is
    // written and no file is opened.

    // The CPU code of a model index and the OS type of an OS number (OS number
    // minus 1), from the built-in model table, without file access. 0 with
    // both written. -1 for a model index out of range, with nothing written;
    // -1 for an OS number out of range with *cpuCode already written and
    // *osType untouched.
    short CDbCpuOsType(short* cpuCode, short* osType, short modelIndex, short osNumber);

    // The six CPU specification values of the OSDB file into values[0..5]
    // (value 0 bounds the entry numbers of CDbTb2, CDbTb4, CPdbTb2, CPdbTb4).
    // 0 with all six written; every failure of CpuSpec, file errors included,
    // is returned as -1, with the values CpuSpec wrote before it failed.
    short CDbCpuSpec(short modelIndex, short osNumber, ZelLong* values);

    // The same by internal CPU code and OS type, with no check of them beyond
    // the file name: 0 with all six written; -1 when the pair has no file
    // name; 100 + cause for a file error (102 missing file). The values are
    // read in the order 0, 1, 3, 4, 2, 5 and each is written as soon as it is
    // read, so after a file error the values read before it hold their new
    // contents and the rest the caller's.
    short CpuSpec(short cpuCode, short osType, ZelLong* values);

    // One entry of an item's row in the word address tables of the OSDB file.
    // item: 0..33 (CPU codes of map class 0) or 0..43 (map class 1); entry:
    // 1..CPU specification value 0 (value 1 for the items of table 6, sections
    // 1 and 7). Checked in this order: item range -1, file name -1, item
    // marked absent for the CPU -2, then CpuSpec's result unchanged (-1 or
    // 100 + cause), entry range -1, file error 100 + cause. *out is written
    // only on 0.
    short CDbTb2(short modelIndex, short osNumber, short item, short entry, DbAd* out);

    // The first entry of an item's row in the word address tables. item: 0..15
    // (map class 0) or 0..22 (map class 1). -1 item range or file name, -2
    // item absent, 100 + cause file error. *out is written only on 0.
    short CDbTb3(short modelIndex, short osNumber, short item, DbAd* out);

    // One entry of an item's row in the bit address tables: a byte address
    // and the bit mask within that byte. item: 0..95 (map class 0) or 0..115
    // (map class 1); entry: 1..CPU specification value 0 (value 1 for table 6,
    // sections 1 and 7). Checks and results in the order of CDbTb2. *out is
    // written only on 0.
    short CDbTb4(short modelIndex, short osNumber, short item, short entry, DbBAd* out);

    // The first entry of an item's row in the bit address tables. item: 0..27
    // (map class 0) or 0..44 (map class 1). -1 item range or file name, -2
    // item absent, 100 + cause file error. *out is written only on 0.
    short CDbTb5(short modelIndex, short osNumber, short item, DbBAd* out);

    // One value of the memory table. memoryKind: 0, 1 or 3..9 (2 is refused);
    // memoryIndex: 0 up to the kind's highest index (kinds 0..9: 14, 31, -,
    // 19, 38, 22, 19, 31, 19, 5; kinds 3 and 9 read the same entries). -1 for
    // a kind or index out of range (checked before the file name, so even
    // without a file) or no file name; 100 + cause for a file error. The value
    // is stored in *out before the file is closed: a failing close returns
    // 100 + cause with *out already written; any earlier error leaves it
    // untouched.
    short CDbTbMem(short modelIndex, short osNumber, short memoryKind, short memoryIndex,
                   ZelLong* out);

    // Parameter memory: stores value unchanged in *out and returns 0; no file
    // is read, and the selector does not matter. -1 (nothing written) only for
    // a model index or OS number out of range.
    short CPdbPMem(short modelIndex, short osNumber, short selector, ZelLong value, ZelLong* out);

    // One record of JQWDB table 0 (CPdbTb0) or table 1 (CPdbTb1), the address
    // tables. index: 0..the last index stored in the table. -1 no file name,
    // or index out of range (checked after the table header is read, so a
    // missing file gives 102 even for a bad index); 100 + cause file error.
    // *out is written only on 0.
    short CPdbTb0(short modelIndex, short osNumber, short index, PdbJAd* out);
    short CPdbTb1(short modelIndex, short osNumber, short index, PdbCAd* out);

    // One device entry of a record of JQWDB table 2 (word devices) or table 4
    // (bit devices). index: 0..the table's last index; entry: 1..CPU
    // specification value 0, and for OS numbers 5 and 6 at least 1..16.
    // Checked in this order: JQWDB file name -1, then CpuSpec's result
    // unchanged (-1 or 100 + cause of the OSDB file), entry range -1, JQWDB
    // file error 100 + cause, index range -1. *out is written only on 0.
    short CPdbTb2(short modelIndex, short osNumber, short index, short entry, PdbWD* out);
    short CPdbTb4(short modelIndex, short osNumber, short index, short entry, PdbBD* out);

    // The device entry at the start of a record of JQWDB table 3 (word
    // devices) or table 5 (bit devices). Results as CPdbTb0. *out is written
    // only on 0.
    short CPdbTb3(short modelIndex, short osNumber, short index, PdbWD* out);
    short CPdbTb5(short modelIndex, short osNumber, short index, PdbBD* out);

    // One record of the any-device tables, JQWDB tables 6 to 9 (tables 6 and
    // 8 share one record type). Results as CPdbTb0: a bad index on a
    // missing file gives 102, not -1. *out is written only on 0.
    short CPdbTb6(short modelIndex, short osNumber, short index, PdbAnyWD* out);
    short CPdbTb7(short modelIndex, short osNumber, short index, PdbAnyBD* out);
    short CPdbTb8(short modelIndex, short osNumber, short index, PdbAnyWD* out);
    short CPdbTb9(short modelIndex, short osNumber, short index, PdbAnyPBD* out);

    // One item of the backup table, JQWDB table 10. index: 0..item count - 1
    // (see GetPdbTb10ItemCount). -1 no file name or index out of range
    // (checked after the table header is read: a bad index on a missing file
    // gives 102); 100 + cause file error. *out is written only on 0.
    short CPdbTb10(short modelIndex, short osNumber, short index, PdbBkup* out);

    // The number of items of the backup table, as stored (a negative count
    // is reported as it is, and CPdbTb10 then refuses every index). 0 with
    // *count written; -1 model index, OS number or file name; 100 + cause file
    // error. The count is stored in *count before the file is closed: a
    // failing close returns 100 + cause with *count already written; any
    // earlier error leaves it untouched.
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
