// Colour strings: the forgiving reading every accent and palette entry relies on.
#include "platform/foundation/ColorString.h"

#include <gtest/gtest.h>

namespace corvanta::platform {
namespace {

TEST(ColorString, ReadsCanonicalAndEquivalentForms) {
    EXPECT_EQ(parseColorString("#141414"), (Rgb8{20, 20, 20}));
    EXPECT_EQ(parseColorString("#fbfbfb"), parseColorString("#FBFBFB"));
    EXPECT_EQ(parseColorString("F24E1E"), (Rgb8{0xF2, 0x4E, 0x1E}));
    EXPECT_EQ(parseColorString("  #F24E1E \n"), (Rgb8{0xF2, 0x4E, 0x1E}));
    EXPECT_EQ(parseColorString("0xF24E1E"), (Rgb8{0xF2, 0x4E, 0x1E}));
    EXPECT_EQ(parseColorString("0XF24E1E"), (Rgb8{0xF2, 0x4E, 0x1E}));
}

TEST(ColorString, ShortLongAndBrokenFormsFollowTheScan) {
    // No short form: #FFF is the number 0xFFF.
    EXPECT_EQ(parseColorString("#FFF"), (Rgb8{0, 0x0F, 0xFF}));
    // Only the low 24 bits count; no alpha is read.
    EXPECT_EQ(parseColorString("#80FF0000"), (Rgb8{0xFF, 0, 0}));
    // The scan stops at the first non-digit inside the string.
    EXPECT_EQ(parseColorString("#12 34 56"), (Rgb8{0, 0, 0x12}));
    EXPECT_EQ(parseColorString(""), (Rgb8{}));
    EXPECT_EQ(parseColorString("#"), (Rgb8{}));
    EXPECT_EQ(parseColorString("#GG0000"), (Rgb8{}));
    EXPECT_EQ(parseColorString("0x"), (Rgb8{}));
    EXPECT_EQ(parseColorString("0xZZ"), (Rgb8{}));
}

TEST(ColorString, OverflowSaturatesInsteadOfWrapping) {
    // Twenty digits overflow 64 bits; the scanner then holds its maximum.
    EXPECT_EQ(parseColorString("#12345678901234567890"), (Rgb8{0xFF, 0xFF, 0xFF}));
    // Sixteen digits still fit exactly.
    EXPECT_EQ(parseColorString("#0000000000ABCDEF"), (Rgb8{0xAB, 0xCD, 0xEF}));
}

TEST(ColorString, TrimsOnlyNonAlphanumericEndsOfAnyScript) {
    // A CJK letter is alphanumeric: it stays and stops the scan at once.
    EXPECT_EQ(parseColorString("红#FF0000"), (Rgb8{}));
    // Punctuation of other scripts is trimmed like the hash sign.
    EXPECT_EQ(parseColorString("「#00FF00」"), (Rgb8{0, 0xFF, 0}));
    // Broken UTF-8 at the ends gives a colour, never a crash.
    EXPECT_EQ(parseColorString("\xff#0000FF\xfe"), (Rgb8{0, 0, 0xFF}));
}

}  // namespace
}  // namespace corvanta::platform
