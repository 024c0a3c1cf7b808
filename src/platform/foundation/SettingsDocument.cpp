// Parsing and writing the settings document: tagged values, base64 data,
// non-finite doubles, and bounds on size and depth for what is kept unread.
#include "platform/foundation/SettingsDocument.h"

#include <simdjson.h>
#include <algorithm>
#include <array>
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

// Digit values by byte; 64 marks a byte that is no base64 digit.
constexpr std::array<std::uint8_t, 256> kBase64Digits = [] {
    std::array<std::uint8_t, 256> digits{};
    digits.fill(64);
    for (std::uint8_t i = 0; i < 64; ++i)
        digits[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
    return digits;
}();

// Padded base64 of the standard alphabet, nothing else: no line breaks, no
// spaces, no URL-safe digits, no missing padding. Not canonical, though: the
// unused low bits of the last digit before the padding are ignored, as most
// decoders ignore them, so "QR==" reads as "QQ==" does (and is written back
// so). A value another encoder wrote with those bits set still holds the
// user's stored submissions; refusing it would hide them, and the next
// submission would then replace them. Data values may be megabytes long, so
// this runs by table into a buffer sized once.
std::optional<Data> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    size_t padding = 0;
    if (!text.empty() && text.back() == '=')
        padding = text[text.size() - 2] == '=' ? 2 : 1;
    Data out(text.size() / 4 * 3 - padding);
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const size_t whole = padding > 0 ? text.size() - 4 : text.size();
    size_t o = 0;
    for (size_t i = 0; i < whole; i += 4) {
        const std::uint32_t a = kBase64Digits[in[i]], b = kBase64Digits[in[i + 1]],
                            c = kBase64Digits[in[i + 2]], d = kBase64Digits[in[i + 3]];
        if ((a | b | c | d) & 64)
            return std::nullopt;
        const std::uint32_t n = (a << 18) | (b << 12) | (c << 6) | d;
        out[o++] = static_cast<std::uint8_t>(n >> 16);
        out[o++] = static_cast<std::uint8_t>(n >> 8);
        out[o++] = static_cast<std::uint8_t>(n);
    }
    if (padding > 0) {
        // "xx==" or "xxx=": the digits before the padding must be real ones.
        const size_t i = whole;
        const std::uint32_t a = kBase64Digits[in[i]], b = kBase64Digits[in[i + 1]];
        const std::uint32_t c = padding == 2 ? 0 : kBase64Digits[in[i + 2]];
        if ((a | b | c) & 64)
            return std::nullopt;
        const std::uint32_t n = (a << 18) | (b << 12) | (c << 6);
        out[o++] = static_cast<std::uint8_t>(n >> 16);
        if (padding == 1)
            out[o++] = static_cast<std::uint8_t>(n >> 8);
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
            return std::move(*bytes);
    }
    return std::nullopt;
}

// Text that is not valid UTF-8 cannot be stored in JSON as it is; the
// replacement character stands in rather than losing the whole write.
std::string dumpText(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

// True when no container in `text` opens more than `limit` levels deep. For
// valid JSON the count is exact: brackets count only outside strings. For
// anything else the answer does not matter, as the parser refuses it anyway.
// One pass, unlike a parser callback, which rescans a container's members at
// the end of each of them and so makes a file of many entries quadratic.
bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;  // the escaped character cannot end the string
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit)
                return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}

// ---- the route for documents of known values only ------------------------------

namespace od = simdjson::ondemand;

// Thrown on the fast route when the text holds anything it does not decide.
struct UseGeneralRoute {};

template <class T>
T get(simdjson::simdjson_result<T> result) {
    T value{};
    if (std::move(result).get(value))
        throw UseGeneralRoute{};
    return value;
}

std::string_view string(od::value& value) {
    return get(value.get_string());
}

