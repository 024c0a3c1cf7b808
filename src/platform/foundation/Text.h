// Unicode text helpers over UTF-8 strings (ICU does the Unicode work).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvanta::text {

// White space and line breaks: general category Zs, U+0009, U+000A..U+000D,
// U+0085, U+2028, U+2029. The same set serves every trim of the system.
bool isWhitespaceOrNewline(char32_t c);

// Removes white space and line breaks from both ends, never from inside.
std::string trimmed(std::string_view text);
// True when nothing is left after trimming.
bool isBlank(std::string_view text);

// Case-insensitive (full case folding), diacritic-insensitive (canonical
// decomposition without non-spacing marks) and width-insensitive (wide and
// narrow forms to their ordinary forms) folding, root locale.
std::string fold(std::string_view text);
// Locale-independent full lower-casing.
std::string lowercased(std::string_view text);
// Case-insensitive containment (both sides case-folded); an empty needle is
// contained nowhere.
bool containsCaseInsensitive(std::string_view haystack, std::string_view needle);

// User-perceived characters (extended grapheme clusters) of a text.
std::vector<std::string> graphemes(std::string_view text);
// Letter and number tests per user-perceived character: true when the
// cluster's first scalar is a letter (general category L*) or a number (N*).
bool isLetter(std::string_view grapheme);
bool isNumber(std::string_view grapheme);

// The value of an ASCII hexadecimal digit of either case, or -1.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// UTF-8 <-> UTF-32; invalid sequences become U+FFFD.
std::u32string toUtf32(std::string_view text);
std::string toUtf8(std::u32string_view text);

}  // namespace corvanta::text
