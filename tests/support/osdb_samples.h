// OSDB descriptions shared by the tests.
#ifndef ZEL_TESTS_SUPPORT_OSDB_SAMPLES_H
#define ZEL_TESTS_SUPPORT_OSDB_SAMPLES_H

#include <cstdint>

#include "platform/field_reader.h"
#include "writer/db_writer.h"

namespace zel::testing {

// Six CPU specification values that exercise sign widening in every field.
constexpr std::int32_t kSampleSpec[6] = {12, 3, 1234, -5, 100, -2};

inline writer::OsdbLayout cpuSpecLayout(const std::int32_t (&values)[6] = kSampleSpec) {
    writer::OsdbLayout layout;
    writer::setCpuSpecValues(layout, values);
    return layout;
}

// The bytes of an OSDB file for a CPU code, in that CPU code's byte order.
inline writer::Bytes osdbBytes(const writer::OsdbLayout& layout, short cpuCode,
                               writer::Placement* placement = nullptr) {
    return writer::buildOsdb(layout, osdbByteOrder(cpuCode), placement);
}

}  // namespace zel::testing

#endif
