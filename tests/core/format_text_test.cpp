// FormatText: printf formatting into a string of whatever length the result needs.
#include "platform/core/format_text.h"

#include <gtest/gtest.h>

#include <string>

namespace rymd {
namespace {

TEST(FormatText, FormatsLikePrintf) {
    EXPECT_EQ(FormatText("%sの%sで%d隻", "尾張", "清洲城", 12), "尾張の清洲城で12隻");
    EXPECT_EQ(FormatText("%4d年 %2d月", 1560, 5), "1560年  5月");
    EXPECT_EQ(FormatText("%.1f km", 6371.0), "6371.0 km");
    EXPECT_EQ(FormatText("%s", ""), "");
}

// Longer than any fixed buffer the old copies used (512 and 1024 bytes): nothing is cut.
TEST(FormatText, LongOutputIsNotCut) {
    const std::string name(5000, 'x');
    const std::string out = FormatText("[%s|%d]", name.c_str(), 42);
    ASSERT_EQ(out.size(), name.size() + 5);
    EXPECT_EQ(out, "[" + name + "|42]");
}

}  // namespace
}  // namespace rymd
