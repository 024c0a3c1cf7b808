// Search normalisation: the documented examples, and agreement of the fast
// version with the step-by-step reference on generated texts.
#include <gtest/gtest.h>

#include <random>

#include "NormalizeReference.h"
#include "catalog/Normalize.h"
#include "platform/foundation/Text.h"

namespace corvanta {
namespace {

TEST(NormalizeTest, Examples) {
    const std::pair<const char*, const char*> cases[] = {
        {"⌘+S", "cmd s"},
        {"⌘⇧[", "cmd shift leftbracket"},
        {"Ctrl + Shift + Z", "control shift z"},
        {"Cmd++", "cmd plus"},
        {"Option-←", "option left"},
        {"ｃｍｄ", "cmd"},
        {"É", "e"},
        {"Arrow keys", "keys"},
        {"左 箭头", "left"},
        {"左箭头", "左箭头"},
        {" - ", "minus"},
        {"", ""},
        {" \t\n", ""},
        {"???", ""},
        {"a+-b", "a plus minus b"},
        {"1-2-3", "1 2 3"},
        {"C++ / C#", "c plus slash c"},
        {"⌥⌘→", "option cmd right"},
        {"Shift+/", "shift slash"},
        {"放大 (＋)", "放大 plus"},
        {"Escape, Enter.", "esc comma return period"},
        {"Ｃｔｒｌ＋Ａ", "control a"},
        {"Backspace ⌫ 删除", "delete delete delete"},
        {"١+٢", "١ ٢"},
        {"x\u3000-\u3000y", "x y"},
        {"ﬀ", "ff"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(normalize(input), expected) << "input: " << input;
        EXPECT_EQ(testing::referenceNormalize(input), expected) << "reference, input: " << input;
    }
}

// Texts built from the pieces that exercise each step and their meeting points.
std::string generate(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "a",         "Z",       "k",
        "S",         "cmd",     "Command",
        "ctrl",      "Alt",     "opt",
        "shift",     "Escape",  "enter",
        "arrow",     "left",    "Delete",
        "backspace", "return",  "up",
        "down",      "control", "option",
        "esc",       "1",       "9",
        "0",         "+",       "-",
        "++",        "+-",      "-+",
        "+++",       "/",       "\\",
        "[",         "]",       ",",
        ".",         "?",       "!",
        "(",         ")",       ":",
        ";",         "'",       "\"",
        "_",         "#",       "@",
        "~",         "*",       "&",
        " ",         "  ",      "\t",
        "\n",        "\v",      "\u0085",
        "\u00A0",    "\u2028",  "\u3000",
        "\u202F",    "⌘",       "⌥",
        "⌃",         "⇧",       "⌫",
        "⌦",         "↩",       "⏎",
        "⎋",         "←",       "→",
        "↑",         "↓",       "⊞",
        "ｃｍｄ",    "Ａ",      "＋",
        "－",        "／",      "［",
        "］",        "，",      "．",
        "１",        "\uFF64",  "\uFFE9",
        "é",         "É",       "e\u0301",
        "ñ",         "Ö",       "ß",
        "ẞ",         "İ",       "ı",
        "Σ",         "ς",       "ﬀ",
        "Å",         "ǅ",       "ᾈ",
        "保存",      "删除",    "命令",
        "选项",      "控制",    "上档",
        "换档",      "回车",    "箭头",
        "左",        "右",      "上",
        "下",        "拖动",    "，",
        "。",        "、",      "“",
        "”",         "·",       "—",
        "《",        "》",      "【",
        "】",        "（",      "）",
        "١",         "٢",       "۳",
        "४",         "๕",       "Ⅻ",
        "²",         "½",       "ｶ",
        "ﾞ",         "가",      "\u1100\u1161",
        "ᄀ",        "ॐ",       "क",
        "ि",         "\u0301",  "\u200D",
        "😀",         "🇨🇳",      "\uFE0F",
        "Ꭰ",         "ꭰ",     "ǈ",
        "ﬃ",         "℃",       "™",
        "№",         "…",       "‥",
    };
    std::uniform_int_distribution<std::size_t> count(0, 12);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string text;
    for (std::size_t n = count(random); n > 0; --n) text += pieces[pick(random)];
    return text;
}

TEST(NormalizeTest, AgreesWithTheReferenceOnGeneratedTexts) {
    std::mt19937 random(20240611);
    int mismatches = 0;
    for (int i = 0; i < 20000 && mismatches < 10; ++i) {
        const std::string text = generate(random);
        const std::string fast = normalize(text);
        const std::string reference = testing::referenceNormalize(text);
        if (fast != reference) {
            ++mismatches;
            ADD_FAILURE() << "input: \"" << text << "\"\n fast: \"" << fast << "\"\n  ref: \""
                          << reference << "\"";
        }
    }
}

TEST(NormalizeTest, QuickCharactersFoldLikeTheFullFold) {
    // Each character that the fast path folds without ICU, alone and between
    // letters, must give what the full fold gives.
    std::vector<char32_t> characters;
    for (char32_t c = 0x20; c < 0x7F; ++c) characters.push_back(c);
    for (char32_t c = 0xFF01; c <= 0xFF5E; ++c) characters.push_back(c);
    for (char32_t c :
         {0x00B7, 0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x3001, 0x3002, 0x300A,
          0x300B, 0x3010, 0x3011, 0x4E00, 0x9FFF, 0x2318, 0x2325, 0x2303, 0x21E7, 0x232B,
          0x2326, 0x21A9, 0x23CE, 0x238B, 0x2190, 0x2191, 0x2192, 0x2193}) {
        characters.push_back(c);
    }
    for (char32_t c : characters) {
        const std::string one = text::toUtf8(std::u32string(1, c));
        for (const std::string& text : {one, "a" + one + "b", "1" + one + one + "Z"}) {
            EXPECT_EQ(normalize(text), testing::referenceNormalize(text))
                << "U+" << std::hex << static_cast<unsigned>(c);
        }
    }
}

TEST(NormalizeTest, MalformedBytesDoNotBreakIt) {
    const std::string text = "ab\xFF\xC3 cd\xE2\x8C";
    EXPECT_EQ(normalize(text), testing::referenceNormalize(text));
}

}  // namespace
}  // namespace corvanta
