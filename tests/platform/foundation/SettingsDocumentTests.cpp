// The settings document's two reading routes: the fast one for files of known
// values must decide exactly as the general one, and both keep the depth limit.
#include "platform/foundation/SettingsDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace corvanta::platform {
namespace {

// Same result: both refuse, or both read the same values and kept entries.
void expectSameAsGeneralRoute(const std::string& text) {
    SCOPED_TRACE(text.substr(0, 200));
    const auto fast = SettingsDocument::parse(text);
    const auto general = SettingsDocument::parseGeneral(text);
    ASSERT_EQ(fast.has_value(), general.has_value());
    if (fast) {
        // serialize() compares NaN and the sign of zero, which == does not.
        EXPECT_EQ(fast->serialize(), general->serialize());
        EXPECT_EQ(fast->preserved, general->preserved);
    }
    // Read where it lies, from a buffer with room after the text.
    std::string buffer = text;
    buffer.reserve(text.size() + SettingsDocument::kParsePadding);
    const auto inPlace = SettingsDocument::parseInPlace(buffer);
    ASSERT_EQ(inPlace.has_value(), general.has_value());
    if (inPlace) {
        EXPECT_EQ(inPlace->serialize(), general->serialize());
    }
}

std::string entry(const std::string& type, const std::string& value) {
    return R"({"k": {"type": ")" + type + R"(", "value": )" + value + "}}";
}

TEST(SettingsDocumentRoutes, ManyEntriesOfEveryTypeReadBackAsWritten) {
    SettingsDocument written;
    for (int i = 0; i < 20'000; ++i) {
        const std::string key = "key \"" + std::to_string(i) + "\" ⌘";
        switch (i % 7) {
            case 0:
                written.values.emplace(key, "text \\ \"quoted\" \n 快捷键 " + std::to_string(i));
                break;
            case 1:
                written.values.emplace(key, i % 2 == 0);
                break;
            case 2:
                written.values.emplace(key, std::int64_t{i} * -1'000'000'007);
                break;
            case 3:
                written.values.emplace(key, i / 7.0);
                break;
            case 4:
                written.values.emplace(key, std::vector<std::string>{"a", "", "[{"});
                break;
            case 5:
                written.values.emplace(key, Data{0, 255, std::uint8_t(i), std::uint8_t(i >> 8)});
                break;
            default:
                written.values.emplace(key, std::numeric_limits<double>::infinity());
        }
    }
    const std::string text = written.serialize();
    const auto read = SettingsDocument::parse(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->values.size(), 20'000u);
    EXPECT_TRUE(read->values == written.values);
    EXPECT_TRUE(read->preserved.empty());
    expectSameAsGeneralRoute(text);
}

// Another encoder may leave the unused bits of the last digit set; the bytes
// are read all the same (a stored submission is not hidden for it), and our
// writer spells them canonically.
TEST(SettingsDocumentRoutes, DataWithUnusedBitsSetIsReadAndWrittenCanonically) {
    for (const auto& [text, bytes, canonical] :
         {std::tuple{"QR==", Data{'A'}, "QQ=="}, std::tuple{"QUJ=", Data{'A', 'B'}, "QUI="}}) {
        const auto read = SettingsDocument::parse(entry("data", '"' + std::string(text) + '"'));
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(read->values.at("k"), DefaultsValue(bytes)) << text;
        EXPECT_NE(read->serialize().find('"' + std::string(canonical) + '"'), std::string::npos);
    }
}

// Every way a known entry can be spelled, or almost: where simdjson and
// nlohmann could part, the fast route must leave the decision to the general.
TEST(SettingsDocumentRoutes, OddSpellingsAreDecidedAsTheGeneralRouteDecides) {
    const std::vector<std::string> cases = {
        entry("integer", "-0"),
        entry("integer", "0.0"),
        entry("integer", "1e2"),
        entry("integer", "9223372036854775807"),
        entry("integer", "9223372036854775808"),
        entry("integer", "-9223372036854775808"),
        entry("integer", "-9223372036854775809"),
        entry("integer", "123456789012345678901234567890"),
        entry("integer", "01"),
        entry("integer", "\"5\""),
        entry("double", "-0"),
        entry("double", "-0.0"),
        entry("double", "5"),
        entry("double", "18446744073709551615"),
        entry("double", "123456789012345678901234567890"),
        entry("double", "1e400"),
        entry("double", "4.9e-324"),
        entry("double", "\"nan\""),
        entry("double", "\"NaN\""),
        entry("double", "\"-inf\""),
        entry("double", "null"),
        entry("bool", "true"),
        entry("bool", "truex"),
        entry("bool", "1"),
        entry("string", R"("\ud83d\ude00")"),
        entry("string", R"("\ud800")"),
        entry("string", "\"a\x01\""),
        entry("string", "\"\x7f\""),
        entry("string", R"("\u0000")"),
        entry("string", "\"\xff\""),
        entry("string", "\"a\" "),
        entry("stringArray", "[]"),
        entry("stringArray", R"(["a", 1])"),
        entry("stringArray", R"(["a",])"),
        entry("stringArray", R"([["a"]])"),
        entry("data", R"("AAEC")"),
        entry("data", R"("AAE=")"),
        entry("data", R"("AA==")"),
        entry("data", R"("QR==")"),
        entry("data", R"("QUJ=")"),
        entry("data", R"("A===")"),
        entry("data", R"("AA=A")"),
        entry("data", R"("AAE")"),
        entry("data", R"("")"),
        entry("colour", R"("#fff")"),
        // Member order, repeats and extra members.
        R"({"k": {"value": true, "type": "bool"}})",
        R"({"k": {"type": "bool", "value": true, "type": "string"}})",
        R"({"k": {"type": "bool", "value": 1, "value": false}})",
        R"({"k": {"type": "bool", "value": true, "extra": [1, }})",
        R"({"k": {"type": "bool", "value": true, "extra": [1, 2]}})",
        R"({"k": {}})",
        R"({"k": {}, "j": {"type": "bool", "value": true}})",
        R"({"k": {"type": "bool"}})",
        R"({"k": {"type": 1, "value": true}})",
        R"({"k": {"type": "bool", "value": true}, "k": {"type": "integer", "value": 2}})",
        R"({"k": {"type": "bool", "value": true}, "k": 3})",
        R"({"k": 3, "k": {"type": "bool", "value": true}})",
        // Whole documents.
        "",
        " ",
        "{}",
        "[]",
        "null",
        "{} {}",
        "{} x",
        "{}\n\t ",
        "\xEF\xBB\xBF{}",
        R"({"a": {"type": "bool", "value": true})",
        R"({"a": {"type": "bool", "value": true}}})",
        R"({"a" {"type": "bool", "value": true}})",
        R"({"a": {"type": "bool", "value": true},})",
        "{\"\\u00e9\": {\"type\": \"bool\", \"value\": true}, \"\xc3\xa9\": {\"type\": \"bool\", "
        "\"value\": false}}",
        R"({"b": {"type": "bool", "value": true}, "a": {"type": "bool", "value": false}})",
    };
    for (const std::string& text : cases) expectSameAsGeneralRoute(text);
}

std::string nestedIn(const std::string& before, int depth, const std::string& after) {
    return before + std::string(static_cast<size_t>(depth), '[') +
           std::string(static_cast<size_t>(depth), ']') + after;
}

TEST(SettingsDocumentRoutes, NestingIsLimitedWhereverItIs) {
    const int inner = SettingsDocument::kMaxDepth - 2;  // under the document and the entry
    for (const auto& [before, after] : std::vector<std::pair<std::string, std::string>>{
             {R"({"k": {"type": "stringArray", "value": )", "}}"},
             {R"({"k": {"type": "future", "value": )", "}}"},
         }) {
        SCOPED_TRACE(before);
        const auto within = SettingsDocument::parse(nestedIn(before, inner, after));
        ASSERT_TRUE(within);
        EXPECT_EQ(within->preserved.size(), 1u);
        EXPECT_FALSE(SettingsDocument::parse(nestedIn(before, inner + 1, after)));
        expectSameAsGeneralRoute(nestedIn(before, inner + 1, after));
    }
    // Brackets inside strings are text, also after escaped quotes and
    // backslashes; a bracket outside a string after them still counts.
    const std::string brackets(1000, '[');
    const std::string inString =
        R"({"k": {"type": "future", "value": ["\\", "\"[", ")" + brackets + R"("]}})";
    const auto read = SettingsDocument::parse(inString);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->preserved.size(), 1u);
    EXPECT_FALSE(SettingsDocument::parse(
        nestedIn(R"({"k": ["\\", "\"", )", SettingsDocument::kMaxDepth, "]}")));
}

}  // namespace
}  // namespace corvanta::platform
