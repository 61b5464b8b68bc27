// The body of both fuzz targets: the input is written as the file of the
// focused family under the names of a big-endian and a little-endian CPU
// model, beside valid files of the other family, and every public member is
// asked about both models.
#include <ZelComFuncDbase.h>

#include "accessor/file_naming.h"
#include "fuzz/harness.h"
#include "fuzz/sample_files.h"
#include "writer/db_writer.h"

namespace zel::fuzz {
namespace {

// The valid file of the other family for a model: JQWDB tables 2 and 4 need
// the CPU specification values of an OSDB file, and the OSDB target's
// JQWDB readers read a sound JQWDB file.
void writeCompanion(Focus focus, const Model& model) {
    if (focus == Focus::osdb) {
        const auto bytes = writer::buildJqwdb(sampleJqwdb(16));
        writeDatabaseFile(databaseFileName(kJqwdbPrefix, model.cpuCode, model.osType), bytes.data(),
                          bytes.size());
    } else {
        const auto bytes = writer::buildOsdb(sampleOsdb(8, 3, 64), osdbByteOrder(model.cpuCode));
        writeDatabaseFile(databaseFileName(kOsdbPrefix, model.cpuCode, model.osType), bytes.data(),
                          bytes.size());
    }
}

std::string inputFileName(Focus focus, const Model& model) {
    return focus == Focus::osdb ? databaseFileName(kOsdbPrefix, model.cpuCode, model.osType)
                                : databaseFileName(kJqwdbPrefix, model.cpuCode, model.osType);
}

}  // namespace

int runOneInput(Focus focus, const std::uint8_t* data, std::size_t size) {
    static CZelComFuncDbase library = [focus] {
        for (const Model& m : kBigEndianModels) writeCompanion(focus, m);
        for (const Model& m : kLittleEndianModels) writeCompanion(focus, m);
        return CZelComFuncDbase(privateDirectory().c_str());
    }();
    static ZelPlainComFuncDbase plain(privateDirectory().c_str());
    static Accessors db{library, plain};
    const Selectors s(data, size);
    // The other family of readers reads the valid companion files: once per
    // input, for one of the two models.
    const bool otherFamilyFirst = (s.byte(6) & 1) != 0;
    for (const Model* model : {&s.bigEndianModel(), &s.littleEndianModel()}) {
        writeDatabaseFile(inputFileName(focus, *model), data, size);
        const bool first = model == &s.bigEndianModel();
        callEveryMember(db, *model, s, focus, first == otherFamilyFirst);
    }
    callWithRefusedSelectors(db, s);
    // A directory path from the input needs fuzzing by one target only.
    if (focus == Focus::osdb) callWithPathFromInput(data, size);
    return 0;
}

}  // namespace zel::fuzz
