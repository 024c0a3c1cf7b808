// Plain, slow and literal: each step rewrites the whole text.
#include "NormalizeReference.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/foundation/Text.h"

namespace corvanta::testing {
namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        out.append(text, start, at - start);
        out.append(to);
        start = at + from.size();
    }
    out.append(text, start, std::string::npos);
    text = std::move(out);
}

// Patterns are compiled once; matchers are made per call.
std::string regexReplace(const std::string& text, const char* pattern, const char* replacement) {
    static std::map<const char*, std::unique_ptr<icu::RegexPattern>> compiled;
    UErrorCode status = U_ZERO_ERROR;
    auto& regex = compiled[pattern];
    if (!regex) {
        regex.reset(icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(pattern), 0, status));
        if (U_FAILURE(status))
            throw std::runtime_error(u_errorName(status));
    }
    const icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
    std::unique_ptr<icu::RegexMatcher> matcher(regex->matcher(input, status));
    const icu::UnicodeString result =
        matcher->replaceAll(icu::UnicodeString::fromUTF8(replacement), status);
    if (U_FAILURE(status))
        throw std::runtime_error(u_errorName(status));
    std::string out;
    result.toUTF8String(out);
    return out;
}

const std::map<std::string, std::string>& aliases() {
    static const std::map<std::string, std::string> table{
        {"command", "cmd"},   {"cmd", "cmd"},     {"命令", "cmd"},      {"option", "option"},
        {"opt", "option"},    {"alt", "option"},  {"选项", "option"},   {"control", "control"},
        {"ctrl", "control"},  {"ctl", "control"}, {"控制", "control"},  {"shift", "shift"},
        {"上档", "shift"},    {"换档", "shift"},  {"return", "return"}, {"enter", "return"},
        {"回车", "return"},   {"escape", "esc"},  {"esc", "esc"},       {"backspace", "delete"},
        {"delete", "delete"}, {"删除", "delete"}, {"arrow", ""},        {"箭头", ""},
        {"left", "left"},     {"左", "left"},     {"right", "right"},   {"右", "right"},
        {"up", "up"},         {"上", "up"},       {"down", "down"},     {"下", "down"},
    };
    return table;
}

}  // namespace

std::string referenceNormalize(std::string_view input) {
    std::string text = text::lowercased(text::fold(input));
    const std::pair<const char*, const char*> symbols[] = {
        {"⌘", " cmd "},    {"⌥", " option "},        {"⌃", " control "}, {"⇧", " shift "},
        {"⌫", " delete "}, {"⌦", " forwarddelete "}, {"↩", " return "},  {"⏎", " return "},
        {"⎋", " esc "},    {"←", " left "},          {"→", " right "},   {"↑", " up "},
        {"↓", " down "},
    };
    for (const auto& [symbol, word] : symbols) replaceAll(text, symbol, word);
    text = regexReplace(text, "([\\p{L}\\p{N}])\\s*[+-]\\s*(?=[\\p{L}\\p{N}\\[\\]\\\\/])", "$1 ");
    replaceAll(text, "++", " plus ");
    const std::pair<const char*, const char*> punctuation[] = {
        {"+", " plus "},        {"-", " minus "},        {"/", " slash "}, {"\\", " backslash "},
        {"[", " leftbracket "}, {"]", " rightbracket "}, {",", " comma "}, {".", " period "},
    };
    for (const auto& [character, word] : punctuation) replaceAll(text, character, word);
    text = regexReplace(text, "[^\\p{L}\\p{N}]+", " ");

    std::vector<std::string> pieces;
    for (const std::u32string& piece : [&] {
             std::vector<std::u32string> out{U""};
             for (char32_t c : text::toUtf32(text)) {
                 if (text::isWhitespaceOrNewline(c)) {
                     out.emplace_back();
                 } else {
                     out.back().push_back(c);
                 }
             }
             return out;
         }()) {
        if (piece.empty())
            continue;
        std::string word = text::toUtf8(piece);
        if (const auto it = aliases().find(word); it != aliases().end())
            word = it->second;
        if (!word.empty())
            pieces.push_back(word);
    }
    std::string out;
    for (const auto& piece : pieces) {
        if (!out.empty())
            out += ' ';
        out += piece;
    }
    return out;
}

}  // namespace corvanta::testing
