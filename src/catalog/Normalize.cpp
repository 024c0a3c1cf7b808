// One pass per stage instead of eleven string rewrites: the folded text is
// decoded once, the modifier joiners are removed on the code points, and the
// punctuation words, separators, splitting and aliases happen in a final scan.
// The result equals the step-by-step definition (the tests cross-check it).
#include "catalog/Normalize.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/foundation/Text.h"

namespace corvanta {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Key symbols are spelled out as words before anything else looks at them.
std::string_view keySymbolWord(char32_t c) {
    switch (c) {
        case 0x2318:
            return "cmd";
        case 0x2325:
            return "option";
        case 0x2303:
            return "control";
        case 0x21E7:
            return "shift";
        case 0x232B:
            return "delete";
        case 0x2326:
            return "forwarddelete";
        case 0x21A9:
            return "return";
        case 0x23CE:
            return "return";
        case 0x238B:
            return "esc";
        case 0x2190:
            return "left";
        case 0x2192:
            return "right";
        case 0x2191:
            return "up";
        case 0x2193:
            return "down";
        default:
            return {};
    }
}

bool isLetterOrNumber(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (c >= 0x4E00 && c <= 0x9FFF)
        return true;  // CJK unified ideographs, all Lo
    return (U_GET_GC_MASK(static_cast<UChar32>(c)) & (U_GC_L_MASK | U_GC_N_MASK)) != 0;
}

// The white space of the joiner pattern's `\s` (the White_Space property).
bool isPatternSpace(char32_t c) {
    if (c < 0x80)
        return c == ' ' || (c >= 0x09 && c <= 0x0D);
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

// Characters whose fold and lower-case are known without ICU: ASCII, CJK
// ideographs and the common CJK and general punctuation have no case and no
// decomposition; full-width ASCII is a width form of ASCII. Returns 0 for a
// character that needs the full fold.
char32_t quickFold(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    if (c >= 0x4E00 && c <= 0x9FFF)
        return c;
    if (c >= 0xFF01 && c <= 0xFF5E) {
        const char32_t ascii = c - 0xFEE0;
        return (ascii >= 'A' && ascii <= 'Z') ? ascii + 0x20 : ascii;
    }
    if (!keySymbolWord(c).empty())
        return c;
    switch (c) {
        case 0x00B7:  // ·
        case 0x2013:  // –
        case 0x2014:  // —
        case 0x2018:  // ‘
        case 0x2019:  // ’
        case 0x201C:  // “
        case 0x201D:  // ”
        case 0x3001:  // 、
        case 0x3002:  // 。
        case 0x300A:  // 《
        case 0x300B:  // 》
        case 0x3010:  // 【
        case 0x3011:  // 】
            return c;
        default:
            return 0;
    }
}

// Decodes UTF-8 (malformed bytes become U+FFFD) and spells out key symbols
// with a space on each side.
void decodeWithSymbols(std::string_view text, bool quick, std::u32string& out) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = bytes[i];
        if (c < 0x80) {
            ++i;
        } else {
            U8_NEXT(bytes, i, length, c);
            if (c < 0)
                c = kReplacement;
        }
        char32_t folded = static_cast<char32_t>(c);
        if (quick)
            folded = quickFold(folded);
        const std::string_view word = folded >= 0x80 ? keySymbolWord(folded) : std::string_view{};
        if (word.empty()) {
            out.push_back(folded);
        } else {
            out.push_back(' ');
            out.append(word.begin(), word.end());
            out.push_back(' ');
        }
    }
}

bool allQuick(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0 || quickFold(static_cast<char32_t>(c)) == 0)
            return false;
    }
    return true;
}

// A "+" or "-" between a letter or digit and a following letter, digit,
// bracket, backslash or slash joins two keys: it goes, with the white space
// around it, and the letter or digit is followed by one space instead.
void removeJoiners(const std::u32string& in, std::u32string& out) {
    const std::size_t n = in.size();
    std::size_t i = 0;
    while (i < n) {
        const char32_t c = in[i];
        out.push_back(c);
        ++i;
        if (!isLetterOrNumber(c))
            continue;
        std::size_t j = i;
        while (j < n && isPatternSpace(in[j])) ++j;
        if (j >= n || (in[j] != '+' && in[j] != '-'))
            continue;
        std::size_t k = j + 1;
        while (k < n && isPatternSpace(in[k])) ++k;
        if (k >= n)
            continue;
        const char32_t next = in[k];
        if (isLetterOrNumber(next) || next == '[' || next == ']' || next == '\\' || next == '/') {
            out.push_back(' ');
            i = k;
        }
    }
}

