#include "fuzz/harness.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zel::fuzz {
namespace {

// Every byte of a record and of its guards before a call.
constexpr unsigned char kFill = 0xA5;
constexpr std::size_t kGuardBytes = 16;

template <class T>
struct Guarded {
    unsigned char front[kGuardBytes];
    T record;
    unsigned char back[kGuardBytes];
};

using SpecValues = std::array<ZelLong, 6>;

// What a member may answer and write.
enum Rule : unsigned {
    kReadsFile = 1,       // may answer 100..114
    kAbsentMark = 2,      // may answer -2
    kWritesAsItGoes = 4,  // may leave values written on a failure
};

[[noreturn]] void broken(const char* member, short result, const char* rule) {
    std::fprintf(stderr, "zel fuzz: %s answered %d: %s\n", member, result, rule);
    std::abort();
}

bool allFill(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (b[i] != kFill) return false;
    return true;
}

bool codeAllowed(short result, unsigned rules) {
    if (result == 0 || result == -1) return true;
    if (result == -2) return (rules & kAbsentMark) != 0;
    return (rules & kReadsFile) != 0 && result >= 100 && result <= 114;
}

template <class T>
bool anyRecord(const T&) {
    return true;
}

// With ZEL_FUZZ_TRACE set in the environment every answer is printed, to see
// what an input asks and gets when it is run alone.
void trace(const char* member, short result) {
    static const bool enabled = std::getenv("ZEL_FUZZ_TRACE") != nullptr;
    if (enabled) std::fprintf(stderr, "%s -> %d\n", member, result);
}

// Calls `call` with a record between guard bytes and checks the answer; the
// slow twin, asked the same, must give the same result and bytes.
template <class T, class Call, class Valid>
short check(Accessors& db, const char* member, unsigned rules, Call call, Valid valid) {
    Guarded<T> g, plain;
    std::memset(static_cast<void*>(&g), kFill, sizeof g);
    std::memset(static_cast<void*>(&plain), kFill, sizeof plain);
    const short result = call(db.library, &g.record);
    if (call(db.plain, &plain.record) != result || std::memcmp(&g, &plain, sizeof g) != 0)
        broken(member, result, "the plain reading of each field answers otherwise");
    trace(member, result);
    if (!codeAllowed(result, rules)) broken(member, result, "result code outside its set");
    if (!allFill(g.front, kGuardBytes) || !allFill(g.back, kGuardBytes))
        broken(member, result, "bytes written outside the caller's record");
    if (result != 0 && !(rules & kWritesAsItGoes) && !allFill(&g.record, sizeof g.record))
        broken(member, result, "output written on a failure");
    if (result == 0 && !valid(g.record)) broken(member, result, "field outside its range");
    return result;
}

template <class T, class Call>
short check(Accessors& db, const char* member, unsigned rules, Call call) {
    return check<T>(db, member, rules, call, anyRecord<T>);
}

bool byteMask(const DbBAd& r) { return r.bitMask <= 0xFF; }
bool byteFields(const PdbWD& r) { return r.kind <= 0xFF && r.extra <= 0xFF; }
bool byteKind(const PdbBD& r) { return r.kind <= 0xFF; }

void removePrivateDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(privateDirectory(), ignored);
}

std::string makePrivateDirectory() {
    // tmpfs where there is one: the files are rewritten for every input.
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0
            ? shm
            : std::filesystem::temp_directory_path();
    std::string pattern = (base / "zel-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("zel fuzz: mkdtemp");
        std::abort();
    }
    return pattern;
}

