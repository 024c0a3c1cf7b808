// Catalog file decoding over simdjson's DOM: the whole document is validated
// by the parser, then walked once; unknown keys are skipped at every level.
#include "catalog/CatalogDecoder.h"

#include <simdjson.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/foundation/GuardedFile.h"

namespace corvanta {
namespace {

namespace dom = simdjson::dom;

// A place in the document, rendered only when something fails there.
struct Place {
    const Place* parent = nullptr;
    std::string_view key;  // field name, or the list name for an element
    long index = -1;       // element index, or -1 for a field

    std::string path() const {
        std::string out = parent ? parent->path() : std::string();
        if (!key.empty()) {
            if (!out.empty())
                out += '.';
            out += key;
        }
        if (index >= 0) {
            out += '[';
            out += std::to_string(index);
            out += ']';
        }
        return out;
    }
    std::string text() const {
        std::string out = path();
        return out.empty() ? "top level" : out;
    }
};

struct DecodeFailure {
    std::string description;
};

[[noreturn]] void fail(const Place& place, const std::string& problem) {
    throw DecodeFailure{place.text() + ": " + problem};
}

const char* typeName(dom::element_type type) {
    switch (type) {
        case dom::element_type::ARRAY:
            return "array";
        case dom::element_type::OBJECT:
            return "object";
        case dom::element_type::INT64:
        case dom::element_type::UINT64:
        case dom::element_type::DOUBLE:
            return "number";
        case dom::element_type::STRING:
            return "string";
        case dom::element_type::BOOL:
            return "boolean";
        case dom::element_type::NULL_VALUE:
            return "null";
    }
    return "value";
}

void expectType(const dom::element& value, dom::element_type type, const Place& place) {
    if (value.type() != type) {
        fail(place,
             std::string("expected ") + typeName(type) + ", found " + typeName(value.type()));
    }
}

std::string readString(const dom::element& value, const Place& place) {
    expectType(value, dom::element_type::STRING, place);
    return std::string(value.get_string().value_unsafe());
}

std::vector<std::string> readStrings(const dom::element& value, const Place& place) {
    expectType(value, dom::element_type::ARRAY, place);
    const dom::array array = value.get_array().value_unsafe();
    std::vector<std::string> out;
    out.reserve(array.size());
    long i = 0;
    for (dom::element element : array) {
        out.push_back(readString(element, Place{place.parent, place.key, i++}));
    }
    return out;
}

// Walks the fields of one object. Each wanted key is handed to `read` once
// (the first occurrence wins); null counts as absent. Returns the bit set of
// keys seen with a non-null value.
template <std::size_t N, class Read>
unsigned readFields(const dom::element& value, const Place& place,
                    const std::array<std::string_view, N>& keys, unsigned required, Read&& read) {
    expectType(value, dom::element_type::OBJECT, place);
    unsigned seen = 0;
    unsigned seenNull = 0;
    const dom::object object = value.get_object().value_unsafe();
    for (dom::key_value_pair field : object) {
        for (std::size_t k = 0; k < N; ++k) {
            if (field.key != keys[k])
                continue;
            const unsigned bit = 1u << k;
            if ((seen | seenNull) & bit)
                break;
            if (field.value.is_null()) {
                seenNull |= bit;
            } else {
                seen |= bit;
                read(k, field.value, Place{&place, keys[k]});
            }
            break;
        }
    }
    const unsigned missing = required & ~seen;
    if (missing != 0) {
        for (std::size_t k = 0; k < N; ++k) {
            const unsigned bit = 1u << k;
            if (!(missing & bit))
                continue;
            if (seenNull & bit)
                fail(place, "required key \"" + std::string(keys[k]) + "\" is null");
            fail(place, "missing required key \"" + std::string(keys[k]) + "\"");
        }
    }
    return seen;
}

template <class Enum>
Enum readEnum(const dom::element& value, const Place& place,
              std::optional<Enum> (*fromRaw)(std::string_view), const char* what) {
    const std::string raw = readString(value, place);
    const std::optional<Enum> parsed = fromRaw(raw);
    if (!parsed)
        fail(place, "\"" + raw + "\" is not a valid " + what);
    return *parsed;
}

template <class T, class ReadOne>
std::vector<T> readList(const dom::element& value, const Place& place, ReadOne&& readOne) {
    expectType(value, dom::element_type::ARRAY, place);
    const dom::array array = value.get_array().value_unsafe();
    std::vector<T> out;
    out.reserve(array.size());
    long i = 0;
    for (dom::element element : array) {
        out.push_back(readOne(element, Place{place.parent, place.key, i++}));
    }
    return out;
}

ShortcutItem readItem(const dom::element& value, const Place& place) {
    static constexpr std::array<std::string_view, 7> kKeys{"id", "keys", "keysZh", "keysEn",
                                                           "zh", "en",   "tags"};
    ShortcutItem item;
    readFields(value, place, kKeys, 0b1110011,
               [&](std::size_t k, const dom::element& v, const Place& p) {
                   switch (k) {
                       case 0:
                           item.id = readString(v, p);
                           break;
                       case 1:
                           item.keys = readStrings(v, p);
                           break;
                       case 2:
                           item.keysZh = readStrings(v, p);
                           break;
                       case 3:
                           item.keysEn = readStrings(v, p);
                           break;
                       case 4:
                           item.zh = readString(v, p);
                           break;
                       case 5:
                           item.en = readString(v, p);
                           break;
                       case 6:
                           item.tags = readStrings(v, p);
                           break;
                   }
               });
    return item;
}

ShortcutCategory readCategory(const dom::element& value, const Place& place) {
    static constexpr std::array<std::string_view, 4> kKeys{"id", "zh", "en", "items"};
    ShortcutCategory category;
    readFields(value, place, kKeys, 0b1111,
               [&](std::size_t k, const dom::element& v, const Place& p) {
                   switch (k) {
                       case 0:
                           category.id = readString(v, p);
                           break;
                       case 1:
                           category.zh = readString(v, p);
                           break;
                       case 2:
                           category.en = readString(v, p);
                           break;
                       case 3:
                           category.items = readList<ShortcutItem>(v, p, readItem);
                           break;
                   }
               });
    return category;
}

ShortcutProvenance readProvenance(const dom::element& value, const Place& place) {
    static constexpr std::array<std::string_view, 6> kKeys{
        "sourceURL", "sourceTitle", "appVersion", "verifiedAt", "coverage", "platform"};
    ShortcutProvenance provenance;
    std::optional<std::string>* fields[] = {&provenance.sourceURL,  &provenance.sourceTitle,
                                            &provenance.appVersion, &provenance.verifiedAt,
                                            &provenance.coverage,   &provenance.platform};
    readFields(value, place, kKeys, 0, [&](std::size_t k, const dom::element& v, const Place& p) {
        *fields[k] = readString(v, p);
    });
    return provenance;
}

SoftwarePack readPack(const dom::element& value, const Place& place) {
    static constexpr std::array<std::string_view, 10> kKeys{
        "id",    "name",       "vendor",     "accent",    "glyph", "bundleIdentifiers",
        "group", "dataStatus", "categories", "provenance"};
    SoftwarePack pack;
    readFields(
        value, place, kKeys, 0b0100011111,
        [&](std::size_t k, const dom::element& v, const Place& p) {
            switch (k) {
                case 0:
                    pack.id = readString(v, p);
                    break;
                case 1:
                    pack.name = readString(v, p);
                    break;
                case 2:
                    pack.vendor = readString(v, p);
                    break;
                case 3:
                    pack.accent = readString(v, p);
                    break;
                case 4:
                    pack.glyph = readString(v, p);
                    break;
                case 5:
                    pack.bundleIdentifiers = readStrings(v, p);
                    break;
                case 6:
                    pack.declaredGroup = readEnum(v, p, softwareGroupFromRaw, "software group");
                    break;
                case 7:
                    pack.dataStatus = readEnum(v, p, softwareDataStatusFromRaw, "data status");
                    break;
                case 8:
                    pack.categories = readList<ShortcutCategory>(v, p, readCategory);
                    break;
                case 9:
                    pack.provenance = readProvenance(v, p);
                    break;
            }
        });
    return pack;
}

ShortcutLibrary readLibrary(const dom::element& root, const CatalogDecoder::PackFilter& filter) {
    static constexpr std::array<std::string_view, 1> kKeys{"software"};
    const Place top;
    ShortcutLibrary library;
    readFields(root, top, kKeys, 0b1, [&](std::size_t, const dom::element& v, const Place& p) {
        expectType(v, dom::element_type::ARRAY, p);
        const dom::array array = v.get_array().value_unsafe();
        library.software.reserve(array.size());
        long i = 0;
        for (dom::element element : array) {
            SoftwarePack pack = readPack(element, Place{p.parent, p.key, i++});
            if (!filter) {
                library.software.push_back(std::move(pack));
            } else if (std::optional<SoftwarePack> kept = filter(std::move(pack))) {
                library.software.push_back(std::move(*kept));
            }
        }
    });
    return library;
}

// Whether `token` is one JSON number, by the grammar alone.
bool isJsonNumber(std::string_view token) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i;
        return i > start;
    };
    if (i < token.size() && token[i] == '-')
        ++i;
    if (i < token.size() && token[i] == '0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < token.size() && token[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == token.size();
}

// The parser refuses numbers beyond a double or a 64-bit integer, which are
// still JSON. No catalog field is a number, so every well-formed number can
// stand as 0 without changing what is read or which type errors are found;
// malformed ones are left for the parser to report.
std::string withSmallNumbers(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const char c = bytes[i];
        if (c == '"') {
            const std::size_t start = i++;
            while (i < bytes.size() && bytes[i] != '"') i += bytes[i] == '\\' ? 2 : 1;
            i = std::min(i + 1, bytes.size());
            out.append(bytes.substr(start, i - start));
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const std::size_t start = i;
            while (i < bytes.size() &&
                   std::string_view("0123456789+-.eE").find(bytes[i]) != std::string_view::npos) {
                ++i;
            }
            const std::string_view token = bytes.substr(start, i - start);
            if (isJsonNumber(token)) {
                out += '0';
            } else {
                out.append(token);
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Editors may save a byte order mark; it is not part of the document.
std::size_t byteOrderMarkLength(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

}  // namespace

struct CatalogDecoder::Impl {
    dom::parser parser;
    // The largest file so far plus the parser's padding; left uninitialised,
    // as every file is read over it.
    std::unique_ptr<char[]> fileBuffer;
    std::size_t fileBufferSize = 0;

    // `padded` bytes are followed by the parser's padding and are read in place.
    CatalogDecodeResult decode(std::string_view bytes, bool padded, const PackFilter& filter) {
        bytes.remove_prefix(byteOrderMarkLength(bytes));
        dom::element root;
        auto error = parser.parse(bytes.data(), bytes.size(), !padded).get(root);
        std::string rewritten;
        if (error == simdjson::NUMBER_ERROR) {
            rewritten = withSmallNumbers(bytes);
            error = parser.parse(rewritten.data(), rewritten.size(), true).get(root);
        }
        if (error)
            return {std::nullopt, std::string("invalid JSON: ") + simdjson::error_message(error)};
        try {
            return {readLibrary(root, filter), {}};
        } catch (const DecodeFailure& failure) {
            return {std::nullopt, failure.description};
        }
    }
};

CatalogDecoder::CatalogDecoder() : impl_(std::make_unique<Impl>()) {}
CatalogDecoder::~CatalogDecoder() = default;

CatalogDecodeResult CatalogDecoder::decode(std::string_view json, const PackFilter& filter) {
    return impl_->decode(json, false, filter);
}

void CatalogDecoder::reserve(std::size_t documentSize) {
    const std::size_t bufferSize = documentSize + simdjson::SIMDJSON_PADDING;
    if (impl_->fileBufferSize < bufferSize) {
        impl_->fileBuffer.reset();
        impl_->fileBufferSize = 0;
        impl_->fileBuffer = std::make_unique_for_overwrite<char[]>(bufferSize);
        impl_->fileBufferSize = bufferSize;
    }
    if (impl_->parser.capacity() < documentSize) {
        // A failed allocation is retried, and reported, by the parse itself.
        const simdjson::error_code ignored = impl_->parser.allocate(documentSize);
        static_cast<void>(ignored);
    }
}

CatalogDecodeResult CatalogDecoder::decodeFile(const std::filesystem::path& path,
                                               const PackFilter& filter) {
    const auto readFailure = [](const std::string& why) {
        return CatalogDecodeResult{std::nullopt, "the file could not be read: " + why};
    };
    platform::GuardedFile file = platform::GuardedFile::open(path, kMaxCatalogFileBytes);
    if (!file.isOpen())
        return readFailure(file.errorDescription());
    // The parser reads the file in place from a buffer that is reused for
    // every file; a fresh large buffer per file would cost a mapping each.
    const auto size = static_cast<std::size_t>(file.size());
    reserve(size);
    // The buffer's padding has room for the one byte more that tells a file
    // grown since it was opened.
    char* bytes = impl_->fileBuffer.get();
    const std::optional<std::size_t> read = file.readInto(bytes, size + 1);
    if (!read)
        return readFailure(file.errorDescription());
    if (*read != size)
        return readFailure("the file changed while being read");
    // The parser may look at the padding; it holds no stale bytes then.
    std::memset(bytes + size, 0, simdjson::SIMDJSON_PADDING);
    return impl_->decode(std::string_view(bytes, size), true, filter);
}

}  // namespace corvanta
