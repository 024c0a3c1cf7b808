// Text helpers: the white-space set, folding, graphemes and character classes.
#include "platform/foundation/Text.h"

#include <gtest/gtest.h>

namespace corvanta::text {
namespace {

TEST(TextTrim, RemovesTheWhiteSpaceSetFromBothEndsOnly) {
    EXPECT_EQ(trimmed("\u3000\u0085 \t\r\n a \u3000 b\u2028\u2029\u00A0"), "a \u3000 b");
    EXPECT_EQ(trimmed("\u000B\u000Cx\u2003"), "x");
    EXPECT_EQ(trimmed(""), "");
    EXPECT_EQ(trimmed(" \n "), "");
    // Not in the set: zero-width space (Cf) and the byte-order mark.
    EXPECT_EQ(trimmed("\u200Bx\uFEFF"), "\u200Bx\uFEFF");
    // Malformed bytes are kept, not dropped.
    EXPECT_EQ(trimmed(" \xFF "), "\xFF");

    EXPECT_TRUE(isBlank(" \u3000\u2028\t"));
    EXPECT_TRUE(isBlank(""));
    EXPECT_FALSE(isBlank(" . "));
}

TEST(TextFold, FoldsCaseDiacriticsAndWidth) {
    EXPECT_EQ(fold("ｃｍｄ"), "cmd");
    EXPECT_EQ(fold("É"), "e");
    EXPECT_EQ(fold("Ａ"), "a");
    EXPECT_EQ(fold("ß"), "ss");
    EXPECT_EQ(fold("Photó LAB"), "photo lab");
    EXPECT_EQ(fold("e\u0301"), "e");
    EXPECT_EQ(fold("复制到剪贴板"), "复制到剪贴板");
    EXPECT_EQ(fold("撤销 Ｕｎｄｏ"), "撤销 undo");
    EXPECT_EQ(fold("⌘⇧["), "⌘⇧[");
    EXPECT_EQ(fold("Ctrl + Shift + Z"), "ctrl + shift + z");
    // Halfwidth katakana and its full-width form fold alike.
    EXPECT_EQ(fold("ｶﾞ"), fold("ガ"));
    // Half-width Hangul folds to the compatibility jamo a keyboard types.
    EXPECT_EQ(fold("ﾲ"), "ㅂ");
    EXPECT_EQ(fold("ﾡﾤ ﾾ"), "ㄱㄴ ㅎ");
    EXPECT_EQ(fold("ﾠ"), "ㅤ");  // the half-width filler
    // The width mapping alone: the full-width macron stays a macron.
    EXPECT_EQ(fold("￣"), "¯");
}

TEST(TextFold, AsciiShortcutAgreesWithTheFullPath) {
    // A trailing non-ASCII character forces the full path over the same text.
    for (int c = 0; c < 0x80; ++c) {
        const std::string ascii(1, static_cast<char>(c));
        EXPECT_EQ(fold(ascii + "\u00E9"), fold(ascii) + "e") << "character " << c;
    }
}

TEST(TextCase, LowercasesAndComparesWithoutLocale) {
    EXPECT_EQ(lowercased("ÄBC İ Σ"), "äbc i̇ σ");
    EXPECT_EQ(lowercased("MiXeD"), "mixed");
    EXPECT_TRUE(containsCaseInsensitive("Hold the WINDOWS key", "windows"));
    EXPECT_TRUE(containsCaseInsensitive("STRASSE", "straße"));
    EXPECT_FALSE(containsCaseInsensitive("Win", "windows"));
    EXPECT_FALSE(containsCaseInsensitive("abc", ""));
}

TEST(TextGraphemes, KeepsUserPerceivedCharactersWhole) {
    EXPECT_EQ(graphemes("🇨🇳a"), (std::vector<std::string>{"🇨🇳", "a"}));
    EXPECT_EQ(graphemes("e\u0301."), (std::vector<std::string>{"e\u0301", "."}));
    EXPECT_EQ(graphemes("快捷。"), (std::vector<std::string>{"快", "捷", "。"}));
    EXPECT_TRUE(graphemes("").empty());
}

TEST(TextClasses, LetterAndNumberPerGrapheme) {
    EXPECT_TRUE(isLetter("a"));
    EXPECT_TRUE(isLetter("汉"));
    EXPECT_TRUE(isLetter("e\u0301"));
    EXPECT_FALSE(isLetter("-"));
    EXPECT_FALSE(isLetter("1"));
    EXPECT_FALSE(isLetter(""));
    EXPECT_TRUE(isNumber("7"));
    EXPECT_TRUE(isNumber("½"));
    EXPECT_TRUE(isNumber("٣"));
    EXPECT_FALSE(isNumber("x"));
    EXPECT_FALSE(isNumber("_"));
}

TEST(TextUtf, ConvertsAndReplacesMalformedSequences) {
    EXPECT_EQ(toUtf32("a汉🇨"), (std::u32string{U'a', U'汉', U'🇨'}));
    EXPECT_EQ(toUtf8(U"a汉🇨"), "a汉🇨");
    EXPECT_EQ(toUtf32("a\xFF"), (std::u32string{U'a', 0xFFFD}));
    EXPECT_EQ(toUtf8(std::u32string{0xD800, 0x110000}), "\uFFFD\uFFFD");
}

}  // namespace
}  // namespace corvanta::text