// CDbCpuOsType writes two outputs: the CPU code as soon as the model index
// passed, the OS type only on success.
void checkCpuOsType(Accessors& db, short modelIndex, short osNumber) {
    Guarded<short> cpu, os, plainCpu, plainOs;
    for (Guarded<short>* g : {&cpu, &os, &plainCpu, &plainOs})
        std::memset(static_cast<void*>(g), kFill, sizeof *g);
    const short result = db.library.CDbCpuOsType(&cpu.record, &os.record, modelIndex, osNumber);
    const char* member = "CDbCpuOsType";
    if (db.plain.CDbCpuOsType(&plainCpu.record, &plainOs.record, modelIndex, osNumber) != result ||
        std::memcmp(&cpu, &plainCpu, sizeof cpu) != 0 || std::memcmp(&os, &plainOs, sizeof os) != 0)
        broken(member, result, "the plain reading of each field answers otherwise");
    if (result != 0 && result != -1) broken(member, result, "result code outside its set");
    for (const Guarded<short>* g : {&cpu, &os})
        if (!allFill(g->front, kGuardBytes) || !allFill(g->back, kGuardBytes))
            broken(member, result, "bytes written outside the caller's record");
    if (result == 0 && (os.record < 0 || os.record > 6)) broken(member, result, "OS type");
    if (result != 0 && !allFill(&os.record, sizeof os.record))
        broken(member, result, "OS type written on a failure");
}

void checkParameterMemory(Accessors& db, short modelIndex, short osNumber, short selector,
                          ZelLong value) {
    check<ZelLong>(
        db, "CPdbPMem", 0,
        [&](auto& d, ZelLong* o) { return d.CPdbPMem(modelIndex, osNumber, selector, value, o); },
        [&](const ZelLong& stored) { return stored == value; });
}

ZelLong valueOf(const Selectors& s) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | s.byte(i + 4);
    return static_cast<ZelLong>(static_cast<std::int32_t>(v));
}

// The OSDB readers: CPU specification values, address and memory tables, and
// the JQWDB readers whose entry numbers CpuSpec bounds.
void callOsdbMembers(Accessors& db, const Model& model, const Selectors& s, bool spread) {
    const short m = model.modelIndex, n = model.osNumber;
    check<SpecValues>(db, "CpuSpec", kReadsFile | kWritesAsItGoes, [&](auto& d, SpecValues* v) {
        return d.CpuSpec(model.cpuCode, model.osType, v->data());
    });
    check<SpecValues>(db, "CDbCpuSpec", kWritesAsItGoes,
                      [&](auto& d, SpecValues* v) { return d.CDbCpuSpec(m, n, v->data()); });
    const unsigned address = kReadsFile | kAbsentMark;
    const auto v = [&](int slot) { return spread ? s.variant(slot) : 0; };
    check<DbAd>(db, "CDbTb2", address, [&](auto& d, DbAd* o) {
        return d.CDbTb2(m, n, s.pick(0, v(0), 0, 43), s.pick(1, v(1), 1, 40), o);
    });
    check<DbAd>(db, "CDbTb3", address,
                [&](auto& d, DbAd* o) { return d.CDbTb3(m, n, s.pick(2, v(2), 0, 22), o); });
    check<DbBAd>(
        db, "CDbTb4", address,
        [&](auto& d, DbBAd* o) {
            return d.CDbTb4(m, n, s.pick(3, v(3), 0, 115), s.pick(4, v(4), 1, 40), o);
        },
        byteMask);
    check<DbBAd>(
        db, "CDbTb5", address,
        [&](auto& d, DbBAd* o) { return d.CDbTb5(m, n, s.pick(5, v(5), 0, 44), o); }, byteMask);
    check<ZelLong>(db, "CDbTbMem", kReadsFile, [&](auto& d, ZelLong* o) {
        return d.CDbTbMem(m, n, s.pick(6, v(6), 0, 9), s.pick(7, v(7), 0, 38), o);
    });
    check<PdbWD>(
        db, "CPdbTb2", kReadsFile,
        [&](auto& d, PdbWD* o) {
            return d.CPdbTb2(m, n, s.pick(2, v(2), 0, 3), s.pick(5, v(5), 1, 40), o);
        },
        byteFields);
    check<PdbBD>(
        db, "CPdbTb4", kReadsFile,
        [&](auto& d, PdbBD* o) {
            return d.CPdbTb4(m, n, s.pick(3, v(3), 0, 3), s.pick(6, v(6), 1, 40), o);
        },
        byteKind);
}

