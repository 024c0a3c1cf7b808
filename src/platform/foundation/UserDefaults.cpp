// Typed settings domains: the typed reads, an in-memory store, and the JSON file
// store that replaces its file atomically and never overwrites a file it cannot read.
#include "platform/foundation/UserDefaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

namespace corvanta::platform {
namespace {

using nlohmann::json;

template <class T>
std::optional<T> as(const std::optional<DefaultsValue>& value) {
    if (value) {
        if (const T* v = std::get_if<T>(&*value))
            return *v;
    }
    return std::nullopt;
}

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

// ---- files ------------------------------------------------------------------

std::string utcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

bool writeAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// Writes `bytes` to a temporary file beside `path`, makes it durable, and
// renames it over `path`, so readers see the old or the new file, never a part.
bool replaceFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
    std::string pattern = (path.parent_path() / ("." + path.filename().string() + ".tmp-XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = std::rename(pattern.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(pattern.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here does not undo the write.
    const int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

// ---- UserDefaults -------------------------------------------------------------

std::optional<std::string> UserDefaults::string(std::string_view key) const {
    return as<std::string>(object(key));
}

std::optional<bool> UserDefaults::boolean(std::string_view key) const {
    return as<bool>(object(key));
}

std::optional<double> UserDefaults::number(std::string_view key) const {
    const auto value = object(key);
    if (!value)
        return std::nullopt;
    if (const auto* i = std::get_if<std::int64_t>(&*value))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&*value))
        return *d;
    return std::nullopt;
}

std::optional<std::vector<std::string>> UserDefaults::stringArray(std::string_view key) const {
    return as<std::vector<std::string>>(object(key));
}

std::optional<Data> UserDefaults::data(std::string_view key) const {
    return as<Data>(object(key));
}

// ---- MemoryUserDefaults -------------------------------------------------------

std::optional<DefaultsValue> MemoryUserDefaults::object(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void MemoryUserDefaults::set(std::string_view key, DefaultsValue value) {
    values_.insert_or_assign(std::string(key), std::move(value));
}

void MemoryUserDefaults::removeObject(std::string_view key) {
    const auto it = values_.find(key);
    if (it != values_.end())
        values_.erase(it);
}

// ---- JsonFileUserDefaults -------------------------------------------------------

std::filesystem::path JsonFileUserDefaults::defaultDirectory() {
    // Relative values of XDG_CONFIG_HOME are invalid and ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
        return std::filesystem::path(xdg) / "corvanta";
    }
    std::filesystem::path home;
    if (const char* h = std::getenv("HOME"); h && *h) {
        home = h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        home = pw->pw_dir;
    }
    return home / ".config" / "corvanta";
}

JsonFileUserDefaults::JsonFileUserDefaults(std::filesystem::path directory, std::string domain)
    : directory_(std::move(directory)), path_(directory_ / (domain + ".json")) {
    load();
}

void JsonFileUserDefaults::load() {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec))
        return;

    std::string bytes;
    bool readable = false;
    {
        std::ifstream in(path_, std::ios::binary);
        if (in) {
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            readable = !in.bad();
        }
    }
    json document;
    if (readable) {
        document = json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    }
    if (!readable || document.is_discarded() || !document.is_object()) {
        unreadableInPlace_ = true;
        moveAside();
        return;
    }
    for (const auto& [key, entry] : document.items()) {
        if (auto value = decodeValue(entry)) {
            values_.insert_or_assign(key, std::move(*value));
        } else {
            preserved_.insert_or_assign(key, entry.dump());
        }
    }
}

bool JsonFileUserDefaults::moveAside() {
    const std::string base = path_.string() + ".unreadable-" + utcTimestamp();
    std::filesystem::path target = base;
    std::error_code ec;
    for (int n = 1; std::filesystem::exists(target, ec) || ec; ++n) {
        if (n > 1000)
            return false;
        target = base + "-" + std::to_string(n);
    }
    std::filesystem::rename(path_, target, ec);
    if (ec)
        return false;
    movedAside_ = target;
    unreadableInPlace_ = false;
    return true;
}

std::optional<DefaultsValue> JsonFileUserDefaults::object(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void JsonFileUserDefaults::set(std::string_view key, DefaultsValue value) {
    const auto preserved = preserved_.find(key);
    if (preserved != preserved_.end())
        preserved_.erase(preserved);
    values_.insert_or_assign(std::string(key), std::move(value));
    persistSoon();
}

void JsonFileUserDefaults::removeObject(std::string_view key) {
    const auto it = values_.find(key);
    if (it != values_.end())
        values_.erase(it);
    const auto preserved = preserved_.find(key);
    if (preserved != preserved_.end())
        preserved_.erase(preserved);
    persistSoon();
}

JsonFileUserDefaults::~JsonFileUserDefaults() {
    if (dirty_)
        persist();
}

void JsonFileUserDefaults::synchronize() {
    // Pending changes go out now; a failed write gets another attempt.
    if (dirty_ || !lastWriteOk_) {
        dirty_ = false;
        persist();
    }
}

void JsonFileUserDefaults::persistSoon() {
    if (!scheduler_) {
        persist();
        return;
    }
    dirty_ = true;
    if (flushScheduled_)
        return;
    flushScheduled_ = true;
    scheduler_([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired())
            return;
        flushScheduled_ = false;
        if (dirty_) {
            dirty_ = false;
            persist();
        }
    });
}

void JsonFileUserDefaults::persist() {
    try {
        lastWriteOk_ = writeFile();
    } catch (...) {
        lastWriteOk_ = false;
    }
}

bool JsonFileUserDefaults::writeFile() {
    if (unreadableInPlace_ && !moveAside())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(directory_, ec);
    if (ec)
        return false;

    json document = json::object();
    for (const auto& [key, text] : preserved_) {
        document[key] = json::parse(text, nullptr, /*allow_exceptions=*/false);
    }
    for (const auto& [key, value] : values_) document[key] = encodeValue(value);
    // Text that is not valid UTF-8 cannot be stored in JSON as it is; the
    // replacement character stands in rather than losing the whole write.
    std::string bytes = document.dump(2, ' ', false, json::error_handler_t::replace);
    bytes += '\n';
    return replaceFileAtomically(path_, bytes);
}

}  // namespace corvanta::platform
