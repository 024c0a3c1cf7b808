// The text form of one settings domain: tagged typed values plus the entries
// this version cannot read, kept verbatim. Parsing is bounded in size and depth.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/UserDefaults.h"

namespace corvanta::platform {

// The document is an object of `"<key>": {"type": T, "value": V}` with T one of
// "string", "bool", "integer", "double" (non-finite values as "nan", "inf",
// "-inf"), "stringArray" or "data" (base64).
class SettingsDocument {
public:
    // Larger files are not settings this program wrote; they count as unreadable.
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;
    // The store writes no larger document (unless it replaces one at least as
    // large), so whatever it writes it reads back. Half the reader's limit: a
    // file written at the limit stays readable after hand edits or a later
    // writer's roomier layout, and opens well within start-up's budget. Real
    // settings are kilobytes; the limit still holds a hundred stored
    // submissions of 60 KB each.
    static constexpr std::size_t kMaxWriteBytes = kMaxBytes / 2;
    // Deeper nesting counts as unreadable, so that keeping, writing and
    // destroying an unknown value can never exhaust the stack.
    static constexpr int kMaxDepth = 256;

    // Spare capacity after a text that lets parseInPlace() read it where it is.
    static constexpr std::size_t kParsePadding = 64;

    // Nothing when the text is not a JSON object within the limits.
    static std::optional<SettingsDocument> parse(std::string_view text);
    // The same; reads `text` where it lies when its capacity exceeds its size
    // by kParsePadding, instead of copying it first (a file of megabytes).
    static std::optional<SettingsDocument> parseInPlace(const std::string& text);
    // The same result by the route that reads any entry; parse() takes a
    // faster one when every entry is a known value. For cross-checks.
    static std::optional<SettingsDocument> parseGeneral(std::string_view text);

    // Known values pretty-printed, kept entries as compact as they were read,
    // so writing never grows a kept value by its depth.
    std::string serialize() const;

    std::map<std::string, DefaultsValue, std::less<>> values;
    // Entries of the file this version cannot read (unknown type tag, bad
    // shape), as compact JSON text, written back untouched.
    std::map<std::string, std::string, std::less<>> preserved;
};

}  // namespace corvanta::platform
