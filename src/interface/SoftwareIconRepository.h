// Finds and keeps the icons that stand for a pack: image files shipped in the
// bundle's "SoftwareIcons" folder, and the icons of installed applications.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "platform/foundation/Bundle.h"

namespace corvanta {

struct SoftwarePack;

// How a bundled icon sits in its tile.
struct SoftwareIconPresentation {
    double insetRatio = 0.06;  // padding on each side, as a fraction of the tile size
    std::optional<std::string> backgroundHex;  // absent: the theme's raised surface
    bool operator==(const SoftwareIconPresentation&) const = default;
};

// Look-ups are asked for on the main thread and answered from memory; what
// needs the disk runs on workers (the desktop entries, read ahead, and each
// icon, found and drawn within a time budget). Drawing waits for none of it
// beyond a short hand-over: a tile shows its stand-in until its icon is in.
// Each pack is searched at most once per kind: hits are kept as images and
// misses (an icon past its budget among them) are remembered, so redrawing a
// tile never touches the disk again.
class SoftwareIconRepository {
public:
    // The bundle whose "SoftwareIcons" folder holds the shipped icons; set once
    // at start-up. Without one no bundled icon is found (and no miss recorded).
    static void setBundle(platform::Bundle bundle);
    // Starts reading the desktop entries on a worker thread. Until they are
    // in, installed-icon look-ups answer "none" without remembering a miss,
    // so the first frame never waits for a large applications folder; once
    // they are in, and whenever icons looked up in the background arrive,
    // `whenRead` runs on the main thread if a look-up was turned away, to draw
    // the logos again. Quitting or a reset stops the read.
    static void preloadDesktopEntries(std::function<void()> whenRead = {});

    // Pack id to the application identifiers tried, in order, for packs whose
    // catalog entry lists none.
    static const std::map<std::string, std::vector<std::string>>& bundleIdentifiers();
    // Pack id to how its bundled icon sits in the tile.
    static const std::map<std::string, SoftwareIconPresentation>& bundledPresentations();

    // The icon file shipped for the pack (svg, png, jpg, jpeg or ico), at most
    // 256 pixels on its longer side. Nothing while it is still being read.
    static std::optional<QImage> bundledIcon(const SoftwarePack& software);
    // The icon of the installed application whose desktop entry (file id or
    // window class) matches one of the pack's identifiers. Nothing while it is
    // still being looked up.
    static std::optional<QImage> installedIcon(const SoftwarePack& software);
    // Waits up to `timeout` until the icon look-ups under way are answered
    // and takes their answers in; false on time-out. Drawing never calls it.
    static bool waitForLookups(std::chrono::milliseconds timeout);

    // Forgets every cached icon and miss and the desktop entries read, so the
    // next look-up reads the bundle and the XDG data folders afresh.
    static void resetCaches();

private:
    static void entriesArrived();
    static void stopReading();
};

}  // namespace corvanta
