// Parsing and writing the settings document: tagged values, base64 data,
// non-finite doubles, and bounds on size and depth for what is kept unread.
#include "platform/foundation/SettingsDocument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

namespace corvanta::platform {
namespace {

using nlohmann::json;

// ---- base64 (RFC 4648, padded) ----------------------------------------------

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encode(const Data& data) {
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        const std::uint32_t n = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += kBase64Alphabet[(n >> 6) & 63];
        out += kBase64Alphabet[n & 63];
    }
    if (i + 1 == data.size()) {
        const std::uint32_t n = data[i] << 16;
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += "==";
    } else if (i + 2 == data.size()) {
        const std::uint32_t n = (data[i] << 16) | (data[i + 1] << 8);
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += kBase64Alphabet[(n >> 6) & 63];
        out += '=';
    }
    return out;
}

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Strict: anything but canonical padded base64 is refused.
std::optional<Data> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    Data out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int d[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + static_cast<size_t>(k)];
            if (c == '=' && last && k >= 2) {
                ++padding;
                d[k] = 0;
                continue;
            }
            if (padding > 0)
                return std::nullopt;
            d[k] = base64Digit(c);
            if (d[k] < 0)
                return std::nullopt;
        }
        const std::uint32_t n =
            (static_cast<std::uint32_t>(d[0]) << 18) | (static_cast<std::uint32_t>(d[1]) << 12) |
            (static_cast<std::uint32_t>(d[2]) << 6) | static_cast<std::uint32_t>(d[3]);
        out.push_back(static_cast<std::uint8_t>(n >> 16));
        if (padding < 2)
            out.push_back(static_cast<std::uint8_t>(n >> 8));
        if (padding < 1)
            out.push_back(static_cast<std::uint8_t>(n));
    }
    return out;
}

// ---- tagged JSON values -------------------------------------------------------

json doubleToJson(double d) {
    // JSON has no infinities or NaN; they are written as text so they survive.
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d > 0 ? "inf" : "-inf";
    return d;
}

std::optional<double> doubleFromJson(const json& j) {
    if (j.is_number())
        return j.get<double>();
    if (j.is_string()) {
        const auto& s = j.get_ref<const std::string&>();
        if (s == "nan")
            return std::numeric_limits<double>::quiet_NaN();
        if (s == "inf")
            return std::numeric_limits<double>::infinity();
        if (s == "-inf")
            return -std::numeric_limits<double>::infinity();
    }
    return std::nullopt;
}

json encodeValue(const DefaultsValue& value) {
    struct Visitor {
        json operator()(const std::string& v) const { return {{"type", "string"}, {"value", v}}; }
        json operator()(bool v) const { return {{"type", "bool"}, {"value", v}}; }
        json operator()(std::int64_t v) const { return {{"type", "integer"}, {"value", v}}; }
        json operator()(double v) const { return {{"type", "double"}, {"value", doubleToJson(v)}}; }
        json operator()(const std::vector<std::string>& v) const {
            return {{"type", "stringArray"}, {"value", v}};
        }
        json operator()(const Data& v) const {
            return {{"type", "data"}, {"value", base64Encode(v)}};
        }
    };
    return std::visit(Visitor{}, value);
}

std::optional<DefaultsValue> decodeValue(const json& entry) {
    if (!entry.is_object())
        return std::nullopt;
    const auto type = entry.find("type");
    const auto value = entry.find("value");
    if (type == entry.end() || value == entry.end() || !type->is_string())
        return std::nullopt;
    const auto& tag = type->get_ref<const std::string&>();
    if (tag == "string" && value->is_string())
        return value->get<std::string>();
    if (tag == "bool" && value->is_boolean())
        return value->get<bool>();
    if (tag == "integer" && value->is_number_integer()) {
        if (value->is_number_unsigned() &&
            value->get<std::uint64_t>() >
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return value->get<std::int64_t>();
    }
    if (tag == "double") {
        if (auto d = doubleFromJson(*value))
            return *d;
        return std::nullopt;
    }
    if (tag == "stringArray" && value->is_array()) {
        std::vector<std::string> strings;
        for (const auto& element : *value) {
            if (!element.is_string())
                return std::nullopt;
            strings.push_back(element.get<std::string>());
        }
        return strings;
    }
    if (tag == "data" && value->is_string()) {
        if (auto bytes = base64Decode(value->get_ref<const std::string&>()))
            return *bytes;
    }
    return std::nullopt;
}

// Text that is not valid UTF-8 cannot be stored in JSON as it is; the
// replacement character stands in rather than losing the whole write.
std::string dumpText(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

// Thrown from the parser callback to stop at the first level too deep.
struct TooDeep {};

}  // namespace

std::optional<SettingsDocument> SettingsDocument::parse(std::string_view text) {
    if (text.size() > kMaxBytes)
        return std::nullopt;
    // The callback sees each container before its contents, at the depth of
    // its parent; stopping there keeps the tree within kMaxDepth levels.
    const json::parser_callback_t limitDepth = [](int depth, json::parse_event_t event, json&) {
        if ((event == json::parse_event_t::object_start ||
             event == json::parse_event_t::array_start) &&
            depth >= kMaxDepth) {
            throw TooDeep{};
        }
        return true;
    };
    json document;
    try {
        document = json::parse(text, limitDepth, /*allow_exceptions=*/false);
    } catch (const TooDeep&) {
        return std::nullopt;
    }
    if (document.is_discarded() || !document.is_object())
        return std::nullopt;

    SettingsDocument result;
    for (const auto& [key, entry] : document.items()) {
        if (auto value = decodeValue(entry)) {
            result.values.insert_or_assign(key, std::move(*value));
        } else {
            result.preserved.insert_or_assign(key, dumpText(entry, -1));
        }
    }
    return result;
}

std::string SettingsDocument::serialize() const {
    std::vector<std::pair<std::string_view, std::string>> entries;
    entries.reserve(values.size() + preserved.size());
    for (const auto& [key, value] : values) {
        // Shift the nested lines of the pretty value under its key.
        std::string text;
        for (const char c : dumpText(encodeValue(value), 2)) {
            text += c;
            if (c == '\n')
                text += "  ";
        }
        entries.emplace_back(key, std::move(text));
    }
    for (const auto& [key, text] : preserved) {
        if (!values.contains(key))
            entries.emplace_back(key, text);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    std::string out = "{";
    for (size_t i = 0; i < entries.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        out += dumpText(json(std::string(entries[i].first)), -1);
        out += ": ";
        out += entries[i].second;
    }
    out += entries.empty() ? "}\n" : "\n}\n";
    return out;
}

}  // namespace corvanta::platform
