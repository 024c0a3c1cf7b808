// Reads the eleven catalog files in their fixed order into one catalog: each
// pack id keeps the position of its first appearance, later versions replace
// or merge into it according to their file's flag.
#include <algorithm>
#include <exception>
#include <iterator>
#include <new>
#include <unordered_map>
#include <utility>

#include "catalog/CatalogDecoder.h"
#include "catalog/CatalogLoading.h"
#include "catalog/SearchScoring.h"

namespace corvanta::detail {

LoadedCatalog loadCatalog(const platform::Bundle& bundle) {
    LoadedCatalog catalog;
    std::unordered_map<std::string, std::size_t> position;
    CatalogDecoder decoder;

    std::array<std::optional<std::filesystem::path>, kCatalogResources.size()> urls;
    std::uintmax_t largest = 0;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        urls[i] = bundle.url(kCatalogResources[i].name, "json", kCatalogSubdirectory);
        if (!urls[i])
            continue;
        // A file over the limit is refused when it is read; sizing the
        // buffers for it would try to allocate all of it.
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(*urls[i], error);
        if (!error && size <= kMaxCatalogFileBytes)
            largest = std::max(largest, size);
    }
    try {
        decoder.reserve(static_cast<std::size_t>(largest));
    } catch (const std::bad_alloc&) {
        // Each file then sizes the buffers for itself, and fails alone.
    }

    for (std::size_t i = 0; i < urls.size(); ++i) {
        const CatalogResource& resource = kCatalogResources[i];
        const std::string name(resource.name);
        const std::optional<std::filesystem::path>& url = urls[i];
        if (!url) {
            catalog.warnings.push_back(name + ".json is missing from the app bundle.");
            continue;
        }
        // Each pack is validated as soon as it is read, while it is still in
        // the cache; its warnings count only when the whole file is read.
        std::vector<std::string> fileWarnings;
        const auto validate = [&](SoftwarePack pack) {
            return sanitized(std::move(pack), resource.name, fileWarnings);
        };
        CatalogDecodeResult decoded;
        try {
            decoded = decoder.decodeFile(*url, validate);
        } catch (const std::exception& failure) {
            // Out of memory for one file's buffers is that file's problem; the
            // others may still load.
            decoded.error = failure.what();
        }
        if (!decoded.ok()) {
            catalog.warnings.push_back(name + ".json could not be loaded: " + decoded.error);
            continue;
        }
        catalog.warnings.insert(catalog.warnings.end(),
                                std::make_move_iterator(fileWarnings.begin()),
                                std::make_move_iterator(fileWarnings.end()));
        for (SoftwarePack& pack : decoded.library->software) {
            const auto [at, isNew] = position.try_emplace(pack.id, catalog.software.size());
            if (isNew) {
                catalog.software.push_back(std::move(pack));
            } else if (resource.replaces) {
                catalog.software[at->second] = std::move(pack);
            } else {
                catalog.software[at->second] =
                    merge(std::move(catalog.software[at->second]), std::move(pack));
            }
        }
    }
    catalog.groupedSoftware = groupSoftware(catalog.software);
    catalog.searchDocuments = buildSearchDocuments(catalog.software);
    return catalog;
}

std::vector<SoftwareGroupSection> groupSoftware(const std::vector<SoftwarePack>& packs) {
    std::vector<std::vector<const SoftwarePack*>> byGroup(allCases<SoftwareGroup>().size());
    for (const auto& pack : packs) byGroup[static_cast<std::size_t>(pack.group())].push_back(&pack);
    std::vector<SoftwareGroupSection> sections;
    for (const SoftwareGroup group : allCases<SoftwareGroup>()) {
        const auto& members = byGroup[static_cast<std::size_t>(group)];
        if (members.empty())
            continue;
        sections.push_back({group, members});
    }
    return sections;
}

const std::unordered_map<std::string, std::string>& fallbackSoftwareIDByBundleIdentifier() {
    static const std::unordered_map<std::string, std::string> table{
        {"com.figma.desktop", "figma"},
        {"com.adobe.photoshop", "photoshop"},
        {"com.adobe.illustrator", "illustrator"},
        {"com.adobe.aftereffects.application", "aftereffects"},
        {"com.adobe.premierepro", "premiere"},
        {"org.blenderfoundation.blender", "blender"},
        {"com.microsoft.word", "word"},
        {"com.microsoft.excel", "excel"},
        {"com.microsoft.powerpoint", "powerpoint"},
        {"com.microsoft.outlook", "outlook"},
        {"com.microsoft.onenote.mac", "onenote"},
        {"com.autodesk.autocad", "autocad"},
        {"com.mcneel.rhinoceros", "rhino"},
        {"com.autodesk.fusion360", "fusion360"},
        {"com.autodesk.mas.fusion360", "fusion360"},
        {"org.freecad.freecad", "freecad"},
        {"org.freecadweb.freecad", "freecad"},
        {"com.shapr3d.shapr", "shapr3d"},
        {"com.shapr3d.shapr3d", "shapr3d"},
        {"net.maxon.cinema4d", "cinema4d"},
        {"com.comsol.multiphysics", "comsol"},
        {"com.mathworks.matlab", "matlab"},
        {"com.microsoft.vscode", "vscode"},
        {"com.apple.dt.xcode", "xcode"},
        {"com.apple.terminal", "terminal"},
        {"com.google.android.studio", "androidstudio"},
        {"com.jetbrains.intellij", "intellij"},
        {"com.ibm.spss.statistics", "spss"},
        {"org.rstudio.rstudio", "rstudio"},
        {"com.blackmagic-design.davinciresolve", "davinci"},
        {"com.google.chrome", "chrome"},
        {"com.apple.safari", "safari"},
        {"com.apple.finder", "finder"},
        {"notion.id", "notion"},
        {"md.obsidian", "obsidian"},
    };
    return table;
}

}  // namespace corvanta::detail