struct Alias {
    std::string_view token;
    std::string_view word;
};

// Sorted by token for binary search.
constexpr std::array<Alias, 32> kAliases = [] {
    std::array<Alias, 32> rows{{
        {"command", "cmd"},   {"cmd", "cmd"},     {"命令", "cmd"},      {"option", "option"},
        {"opt", "option"},    {"alt", "option"},  {"选项", "option"},   {"control", "control"},
        {"ctrl", "control"},  {"ctl", "control"}, {"控制", "control"},  {"shift", "shift"},
        {"上档", "shift"},    {"换档", "shift"},  {"return", "return"}, {"enter", "return"},
        {"回车", "return"},   {"escape", "esc"},  {"esc", "esc"},       {"backspace", "delete"},
        {"delete", "delete"}, {"删除", "delete"}, {"arrow", ""},        {"箭头", ""},
        {"left", "left"},     {"左", "left"},     {"right", "right"},   {"右", "right"},
        {"up", "up"},         {"上", "up"},       {"down", "down"},     {"下", "down"},
    }};
    std::sort(rows.begin(), rows.end(),
              [](const Alias& a, const Alias& b) { return a.token < b.token; });
    return rows;
}();

constexpr std::size_t kLongestAlias = 9;  // "backspace"

void appendWord(std::string& out, std::string_view word) {
    if (word.empty())
        return;
    if (!out.empty())
        out.push_back(' ');
    out.append(word);
}

void appendToken(std::string& out, std::string_view token) {
    if (token.size() <= kLongestAlias) {
        const auto it =
            std::lower_bound(kAliases.begin(), kAliases.end(), token,
                             [](const Alias& a, std::string_view t) { return a.token < t; });
        if (it != kAliases.end() && it->token == token) {
            appendWord(out, it->word);
            return;
        }
    }
    appendWord(out, token);
}

void appendUtf8(std::string& out, char32_t c) {
    uint8_t buffer[U8_MAX_LENGTH];
    int32_t n = 0;
    U8_APPEND_UNSAFE(buffer, n, static_cast<UChar32>(c));
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

std::string_view punctuationWord(char32_t c) {
    switch (c) {
        case '+':
            return "plus";
        case '-':
            return "minus";
        case '/':
            return "slash";
        case '\\':
            return "backslash";
        case '[':
            return "leftbracket";
        case ']':
            return "rightbracket";
        case ',':
            return "comma";
        case '.':
            return "period";
        default:
            return {};
    }
}

// Punctuation words ("++" counts as one plus), every other run of
// non-letters and non-digits as a separator, then the aliases per word.
std::string spellAndSplit(const std::u32string& in) {
    std::string out;
    out.reserve(in.size() + 8);
    std::string token;
    const auto flush = [&] {
        if (!token.empty()) {
            appendToken(out, token);
            token.clear();
        }
    };
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = in[i];
        if (isLetterOrNumber(c)) {
            if (c < 0x80) {
                token.push_back(static_cast<char>(c));
            } else {
                appendUtf8(token, c);
            }
            continue;
        }
        flush();
        const std::string_view word = c < 0x80 ? punctuationWord(c) : std::string_view{};
        if (word.empty())
            continue;
        if (c == '+' && i + 1 < n && in[i + 1] == '+')
            ++i;
        appendToken(out, word);
    }
    flush();
    return out;
}

}  // namespace

std::string normalize(std::string_view text) {
    thread_local std::u32string decoded;
    thread_local std::u32string joined;
    decoded.clear();
    joined.clear();
    if (allQuick(text)) {
        decodeWithSymbols(text, true, decoded);
    } else {
        decodeWithSymbols(text::lowercased(text::fold(text)), false, decoded);
    }
    removeJoiners(decoded, joined);
    return spellAndSplit(joined);
}

}  // namespace corvanta
