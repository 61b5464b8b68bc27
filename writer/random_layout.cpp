#include "writer/random_layout.h"

#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "format/jqwdb_tables.h"

namespace zel::writer {
namespace {

constexpr std::uint32_t kBlock = 4096;

class RandomFile {
  public:
    RandomFile(RandomSource& random, ByteOrder order)
        : m_random(random),
          m_order(order),
          m_bytes(static_cast<std::size_t>(random.between(4 * kBlock + 1, 40 * kBlock))) {
        for (auto& b : m_bytes) b = static_cast<std::uint8_t>(random.next());
    }

    // The directory in the last 512 bytes before the end of the file; the
    // tables start before it.
    std::uint32_t directory(unsigned entries) {
        const auto end = static_cast<std::uint32_t>(m_bytes.size()) - kWordBytes * entries;
        const std::uint32_t at = end - static_cast<std::uint32_t>(m_random.between(0, 512));
        put(kDirectoryBaseAt, 4, at);
        m_tablesBefore = at - 600;
        return at;
    }
    // A start for a table or section: anywhere before the directory, or half
    // the time up to 24 bytes before a block edge.
    std::uint32_t place() {
        if (m_random.between(0, 1) == 0)
            return static_cast<std::uint32_t>(
                m_random.between(16, static_cast<int>(m_tablesBefore)));
        const auto edge = static_cast<std::uint32_t>(
            m_random.between(1, static_cast<int>(m_tablesBefore / kBlock)));
        return edge * kBlock - static_cast<std::uint32_t>(m_random.between(0, 24));
    }
    void put(std::uint32_t at, unsigned width, std::uint32_t value) {
        for (unsigned i = 0; i < width && at + i < m_bytes.size(); ++i) {
            const unsigned shift =
                8 * (m_order == ByteOrder::mostSignificantFirst ? width - 1 - i : i);
            m_bytes[at + i] = static_cast<std::uint8_t>(value >> shift);
        }
    }
    std::uint32_t number(int lo, int hi) {
        return static_cast<std::uint32_t>(m_random.between(lo, hi));
    }
    Bytes& bytes() { return m_bytes; }

  private:
    RandomSource& m_random;
    ByteOrder m_order;
    Bytes m_bytes;
    std::uint32_t m_tablesBefore = 0;
};

}  // namespace

std::uint32_t RandomSource::next() {
    // 64-bit linear congruential steps, the high half out.
    m_state = m_state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<std::uint32_t>(m_state >> 32);
}

Bytes randomOsdb(RandomSource& random, ByteOrder order) {
    RandomFile f(random, order);
    const std::uint32_t directory = f.directory(16);
    std::uint32_t tableStart[16];
    for (unsigned t = 0; t < 16; ++t) {
        tableStart[t] = f.place();
        f.put(directory + kWordBytes * t, 4, tableStart[t] - directory);
        for (std::uint16_t s = 0; s < 9; ++s)
            f.put(sectionEntryAt(tableStart[t], s), 4, f.place() - tableStart[t]);
    }
    for (const CpuSpecPlace& p : kCpuSpecPlaces)
        if (p.section == kPlain) f.put(tableStart[p.table] + p.offset, p.width, f.number(-2, 60));
    return std::move(f.bytes());
}

Bytes randomJqwdb(RandomSource& random) {
    RandomFile f(random, ByteOrder::leastSignificantFirst);
    const std::uint32_t directory = f.directory(11);
    for (unsigned t = 0; t <= 10; ++t) {
        const std::uint32_t start = f.place();
        f.put(directory + kWordBytes * t, 4, start - directory);
        const int last = static_cast<int>(f.number(-1, 24));
        f.put(start + kFirstWordAt, 4, static_cast<std::uint32_t>(last));
        f.put(start + kRecordSizeAt, 4, f.number(1, 48));
        f.put(start + kSplitIndexAt, 4, f.number(0, last + 1));
    }
    return std::move(f.bytes());
}

}  // namespace zel::writer
