// The file layout as diff and the report use it: changes that no reader
// reaches, a short file's reach, and the parts of a file in order. That
// `reached` is exactly what the library reads is shown with the library's
// own record of its reads (reach/file_layout_reach_test.cpp).
#include "file_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using Bytes = zel::writer::Bytes;
using zel::testing::sampleDir;
using zel::testing::TempDir;

Bytes sampleFile(const char* name) {
    const std::string text = zel::testing::readText(sampleDir() + "/" + name);
    return Bytes(text.begin(), text.end());
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs(
    const std::vector<zel::tool::ByteRange>& ranges) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> out;
    for (const auto& r : ranges) out.push_back({r.offset, r.length});
    return out;
}

TEST(FileLayout, UnreachedChangesAreTheChangedBytesNoReaderReads) {
    const Bytes old = sampleFile("OSDB2W.BIN");
    const auto size = static_cast<std::uint64_t>(old.size());
    // The change to the new version, and the unreached ranges expected.
    const std::tuple<const char*, std::function<void(Bytes&)>,
                     std::vector<std::pair<std::uint64_t, std::uint64_t>>>
        cases[] = {
            {"unread header bytes",
             [](Bytes& b) { b[2] ^= 1, b[3] ^= 1, b[5] ^= 1; },
             {{2, 2}, {5, 1}}},
            {"the directory base, which every reader reads", [](Bytes& b) { b[9] ^= 1; }, {}},
            {"bytes appended", [](Bytes& b) { b.resize(b.size() + 10, 7); }, {{size, 10}}},
            {"no change", [](Bytes&) {}, {}},
        };
    for (const auto& [what, change, expected] : cases) {
        SCOPED_TRACE(what);
        Bytes changed = old;
        change(changed);
        const TempDir a, b;
        a.write("OSDB2W.BIN", old);
        b.write("OSDB2W.BIN", changed);
        EXPECT_EQ(pairs(zel::tool::unreachedChanges(a.file("OSDB2W.BIN"), b.file("OSDB2W.BIN"))),
                  expected);
    }
}

TEST(FileLayout, ShortFileReachesBeyondItsEndAndKeepsItsParts) {
    const Bytes whole = sampleFile("OSDB2W.BIN");
    const TempDir d;
    d.write("OSDB2W.BIN", whole);
    d.write("osdb2d.bin", Bytes(whole.begin(), whole.begin() + 3));
    const zel::tool::FileLayout full = zel::tool::fileLayout(d.file("OSDB2W.BIN"));
    EXPECT_EQ(full.family, "osdb");
    EXPECT_EQ(full.size, whole.size());
    EXPECT_LE(full.reachEnd, full.size);
    ASSERT_FALSE(full.parts.empty());
    for (std::size_t i = 1; i < full.parts.size(); ++i) {
        const auto& a = full.parts[i - 1];
        const auto& b = full.parts[i];
        EXPECT_LE(std::tie(a.offset, a.depth), std::tie(b.offset, b.depth)) << b.name;
    }
    // Cut to 3 bytes: the directory base lies beyond the end.
    const zel::tool::FileLayout cut = zel::tool::fileLayout(d.file("osdb2d.bin"));
    EXPECT_EQ(cut.size, 3u);
    EXPECT_EQ(cut.reachEnd, 12u);
    ASSERT_EQ(cut.parts.size(), 1u);
    EXPECT_EQ(cut.parts[0].kind, "header");
    EXPECT_TRUE(cut.reached.empty());
    // Nothing to read: no layout, no exception.
    EXPECT_EQ(zel::tool::layoutJson(zel::tool::fileLayout(d.file("missing.bin"))).dump(),
              R"({"family":"","size":0,"reachEnd":0,"parts":[],"reached":[]})");
}

}  // namespace
