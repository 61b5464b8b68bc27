// Fuzz target: the input is the bytes of a JQWDB file. It is written under
// the names of a big-endian and a little-endian CPU model (JQWDB files are
// read least significant byte first for both), beside valid OSDB files whose
// CPU specification values bound the entry numbers of tables 2 and 4, and
// every public member is asked about both models.
#include <ZelComFuncDbase.h>

#include <cstddef>
#include <cstdint>

#include "fuzz/harness.h"
#include "fuzz/sample_files.h"
#include "writer/db_writer.h"

namespace {

using namespace zel::fuzz;

void writeCompanions(const Model& model) {
    const auto bytes =
        zel::writer::buildOsdb(sampleOsdb(8, 3, 64), zel::osdbByteOrder(model.cpuCode));
    writeDatabaseFile(zel::writer::osdbFileName(model.cpuCode, model.osType), bytes.data(),
                      bytes.size());
}

CZelComFuncDbase& accessor() {
    static CZelComFuncDbase db = [] {
        for (const Model& m : kBigEndianModels) writeCompanions(m);
        for (const Model& m : kLittleEndianModels) writeCompanions(m);
        return CZelComFuncDbase(privateDirectory().c_str());
    }();
    return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CZelComFuncDbase& db = accessor();
    const Selectors s(data, size);
    // The other family of readers reads the valid companion files: once per
    // input, for one of the two models.
    const bool otherFamilyFirst = (s.byte(6) & 1) != 0;
    for (const Model* model : {&s.bigEndianModel(), &s.littleEndianModel()}) {
        writeDatabaseFile(zel::writer::jqwdbFileName(model->cpuCode, model->osType), data, size);
        const bool first = model == &s.bigEndianModel();
        callEveryMember(db, *model, s, Focus::jqwdb, first == otherFamilyFirst);
    }
    callWithRefusedSelectors(db, s);
    return 0;
}
