// A generated catalog bundle of realistic shape for the benchmarks: bilingual
// titles, symbol keys, tags, packs spread over the eleven files with overlaps.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvanta::bench {

struct SyntheticCatalog {
    std::filesystem::path root;  // the bundle's resource folder
    std::string largestPackID;
    std::vector<std::string> texts;  // every catalog text, for normalisation runs
};

// Writes `packs` packs of about `shortcutsPerPack` shortcuts under `root`.
SyntheticCatalog writeSyntheticCatalog(const std::filesystem::path& root, int packs,
                                       int shortcutsPerPack);

// Writes the catalog files of `shippedResources` under `root` with every pack
// repeated `times` times. Copies get their own ids and names, so merging,
// grouping and matching work as shipped, and no application identifiers, which
// stay with the originals.
void writeRepeatedCatalog(const std::filesystem::path& root,
                          const std::filesystem::path& shippedResources, int times);

}  // namespace corvanta::bench