// The value of one entry, decided exactly as decodeValue decides on
// nlohmann's tree. Only an entry of a "type" and then a "value" member is
// decided here: simdjson reads forward only and does not check what it skips.
DefaultsValue decodeKnownValue(od::value entry) {
    od::object object = get(entry.get_object());
    // An iterator at the end must not be read: simdjson assumes it never is.
    od::object_iterator fields = get(object.begin());
    const od::object_iterator end = get(object.end());
    if (!(fields != end))
        throw UseGeneralRoute{};
    od::field type = get(*fields);
    if (get(type.unescaped_key()) != "type")
        throw UseGeneralRoute{};
    const std::string_view tag = string(type.value());
    if (!(++fields != end))
        throw UseGeneralRoute{};
    od::field field = get(*fields);
    if (get(field.unescaped_key()) != "value")
        throw UseGeneralRoute{};
    od::value value = field.value();
    DefaultsValue decoded;
    if (tag == "string") {
        decoded = std::string(string(value));
    } else if (tag == "bool") {
        decoded = get(value.get_bool());
    } else if (tag == "integer") {
        // nlohmann reads a number as an integer when it has no fraction and no
        // exponent; an unsigned one beyond int64 is no value of ours.
        if (get(value.get_number_type()) != od::number_type::signed_integer)
            throw UseGeneralRoute{};
        decoded = get(value.get_int64());
    } else if (tag == "double") {
        if (get(value.type()) == od::json_type::number) {
            // An integer is converted as nlohmann converts it: "-0" is 0.0.
            switch (get(value.get_number_type())) {
                case od::number_type::signed_integer:
                    decoded = static_cast<double>(get(value.get_int64()));
                    break;
                case od::number_type::unsigned_integer:
                    decoded = static_cast<double>(get(value.get_uint64()));
                    break;
                default:
                    decoded = get(value.get_double());
            }
        } else {
            const std::string_view text = string(value);
            if (text == "nan")
                decoded = std::numeric_limits<double>::quiet_NaN();
            else if (text == "inf")
                decoded = std::numeric_limits<double>::infinity();
            else if (text == "-inf")
                decoded = -std::numeric_limits<double>::infinity();
            else
                throw UseGeneralRoute{};
        }
    } else if (tag == "stringArray") {
        od::array array = get(value.get_array());
        // Counting first walks the array's structure only; growing by
        // doubling would instead move a list of thousands (favourites)
        // about twenty times into fresh memory.
        std::vector<std::string> strings;
        strings.reserve(get(array.count_elements()));
        for (auto element : array) {
            od::value item = get(std::move(element));
            strings.emplace_back(string(item));
        }
        decoded = std::move(strings);
    } else if (tag == "data") {
        auto bytes = base64Decode(string(value));
        if (!bytes)
            throw UseGeneralRoute{};
        decoded = std::move(*bytes);
    } else {
        throw UseGeneralRoute{};
    }
    // A third member, or a repeated one, is for the general route.
    if (++fields != end)
        throw UseGeneralRoute{};
    return decoded;
}

// Every file this program writes holds known values only, and reading it is
// on the start-up path, so it goes through simdjson, which reads it many times
// faster than nlohmann. Nothing when the text holds anything else (an entry
// to keep unread, JSON that simdjson refuses, such as an integer beyond 64
// bits): the general route decides then. simdjson is at least as strict as
// nlohmann, so it never accepts text the general route would refuse.
std::optional<SettingsDocument> parseKnownValues(simdjson::padded_string_view padded) {
    od::parser parser;
    SettingsDocument result;
    try {
        od::document document = get(parser.iterate(padded));
        for (auto member : get(document.get_object())) {
            od::field field = get(std::move(member));
            std::string key(get(field.unescaped_key()));
            // Keys come sorted from our own writer, which makes the hint right;
            // the last of repeated keys counts, as with nlohmann.
            result.values.insert_or_assign(result.values.end(), std::move(key),
                                           decodeKnownValue(field.value()));
        }
        // Anything after the object: the general route refuses it.
        if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
            return std::nullopt;
    } catch (const UseGeneralRoute&) {
        return std::nullopt;
    }
    return result;
}

}  // namespace

static_assert(SettingsDocument::kParsePadding >= simdjson::SIMDJSON_PADDING);

std::optional<SettingsDocument> SettingsDocument::parse(std::string_view text) {
    if (text.size() > kMaxBytes)
        return std::nullopt;
    const simdjson::padded_string padded(text);
    if (auto document = parseKnownValues(padded))
        return document;
    return parseGeneral(text);
}

std::optional<SettingsDocument> SettingsDocument::parseInPlace(const std::string& text) {
    if (text.capacity() - text.size() < kParsePadding)
        return parse(text);
    if (text.size() > kMaxBytes)
        return std::nullopt;
    if (auto document = parseKnownValues(simdjson::padded_string_view(text)))
        return document;
    return parseGeneral(text);
}

std::optional<SettingsDocument> SettingsDocument::parseGeneral(std::string_view text) {
    if (text.size() > kMaxBytes || !nestingWithin(text, kMaxDepth))
        return std::nullopt;
    const json document = json::parse(text, nullptr, /*allow_exceptions=*/false);
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
