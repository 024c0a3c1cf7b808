// Unicode text helpers: trimming, folding, lower-casing, grapheme segmentation
// and character classes over UTF-8, with ICU doing the Unicode work.
#include "platform/foundation/Text.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <memory>
#include <optional>

namespace corvanta::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

icu::UnicodeString toIcu(std::string_view text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string fromIcu(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// Wide and narrow forms (full-width Latin, half-width katakana, the ideographic
// space...) become the ordinary characters they stand for. Only the width
// mapping itself applies: the full compatibility decomposition would go on to
// turn a half-width Hangul letter past its compatibility jamo (U+3142) into a
// conjoining one (U+1107), which the ordinary letter never becomes.
icu::UnicodeString mapWidthForms(const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
    if (U_FAILURE(status))
        return text;
    icu::UnicodeString out;
    icu::UnicodeString decomposition;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        i += U16_LENGTH(c);
        const int32_t type = u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE);
        if ((type == U_DT_WIDE || type == U_DT_NARROW) &&
            nfkd->getRawDecomposition(c, decomposition)) {
            out.append(decomposition);
        } else {
            out.append(c);
        }
    }
    return out;
}

// Canonical decomposition without the non-spacing marks, so that accented and
// plain letters compare equal.
icu::UnicodeString removeDiacritics(const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status))
        return text;
    const icu::UnicodeString decomposed = nfd->normalize(text, status);
    if (U_FAILURE(status))
        return text;
    icu::UnicodeString out;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        i += U16_LENGTH(c);
        if (u_charType(c) != U_NON_SPACING_MARK)
            out.append(c);
    }
    return out;
}

icu::UnicodeString composed(const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return text;
    icu::UnicodeString out = nfc->normalize(text, status);
    return U_FAILURE(status) ? text : out;
}

// The first scalar of a UTF-8 text, or nothing when it is empty or malformed.
std::optional<UChar32> firstScalar(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    int32_t i = 0;
    UChar32 c = 0;
    U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, static_cast<int32_t>(text.size()), c);
    if (c < 0)
        return std::nullopt;
    return c;
}

}  // namespace

bool isWhitespaceOrNewline(char32_t c) {
    if (c == 0x09 || (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029) {
        return true;
    }
    if (c == 0x20)
        return true;
    if (c < 0x80)
        return false;
    return u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

std::string trimmed(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());

    // Malformed bytes are not white space, so they stay (nothing is lost).
    int32_t start = 0;
    while (start < length) {
        int32_t next = start;
        UChar32 c = 0;
        U8_NEXT(bytes, next, length, c);
        if (c < 0 || !isWhitespaceOrNewline(static_cast<char32_t>(c)))
            break;
        start = next;
    }
    int32_t end = length;
    while (end > start) {
        int32_t previous = end;
        UChar32 c = 0;
        U8_PREV(bytes, start, previous, c);
        if (c < 0 || !isWhitespaceOrNewline(static_cast<char32_t>(c)))
            break;
        end = previous;
    }
    return std::string(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

bool isBlank(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0 || !isWhitespaceOrNewline(static_cast<char32_t>(c)))
            return false;
    }
    return true;
}

std::string fold(std::string_view text) {
    // Most catalog text is ASCII, and folding ASCII is only lower-casing A-Z;
    // the whole catalog is folded at start-up, so ICU is kept for the rest.
    std::string out(text);
    bool ascii = true;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            ascii = false;
            break;
        }
        if (byte >= 'A' && byte <= 'Z')
            c = static_cast<char>(byte + ('a' - 'A'));
    }
    if (ascii)
        return out;

    icu::UnicodeString s = mapWidthForms(toIcu(text));
    s.foldCase(U_FOLD_CASE_DEFAULT);
    return fromIcu(composed(removeDiacritics(s)));
}

std::string lowercased(std::string_view text) {
    if (isAscii(text)) {
        std::string out(text);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + ('a' - 'A'));
        }
        return out;
    }
    icu::UnicodeString s = toIcu(text);
    s.toLower(icu::Locale::getRoot());
    return fromIcu(s);
}

bool containsCaseInsensitive(std::string_view haystack, std::string_view needle) {
    // An empty needle is contained nowhere, as in the platform's containment test.
    if (needle.empty())
        return false;
    icu::UnicodeString h = toIcu(haystack);
    icu::UnicodeString n = toIcu(needle);
    h.foldCase(U_FOLD_CASE_DEFAULT);
    n.foldCase(U_FOLD_CASE_DEFAULT);
    return h.indexOf(n) >= 0;
}

std::vector<std::string> graphemes(std::string_view text) {
    std::vector<std::string> out;
    if (text.empty())
        return out;
    const icu::UnicodeString s = toIcu(text);
    // Creating a break iterator costs far more than using one; each thread keeps its own.
    thread_local std::unique_ptr<icu::BreakIterator> it = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> created(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            created.reset();
        return created;
    }();
    if (!it) {
        // Without break data, code points are the best available approximation.
        for (int32_t i = 0; i < s.length();) {
            const UChar32 c = s.char32At(i);
            const int32_t n = U16_LENGTH(c);
            out.push_back(fromIcu(s.tempSubString(i, n)));
            i += n;
        }
        return out;
    }
    it->setText(s);
    int32_t start = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next()) {
        out.push_back(fromIcu(s.tempSubString(start, end - start)));
    }
    return out;
}

bool isLetter(std::string_view grapheme) {
    const auto c = firstScalar(grapheme);
    return c && (U_GET_GC_MASK(*c) & U_GC_L_MASK) != 0;
}

bool isNumber(std::string_view grapheme) {
    const auto c = firstScalar(grapheme);
    return c && (U_GET_GC_MASK(*c) & U_GC_N_MASK) != 0;
}

std::u32string toUtf32(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        out.push_back(c < 0 ? kReplacement : static_cast<char32_t>(c));
    }
    return out;
}

std::string toUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = kReplacement;
        uint8_t buffer[U8_MAX_LENGTH];
        int32_t n = 0;
        U8_APPEND_UNSAFE(buffer, n, static_cast<UChar32>(c));
        out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
    }
    return out;
}

}  // namespace corvanta::text
