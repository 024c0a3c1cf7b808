// Decodes one catalog file into a ShortcutLibrary, all or nothing. A failure
// names the place and the problem, e.g.
// `software[3].categories[0].items[2]: missing required key "tags"`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/ShortcutLibrary.h"

namespace corvanta {

struct CatalogDecodeResult {
    std::optional<ShortcutLibrary> library;
    std::string error;  // set when `library` is absent

    bool ok() const { return library.has_value(); }
};

// A catalog file is a few megabytes at most; a larger one is refused unread
// rather than read into memory whole.
inline constexpr std::uintmax_t kMaxCatalogFileBytes = 64 * 1024 * 1024;

class CatalogDecoder {
public:
    CatalogDecoder();
    ~CatalogDecoder();
    CatalogDecoder(const CatalogDecoder&) = delete;
    CatalogDecoder& operator=(const CatalogDecoder&) = delete;

    // Sees each pack as soon as it is read, while its data is still in the
    // processor's cache, and gives back what the library keeps of it (nothing
    // drops it). It also sees the packs of a document that fails later on.
    using PackFilter = std::function<std::optional<SoftwarePack>(SoftwarePack)>;

    CatalogDecodeResult decode(std::string_view json, const PackFilter& filter = {});
    // Reads the whole file first; a read failure (also a file that is not a
    // regular file or is over kMaxCatalogFileBytes) is reported like a
    // decoding one.
    CatalogDecodeResult decodeFile(const std::filesystem::path& path,
                                   const PackFilter& filter = {});
    // Sizes the buffers once for documents up to `documentSize` bytes.
    void reserve(std::size_t documentSize);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;  // keeps the parser's buffers between files
};

}  // namespace corvanta