// The JQWDB readers: tables 0 to 10 and the item count of table 10.
void callJqwdbMembers(Accessors& db, const Model& model, const Selectors& s, bool spread) {
    const short m = model.modelIndex, n = model.osNumber;
    const unsigned rules = kReadsFile;
    const auto v = [&](int slot) { return spread ? s.variant(slot) : 0; };
    auto index = [&](int table) { return s.pick(table, v(table), 0, 7); };
    auto entry = [&](int table) { return s.pick(table + 3, v(table + 3), 1, 20); };
    check<PdbJAd>(db, "CPdbTb0", rules,
                  [&](auto& d, PdbJAd* o) { return d.CPdbTb0(m, n, index(0), o); });
    check<PdbCAd>(db, "CPdbTb1", rules,
                  [&](auto& d, PdbCAd* o) { return d.CPdbTb1(m, n, index(1), o); });
    check<PdbWD>(
        db, "CPdbTb2", rules,
        [&](auto& d, PdbWD* o) { return d.CPdbTb2(m, n, index(2), entry(2), o); }, byteFields);
    check<PdbWD>(
        db, "CPdbTb3", rules, [&](auto& d, PdbWD* o) { return d.CPdbTb3(m, n, index(3), o); },
        byteFields);
    check<PdbBD>(
        db, "CPdbTb4", rules,
        [&](auto& d, PdbBD* o) { return d.CPdbTb4(m, n, index(4), entry(4), o); }, byteKind);
    check<PdbBD>(
        db, "CPdbTb5", rules, [&](auto& d, PdbBD* o) { return d.CPdbTb5(m, n, index(5), o); },
        byteKind);
    check<PdbAnyWD>(db, "CPdbTb6", rules,
                    [&](auto& d, PdbAnyWD* o) { return d.CPdbTb6(m, n, index(6), o); });
    check<PdbAnyBD>(db, "CPdbTb7", rules,
                    [&](auto& d, PdbAnyBD* o) { return d.CPdbTb7(m, n, index(7), o); });
    check<PdbAnyWD>(db, "CPdbTb8", rules,
                    [&](auto& d, PdbAnyWD* o) { return d.CPdbTb8(m, n, index(8), o); });
    check<PdbAnyPBD>(db, "CPdbTb9", rules,
                     [&](auto& d, PdbAnyPBD* o) { return d.CPdbTb9(m, n, index(9), o); });
    check<PdbBkup>(db, "CPdbTb10", rules,
                   [&](auto& d, PdbBkup* o) { return d.CPdbTb10(m, n, index(10), o); });
    check<ZelLong>(db, "GetPdbTb10ItemCount", rules,
                   [&](auto& d, ZelLong* o) { return d.GetPdbTb10ItemCount(m, n, o); });
}

}  // namespace

const std::string& privateDirectory() {
    // Never destroyed: the exit handler that removes the directory runs after
    // the destructors of function-local statics.
    static const std::string* directory = [] {
        auto* d = new std::string(makePrivateDirectory());
        std::atexit(removePrivateDirectory);
        return d;
    }();
    return *directory;
}

void writeDatabaseFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = privateDirectory() + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0;
    for (std::size_t done = 0; ok && done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (!ok) {
        std::perror(("zel fuzz: writing " + path).c_str());
        std::abort();
    }
}

Selectors::Selectors(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < sizeof m_bytes && i < size; ++i) m_bytes[i] = data[i];
}

int Selectors::variant(int slot) const { return (byte(6) / 2 + slot) % 3; }

short Selectors::pick(int slot, int variant, short lo, short hi) const {
    if (variant >= 2)
        return static_cast<short>(static_cast<std::uint16_t>(byte(slot) | (byte(slot + 1) << 8)));
    const int b = variant == 0 ? byte(slot) : byte(slot + 4);
    return static_cast<short>(lo - 2 + b % (hi - lo + 5));
}

