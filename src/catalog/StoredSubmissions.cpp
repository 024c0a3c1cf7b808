// Feedback reports and software requests: their JSON form and the two store
// operations that append to the stored lists.
#include "catalog/StoredSubmissions.h"

#include <nlohmann/json.hpp>

#include "catalog/SettingsKeys.h"
#include "catalog/ShortcutStore.h"
#include "platform/foundation/Text.h"

namespace corvanta::detail {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

struct Unreadable {};

const Json& field(const Json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end())
        throw Unreadable{};
    return *it;
}

std::string text(const Json& object, const char* key) {
    const Json& value = field(object, key);
    if (!value.is_string())
        throw Unreadable{};
    return value.get<std::string>();
}

platform::Uuid uuid(const Json& object) {
    const auto parsed = platform::Uuid::fromString(text(object, "id"));
    if (!parsed)
        throw Unreadable{};
    return *parsed;
}

platform::Date date(const Json& object) {
    const Json& value = field(object, "submittedAt");
    if (!value.is_number())
        throw Unreadable{};
    return platform::Date{value.get<double>()};
}

template <class Record, class Read>
std::optional<std::vector<Record>> decodeList(const platform::Data& data, Read&& read) {
    const Json document = Json::parse(data.begin(), data.end(), nullptr, false);
    if (document.is_discarded() || !document.is_array())
        return std::nullopt;
    std::vector<Record> records;
    records.reserve(document.size());
    try {
        for (const Json& element : document) {
            if (!element.is_object())
                return std::nullopt;
            records.push_back(read(element));
        }
    } catch (const Unreadable&) {
        return std::nullopt;
    } catch (const Json::exception&) {
        return std::nullopt;
    }
    return records;
}

template <class Record, class Write>
std::optional<platform::Data> encodeList(const std::vector<Record>& records, Write&& write) {
    OrderedJson document = OrderedJson::array();
    for (const Record& record : records) document.push_back(write(record));
    try {
        const std::string bytes = document.dump();
        return platform::Data(bytes.begin(), bytes.end());
    } catch (const OrderedJson::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::vector<StoredFeedbackReport>> decodeFeedbackReports(const platform::Data& data) {
    return decodeList<StoredFeedbackReport>(data, [](const Json& o) {
        return StoredFeedbackReport{uuid(o),
                                    text(o, "message"),
                                    text(o, "contact"),
                                    text(o, "softwareID"),
                                    text(o, "language"),
                                    date(o)};
    });
}

std::optional<std::vector<StoredSoftwareRequest>> decodeSoftwareRequests(
    const platform::Data& data) {
    return decodeList<StoredSoftwareRequest>(data, [](const Json& o) {
        return StoredSoftwareRequest{uuid(o), text(o, "group"), text(o, "softwareName"),
                                     text(o, "contact"), date(o)};
    });
}

std::optional<platform::Data> encode(const std::vector<StoredFeedbackReport>& reports) {
    return encodeList(reports, [](const StoredFeedbackReport& r) {
        OrderedJson o;
        o["id"] = r.id.uuidString();
        o["message"] = r.message;
        o["contact"] = r.contact;
        o["softwareID"] = r.softwareID;
        o["language"] = r.language;
        o["submittedAt"] = r.submittedAt.timeIntervalSinceReferenceDate;
        return o;
    });
}

std::optional<platform::Data> encode(const std::vector<StoredSoftwareRequest>& requests) {
    return encodeList(requests, [](const StoredSoftwareRequest& r) {
        OrderedJson o;
        o["id"] = r.id.uuidString();
        o["group"] = r.group;
        o["softwareName"] = r.softwareName;
        o["contact"] = r.contact;
        o["submittedAt"] = r.submittedAt.timeIntervalSinceReferenceDate;
        return o;
    });
}

namespace {

// Reads the stored list, appends the record, keeps the newest records and
// writes the list back. Bytes that cannot be read as a list are first copied
// under `unreadableKey` (unless something is kept there already), so that the
// rewrite does not destroy them. True once the new list is durable.
template <class Record, class Decode>
bool appendStored(platform::UserDefaults& defaults, std::string_view key,
                  std::string_view unreadableKey, Record record, Decode&& decode) {
    const std::optional<platform::DefaultsValue> previous = defaults.object(key);
    std::vector<Record> records;
    std::optional<platform::Data> unreadable;
    if (auto data = defaults.data(key)) {
        if (auto decoded = decode(*data)) {
            records = std::move(*decoded);
        } else {
            unreadable = std::move(*data);
        }
    }
    records.push_back(std::move(record));
    if (records.size() > kStoredSubmissionLimit) {
        records.erase(
            records.begin(),
            records.begin() + static_cast<std::ptrdiff_t>(records.size() - kStoredSubmissionLimit));
    }
    const std::optional<platform::Data> bytes = encode(records);
    if (!bytes)
        return false;
    const bool keepsUnreadable = unreadable && !defaults.data(unreadableKey);
    if (keepsUnreadable)
        defaults.setData(unreadableKey, std::move(*unreadable));
    defaults.setData(key, *bytes);
    // Reported as stored only once it is on disk. A record the disk refused
    // is taken back out, so that submitting again does not store it twice;
    // so is the copy of unreadable bytes, which is still under `key` and
    // would otherwise double their weight in every later write (a settings
    // file refused for its size would stay refused).
    if (!defaults.synchronize()) {
        if (previous)
            defaults.set(key, *previous);
        else
            defaults.removeObject(key);
        if (keepsUnreadable)
            defaults.removeObject(unreadableKey);
        return false;
    }
    return true;
}

}  // namespace
}  // namespace corvanta::detail

namespace corvanta {

bool ShortcutStore::submitFeedback(std::string_view message, std::string_view contact) {
    std::string trimmedMessage = text::trimmed(message);
    if (trimmedMessage.empty())
        return false;
    detail::StoredFeedbackReport report{platform::Uuid::random(),
                                        std::move(trimmedMessage),
                                        text::trimmed(contact),
                                        selectedSoftwareID.get(),
                                        language.get() == AppLanguage::en ? "en" : "zh",
                                        platform::Date::now()};
    return detail::appendStored(defaults_, keys::kFeedbackReports, keys::kUnreadableFeedbackReports,
                                std::move(report), detail::decodeFeedbackReports);
}

bool ShortcutStore::submitSoftwareRequest(std::string_view name, std::string_view contact,
                                          SoftwareGroup group) {
    std::string trimmedName = text::trimmed(name);
    if (trimmedName.empty())
        return false;
    detail::StoredSoftwareRequest request{platform::Uuid::random(), std::string(rawValue(group)),
                                          std::move(trimmedName), text::trimmed(contact),
                                          platform::Date::now()};
    return detail::appendStored(defaults_, keys::kSoftwareRequests,
                                keys::kUnreadableSoftwareRequests, std::move(request),
                                detail::decodeSoftwareRequests);
}

}  // namespace corvanta
