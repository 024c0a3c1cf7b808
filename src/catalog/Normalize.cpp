// Two passes instead of eleven string rewrites: the folded text is decoded to
// code points once, then one scan spells out symbols and punctuation, drops
// joiners and separators, splits the words and applies the aliases. The
// result equals the step-by-step definition (the tests cross-check it).
#include "catalog/Normalize.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

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

constexpr std::array<bool, 128> kAsciiLetterOrDigit = [] {
    std::array<bool, 128> table{};
    for (char c = 'a'; c <= 'z'; ++c) table[static_cast<std::size_t>(c)] = true;
    for (char c = 'A'; c <= 'Z'; ++c) table[static_cast<std::size_t>(c)] = true;
    for (char c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = true;
    return table;
}();

inline bool isLetterOrNumber(char32_t c) {
    if (c < 0x80)
        return kAsciiLetterOrDigit[c];
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

// Decodes UTF-8; malformed bytes become U+FFFD, as in the full fold.
void decode(std::string_view text, std::u32string& out) {
    out.resize(text.size());  // never more code points than bytes
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::size_t n = 0;
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        out[n++] = c < 0 ? kReplacement : static_cast<char32_t>(c);
    }
    out.resize(n);
}

// Decodes and folds in one go when every character has a known fold;
// false as soon as one needs the full fold.
bool decodeQuick(std::string_view text, std::u32string& out) {
    out.resize(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::size_t n = 0;
    for (int32_t i = 0; i < length;) {
        UChar32 c = bytes[i];
        if (c < 0x80) {
            ++i;
            out[n++] =
                (c >= 'A' && c <= 'Z') ? static_cast<char32_t>(c + 0x20) : static_cast<char32_t>(c);
            continue;
        }
        U8_NEXT(bytes, i, length, c);
        const char32_t folded = c < 0 ? 0 : quickFold(static_cast<char32_t>(c));
        if (folded == 0)
            return false;
        out[n++] = folded;
    }
    out.resize(n);
    return true;
}

// An ASCII text seen through its lower-case letters, which is all that
// folding does to it.
struct AsciiText {
    std::string_view text;

    std::size_t size() const { return text.size(); }
    char32_t operator[](std::size_t i) const {
        const auto c = static_cast<unsigned char>(text[i]);
        return (c >= 'A' && c <= 'Z') ? c + 0x20u : c;
    }
};

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// A key symbol stands for a word, so it counts as letters next to a joiner.
inline bool isWordLike(char32_t c) {
    return isLetterOrNumber(c) || (c >= 0x80 && !keySymbolWord(c).empty());
}

// A "+" or "-" between a letter or digit and a following letter, digit,
// bracket, backslash or slash joins two keys, and goes with the white space
// around it. Such a sign is never next to another "+", so the "++" pairing
// is not affected by dropping it first.
template <class Text>
bool isJoiner(const Text& text, std::size_t at) {
    std::size_t left = at;
    while (left > 0 && isPatternSpace(text[left - 1])) --left;
    if (left == 0 || !isWordLike(text[left - 1]))
        return false;
    std::size_t right = at + 1;
    while (right < text.size() && isPatternSpace(text[right])) ++right;
    if (right >= text.size())
        return false;
    const char32_t next = text[right];
    return isWordLike(next) || next == '[' || next == ']' || next == '\\' || next == '/';
}

struct Alias {
    std::string_view token;
    std::string_view word;
};

constexpr std::array<Alias, 32> kAliases{{
    {"command", "cmd"},   {"cmd", "cmd"},     {"命令", "cmd"},      {"option", "option"},
    {"opt", "option"},    {"alt", "option"},  {"选项", "option"},   {"control", "control"},
    {"ctrl", "control"},  {"ctl", "control"}, {"控制", "control"},  {"shift", "shift"},
    {"上档", "shift"},    {"换档", "shift"},  {"return", "return"}, {"enter", "return"},
    {"回车", "return"},   {"escape", "esc"},  {"esc", "esc"},       {"backspace", "delete"},
    {"delete", "delete"}, {"删除", "delete"}, {"arrow", ""},        {"箭头", ""},
    {"left", "left"},     {"左", "left"},     {"right", "right"},   {"右", "right"},
    {"up", "up"},         {"上", "up"},       {"down", "down"},     {"下", "down"},
}};

constexpr std::size_t kLongestAlias = 9;  // "backspace"

// Aliases grouped by byte length, so a word is compared with a handful at most.
struct AliasBuckets {
    std::array<std::array<const Alias*, 16>, kLongestAlias + 1> rows{};
    std::array<std::size_t, kLongestAlias + 1> counts{};
};

constexpr AliasBuckets kAliasBuckets = [] {
    AliasBuckets buckets;
    for (const Alias& alias : kAliases) {
        const std::size_t n = alias.token.size();
        buckets.rows[n][buckets.counts[n]++] = &alias;
    }
    return buckets;
}();

std::string_view aliasOf(std::string_view token) {
    if (token.size() > kLongestAlias)
        return token;
    const std::size_t n = token.size();
    for (std::size_t i = 0; i < kAliasBuckets.counts[n]; ++i) {
        const Alias& alias = *kAliasBuckets.rows[n][i];
        if (alias.token[0] == token[0] && alias.token == token)
            return alias.word;
    }
    return token;
}

// Appends words to `out`, one space between them; words written before
// `start` are someone else's.
struct WordWriter {
    std::string& out;
    std::size_t start;

    void word(std::string_view word) {
        if (word.empty())
            return;
        if (out.size() > start)
            out.push_back(' ');
        out.append(word);
    }
};

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

// Key symbols and punctuation become words ("++" one plus, a joiner nothing),
// every other run of non-letters and non-digits separates words, and each
// word goes through the aliases.
template <class Text>
void scan(const Text& in, WordWriter& out) {
    std::string token;
    const auto flush = [&] {
        if (!token.empty()) {
            out.word(aliasOf(token));
            token.clear();
        }
    };
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = in[i];
        if (c < 0x80) {
            if (kAsciiLetterOrDigit[c]) {
                token.push_back(static_cast<char>(c));
                continue;
            }
            flush();
            if ((c == '+' || c == '-') && isJoiner(in, i))
                continue;
            const std::string_view word = punctuationWord(c);
            if (word.empty())
                continue;
            if (c == '+' && i + 1 < n && in[i + 1] == '+')
                ++i;
            out.word(word);  // no punctuation word is an alias
            continue;
        }
        if (isLetterOrNumber(c)) {
            appendUtf8(token, c);
            continue;
        }
        flush();
        // The symbol words are their own aliases, or none ("forwarddelete").
        out.word(keySymbolWord(c));
    }
    flush();
}

}  // namespace

void appendNormalized(std::string_view text, std::string& out) {
    WordWriter writer{out, out.size()};
    if (isAscii(text)) {
        scan(AsciiText{text}, writer);
        return;
    }
    // The decoding buffer keeps its capacity between calls.
    thread_local std::u32string decoded;
    if (!decodeQuick(text, decoded))
        decode(text::lowercased(text::fold(text)), decoded);
    scan(decoded, writer);
}

std::string normalize(std::string_view text) {
    std::string out;
    appendNormalized(text, out);
    return out;
}

}  // namespace corvanta