const Model& Selectors::bigEndianModel() const {
    return kBigEndianModels[byte(7) % (sizeof kBigEndianModels / sizeof kBigEndianModels[0])];
}

const Model& Selectors::littleEndianModel() const {
    return kLittleEndianModels[(byte(7) >> 2) %
                               (sizeof kLittleEndianModels / sizeof kLittleEndianModels[0])];
}

void callEveryMember(Accessors& db, const Model& model, const Selectors& s, Focus focus,
                     bool otherFamily) {
    if (focus == Focus::osdb || otherFamily) callOsdbMembers(db, model, s, focus == Focus::osdb);
    if (focus == Focus::jqwdb || otherFamily) callJqwdbMembers(db, model, s, focus == Focus::jqwdb);
    checkCpuOsType(db, model.modelIndex, model.osNumber);
    checkParameterMemory(db, model.modelIndex, model.osNumber, s.pick(0, 2, 0, 0), valueOf(s));
}

void callWithRefusedSelectors(Accessors& db, const Selectors& s) {
    // Any 16-bit model index and OS number; most are refused before a file.
    const short m = s.pick(0, 2, 0, 0), n = s.pick(2, 2, 0, 0);
    checkCpuOsType(db, m, n);
    checkParameterMemory(db, m, n, s.pick(4, 2, 0, 0), valueOf(s));
    check<SpecValues>(db, "CpuSpec", kReadsFile | kWritesAsItGoes,
                      [&](auto& d, SpecValues* v) { return d.CpuSpec(m, n, v->data()); });
    check<SpecValues>(db, "CDbCpuSpec", kWritesAsItGoes,
                      [&](auto& d, SpecValues* v) { return d.CDbCpuSpec(m, n, v->data()); });
    check<DbBAd>(db, "CDbTb4", kReadsFile | kAbsentMark,
                 [&](auto& d, DbBAd* o) { return d.CDbTb4(m, n, 0, 1, o); });
    check<PdbBkup>(db, "CPdbTb10", kReadsFile,
                   [&](auto& d, PdbBkup* o) { return d.CPdbTb10(m, n, 0, o); });
    check<ZelLong>(db, "GetPdbTb10ItemCount", kReadsFile,
                   [&](auto& d, ZelLong* o) { return d.GetPdbTb10ItemCount(m, n, o); });
}

void callWithPathFromInput(const std::uint8_t* data, std::size_t size) {
    // The private directory, then up to 700 UTF-16 units of the input (lone
    // surrogates included) as further path components; '.' is replaced so
    // that the path cannot climb out of the private directory.
    std::vector<unsigned short> path;
    for (char c : privateDirectory()) path.push_back(static_cast<unsigned char>(c));
    path.push_back('\\');
    for (std::size_t i = 8; i + 1 < size && path.size() < 700 + 8; i += 2) {
        auto unit = static_cast<unsigned short>(data[i] | (data[i + 1] << 8));
        if (unit == 0 || unit == '.') unit = '_';
        path.push_back(unit);
    }
    path.push_back(0);
    CZelComFuncDbase library(path.data());
    CZelComFuncDbase copy(library);
    copy = library;
    ZelPlainComFuncDbase plain(path.data());
    Accessors both{copy, plain};
    const Model& model = kBigEndianModels[0];
    check<SpecValues>(both, "CpuSpec", kReadsFile | kWritesAsItGoes, [&](auto& d, SpecValues* v) {
        return d.CpuSpec(model.cpuCode, model.osType, v->data());
    });
    check<ZelLong>(both, "GetPdbTb10ItemCount", kReadsFile, [&](auto& d, ZelLong* o) {
        return d.GetPdbTb10ItemCount(model.modelIndex, model.osNumber, o);
    });
}

}  // namespace zel::fuzz
