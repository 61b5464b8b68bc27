// zel_result_text: one distinct text per result code, "unknown result" for
// every other 16-bit value, never null.
#include <ZelComFuncDbaseResults.h>
#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <set>
#include <string>

namespace {

constexpr short kCodes[] = {ZEL_OK,
                            ZEL_REFUSED,
                            ZEL_ABSENT,
                            ZEL_FILE_ERROR,
                            ZEL_FILE_GENERIC,
                            ZEL_FILE_NOT_FOUND,
                            ZEL_FILE_BAD_PATH,
                            ZEL_FILE_TOO_MANY_OPEN_FILES,
                            ZEL_FILE_ACCESS_DENIED,
                            ZEL_FILE_INVALID_FILE,
                            ZEL_FILE_REMOVE_CURRENT_DIR,
                            ZEL_FILE_DIRECTORY_FULL,
                            ZEL_FILE_BAD_SEEK,
                            ZEL_FILE_HARD_IO,
                            ZEL_FILE_SHARING_VIOLATION,
                            ZEL_FILE_LOCK_VIOLATION,
                            ZEL_FILE_DISK_FULL,
                            ZEL_FILE_END_OF_FILE};

TEST(ResultText, EveryCodeHasItsOwnTextAndEveryOtherValueIsUnknown) {
    const std::string unknown = "unknown result";
    std::set<std::string> texts;
    for (short code : kCodes) {
        const std::string text = zel_result_text(code);
        EXPECT_NE(text, unknown) << code;
        EXPECT_TRUE(texts.insert(text).second) << code << " repeats " << text;
    }
    int unknowns = 0;
    for (int value = SHRT_MIN; value <= SHRT_MAX; ++value) {
        const char* text = zel_result_text(static_cast<short>(value));
        ASSERT_NE(text, nullptr) << value;
        unknowns += text == unknown;
    }
    EXPECT_EQ(unknowns, 65536 - static_cast<int>(std::size(kCodes)));
}

}  // namespace
