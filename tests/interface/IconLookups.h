// Helpers for tests of pack icons: waiting for a look-up's answer, and icon
// files that take long to draw.
#pragma once

#include <chrono>
#include <optional>
#include <random>
#include <string>

#include <QImage>

#include "catalog/SoftwarePack.h"
#include "interface/SoftwareIconRepository.h"

namespace corvanta::testing_icons {

// A look-up's answer once the icon workers are done with it.
using LookUp = std::optional<QImage> (*)(const SoftwarePack&);
inline std::optional<QImage> answered(LookUp lookUp, const SoftwarePack& software) {
    if (auto found = lookUp(software))
        return found;
    SoftwareIconRepository::waitForLookups(std::chrono::seconds(10));
    return lookUp(software);
}

// An SVG of one filled and stroked path of `segments` segments between random
// points: every segment crosses many others, which makes it slow to draw
// (seconds at 20,000) though the file is small.
inline std::string costlySvg(int segments) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 255);
    std::string path = "M128 128";
    for (int i = 0; i < segments; ++i)
        path += 'L' + std::to_string(coordinate(random)) + ' ' + std::to_string(coordinate(random));
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\">"
           "<path fill=\"#3366FF\" stroke=\"#000\" stroke-width=\"0.5\" d=\"" +
           path + "Z\"/></svg>";
}

}  // namespace corvanta::testing_icons
