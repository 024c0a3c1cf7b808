// Pack icons from the bundle and from installed applications; see
// SoftwareIconRepository.h.
#include "interface/SoftwareIconRepository.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <initializer_list>
#include <set>
#include <stop_token>
#include <string_view>
#include <thread>
#include <unordered_map>

#include <QAbstractEventDispatcher>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QStringTokenizer>
#include <QSvgRenderer>

#include "catalog/SoftwarePack.h"
#include "interface/IconFiles.h"
#include "interface/IconLoader.h"
#include "platform/foundation/GuardedFile.h"

namespace corvanta {
namespace {

// Desktop entries are a few kilobytes.
constexpr std::uintmax_t kMaxDesktopFileBytes = 256 * 1024;
// An icon value longer than a path can be names no file; it is not kept.
constexpr qsizetype kMaxIconValueLength = 4096;
// A look-up is given this long on its worker; past it, the tile keeps its
// stand-in for good.
constexpr std::chrono::milliseconds kLookupBudget{1500};
// Drawing may wait this long in all, between two idle moments of the event
// loop, for icons it has just started looking up, so that cheap ones are
// drawn in the very frame that asked for them.
constexpr std::chrono::milliseconds kHandOverAllowance{25};

constexpr std::array<std::string_view, 5> kBundledExtensions{"svg", "png", "jpg", "jpeg", "ico"};

struct DesktopIndex {
    // Lower-cased desktop file id (file name without ".desktop", sub-folders
    // joined by "-") and lower-cased window class, to the entry's Icon value.
    std::unordered_map<std::string, QString> byFileId;
    std::unordered_map<std::string, QString> byWindowClass;
};

// The icons of one kind: kept hits, remembered misses, look-ups under way.
struct IconKind {
    explicit IconKind(const char* prefix) : keyPrefix(prefix) {}
    const char* keyPrefix;
    std::map<std::string, QImage> cached;
    std::set<std::string> missing;
    std::set<std::string> underWay;
    std::string key(const std::string& id) const { return keyPrefix + id; }
    void clear() {
        cached.clear();
        missing.clear();
        underWay.clear();
    }
};

struct State {
    std::optional<platform::Bundle> bundle;
    IconKind bundled{"bundled:"};
    IconKind installed{"installed:"};
    std::unique_ptr<IconLoader> loader;
    std::chrono::steady_clock::duration waitedSinceIdle{};
    std::optional<DesktopIndex> desktopEntries;
    std::future<DesktopIndex> desktopEntriesAhead;
    // Runs when entries read ahead arrive, if a look-up was turned away
    // while they were read.
    std::function<void()> whenRead;
    bool lookupTurnedAway = false;
    // Declared last so it goes first: stopping it at exit or on a reset ends
    // the read after the file in hand instead of waiting for the whole scan.
    std::jthread reader;
};

State& state() {
    static State shared;
    return shared;
}

// Pack ids come from catalog files; one that could name another folder is
// never used as a file name.
bool isSafeFileName(std::string_view id) {
    return !id.empty() && id.find('/') == std::string_view::npos &&
           id.find('\0') == std::string_view::npos && id.find("..") == std::string_view::npos;
}

std::string lowered(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size())).toLower().toStdString();
}

struct DesktopEntry {
    QString icon;
    QString windowClass;
    bool hidden = false;
};

DesktopEntry readDesktopEntry(const QString& path) {
    DesktopEntry entry;
    const platform::FileContents contents =
        platform::readRegularFile(path.toStdString(), kMaxDesktopFileBytes);
    if (!contents.ok())
        return entry;
    bool inMainGroup = false;
    const QString text = QString::fromUtf8(*contents.bytes);
    for (QStringView raw : QStringTokenizer(text, QLatin1Char('\n'))) {
        const QStringView line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QStringView key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed().toString();
        if (key == QStringLiteral("Icon"))
            entry.icon = value.size() <= kMaxIconValueLength ? value : QString();
        else if (key == QStringLiteral("StartupWMClass"))
            entry.windowClass = value;
        else if (key == QStringLiteral("Hidden"))
            entry.hidden = value == QStringLiteral("true");
    }
    return entry;
}

// Reads every desktop entry once. Earlier folders override later ones for the
// same file id, as the XDG rules say; a hidden entry deletes its id. A stop
// request ends the read early with what was read so far.
DesktopIndex readDesktopEntries(std::stop_token stop = {}) {
    DesktopIndex index;
    std::set<std::string> seenIds;
    for (const QString& data : dataDirectories()) {
        const QString root = data + QStringLiteral("/applications");
        QDirIterator files(root, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            if (stop.stop_requested())
                return index;
            const QString path = files.next();
            QString id = QDir(root).relativeFilePath(path);
            id.chop(int(sizeof(".desktop") - 1));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            const std::string key = id.toLower().toStdString();
            if (!seenIds.insert(key).second)
                continue;
            const DesktopEntry entry = readDesktopEntry(path);
            if (entry.hidden || entry.icon.isEmpty())
                continue;
            index.byFileId.emplace(key, entry.icon);
            if (!entry.windowClass.isEmpty())
                index.byWindowClass.emplace(entry.windowClass.toLower().toStdString(), entry.icon);
        }
    }
    return index;
}

// An entry's Icon is an absolute path or a name in the icon theme. A name that
// could climb out of the theme's folders is neither.
QImage resolveIcon(const QString& icon, const IconThemeSearch& where,
                   const IconLoader::FileReader& read) {
    if (QDir::isAbsolutePath(icon))
        return read(icon);
    const std::string name = icon.toStdString();
    if (!isSafeFileName(name))
        return {};
    return readThemeIcon(icon, where, read);
}

std::optional<QImage> remember(IconKind& kind, const std::string& id, QImage image) {
    kind.underWay.erase(id);
    if (image.isNull()) {
        kind.missing.insert(id);
        return std::nullopt;
    }
    kind.cached.emplace(id, image);
    return image;
}

struct PresentationGroup {
    double insetRatio;
    std::initializer_list<const char*> ids;
};

void iconsArrived();

IconLoader& loader() {
    State& shared = state();
    if (!shared.loader) {
        shared.loader = std::make_unique<IconLoader>(kLookupBudget, [] { iconsArrived(); });
        // What waiting drawing may do is counted from the event loop's last
        // idle moment; quitting abandons look-ups still under way.
        static bool hooked = false;
        if (QCoreApplication* application = QCoreApplication::instance(); application && !hooked) {
            hooked = true;
            if (auto* events = QAbstractEventDispatcher::instance(application->thread())) {
                QObject::connect(events, &QAbstractEventDispatcher::aboutToBlock,
                                 [] { state().waitedSinceIdle = {}; });
            }
            QObject::connect(application, &QCoreApplication::aboutToQuit, [] {
                if (state().loader)
                    state().loader->stop();
            });
            // The loader posts to the application's thread; it must be gone
            // before the application is.
            qAddPostRoutine([] { state().loader.reset(); });
        }
    }
    return *shared.loader;
}

// The answer for a look-up under way, if in. Only the frame that started it
// waits for it, and only what is left of the allowance.
std::optional<QImage> handOver(IconKind& kind, const std::string& id, bool justStarted) {
    State& shared = state();
    auto wait = std::chrono::milliseconds(0);
    if (justStarted) {
        wait = std::max(wait, std::chrono::duration_cast<std::chrono::milliseconds>(
                                  kHandOverAllowance - shared.waitedSinceIdle));
    }
    const auto started = std::chrono::steady_clock::now();
    const std::optional<QImage> answer = loader().take(kind.key(id), wait);
    shared.waitedSinceIdle += std::chrono::steady_clock::now() - started;
    if (!answer) {
        // The tile shows its stand-in now and is drawn again once the
        // answer is in.
        shared.lookupTurnedAway = true;
        return std::nullopt;
    }
    return remember(kind, id, *answer);
}

void iconsArrived() {
    State& shared = state();
    if (!shared.loader)
        return;
    bool arrived = false;
    for (IconKind* kind : {&shared.bundled, &shared.installed}) {
        const std::set<std::string> underWay = kind->underWay;
        for (const std::string& id : underWay) {
            if (std::optional<QImage> answer = shared.loader->take(kind->key(id))) {
                remember(*kind, id, std::move(*answer));
                arrived = true;
            }
        }
    }
    if (arrived && shared.lookupTurnedAway) {
        shared.lookupTurnedAway = false;
        if (shared.whenRead)
            shared.whenRead();
    }
}

}  // namespace

void SoftwareIconRepository::setBundle(platform::Bundle bundle) {
    state().bundle = std::move(bundle);
}

void SoftwareIconRepository::preloadDesktopEntries(std::function<void()> whenRead) {
    State& shared = state();
    if (shared.desktopEntries || shared.desktopEntriesAhead.valid())
        return;
    std::promise<DesktopIndex> promise;
    shared.desktopEntriesAhead = promise.get_future();
    shared.whenRead = std::move(whenRead);
    shared.lookupTurnedAway = false;
    // The arrival is announced on the main thread, where every look-up runs.
    // The read is stopped when the application quits, before the object it
    // posts to is gone; a stopped read posts nothing.
    QCoreApplication* mainThread = QCoreApplication::instance();
    static bool stopsAtQuit = false;
    if (mainThread && !stopsAtQuit) {
        stopsAtQuit = true;
        QObject::connect(mainThread, &QCoreApplication::aboutToQuit, [] { stopReading(); });
    }
    shared.reader =
        std::jthread([promise = std::move(promise), mainThread](std::stop_token stop) mutable {
            promise.set_value(readDesktopEntries(stop));
            if (mainThread && !stop.stop_requested()) {
                QMetaObject::invokeMethod(
                    mainThread, [] { entriesArrived(); }, Qt::QueuedConnection);
            }
        });
}

void SoftwareIconRepository::stopReading() {
    State& shared = state();
    if (shared.reader.joinable()) {
        shared.reader.request_stop();
        shared.reader.join();
    }
}

void SoftwareIconRepository::entriesArrived() {
    State& shared = state();
    if (!shared.lookupTurnedAway)
        return;
    shared.lookupTurnedAway = false;
    if (shared.whenRead)
        shared.whenRead();
}

const std::map<std::string, std::vector<std::string>>& SoftwareIconRepository::bundleIdentifiers() {
    static const std::map<std::string, std::vector<std::string>> table{
        {"figma", {"com.figma.Desktop"}},
        {"photoshop", {"com.adobe.Photoshop"}},
        {"illustrator", {"com.adobe.illustrator"}},
        {"affinitydesigner", {"com.seriflabs.affinitydesigner2", "com.seriflabs.affinitydesigner"}},
        {"affinityphoto", {"com.seriflabs.affinityphoto2", "com.seriflabs.affinityphoto"}},
        {"affinitypublisher",
         {"com.seriflabs.affinitypublisher2", "com.seriflabs.affinitypublisher"}},
        {"aftereffects", {"com.adobe.AfterEffects.application"}},
        {"premiere", {"com.adobe.PremierePro"}},
        {"blender", {"org.blenderfoundation.blender"}},
        {"word", {"com.microsoft.Word"}},
        {"excel", {"com.microsoft.Excel"}},
        {"powerpoint", {"com.microsoft.Powerpoint"}},
        {"outlook", {"com.microsoft.Outlook"}},
        {"onenote", {"com.microsoft.onenote.mac"}},
        {"autocad", {"com.autodesk.AutoCAD"}},
        {"rhino", {"com.mcneel.rhinoceros"}},
        {"fusion360", {"com.autodesk.fusion360", "com.autodesk.mas.fusion360"}},
        {"freecad", {"org.freecad.FreeCAD", "org.freecadweb.FreeCAD"}},
        {"shapr3d", {"com.shapr3d.shapr", "com.shapr3d.Shapr3D"}},
        {"cinema4d", {"net.maxon.cinema4d"}},
        {"comsol", {"com.comsol.multiphysics"}},
        {"matlab", {"com.mathworks.matlab"}},
        {"vscode", {"com.microsoft.VSCode"}},
        {"xcode", {"com.apple.dt.Xcode"}},
        {"terminal", {"com.apple.Terminal"}},
        {"androidstudio", {"com.google.android.studio"}},
        {"intellij", {"com.jetbrains.intellij"}},
        {"spss", {"com.ibm.spss.Statistics"}},
        {"rstudio", {"org.rstudio.RStudio"}},
        {"davinci", {"com.blackmagic-design.DaVinciResolve"}},
        {"chrome", {"com.google.Chrome"}},
        {"safari", {"com.apple.Safari"}},
        {"finder", {"com.apple.finder"}},
        {"notion", {"notion.id"}},
        {"obsidian", {"md.obsidian"}},
    };
    return table;
}

const std::map<std::string, SoftwareIconPresentation>&
SoftwareIconRepository::bundledPresentations() {
    static const std::map<std::string, SoftwareIconPresentation> table = [] {
        const PresentationGroup groups[] = {
            {0.04, {"goodnotes",    "pdfexpert",    "texstudio", "ulysses",
                    "chatgpt",      "handbrake",    "intellij",  "datagrip",
                    "goland",       "pycharm",      "clion",     "webstorm",
                    "blender",      "vlc",          "photoshop", "illustrator",
                    "aftereffects", "premiere",     "indesign",  "lightroom",
                    "adobefirefly", "adobeacrobat", "adobexd",   "substancepainter",
                    "kicad",        "paraview"}},
            {0.05, {"hoppscotch", "imagej"}},
            {0.06,
             {"outlook", "calibre", "chemdraw", "overleaf", "spss", "mindnode", "xmind", "godot",
              "audacity", "drawio"}},
            {0.07, {"rstudio", "anki", "pymol", "qgis", "dbeaver", "zotero"}},
            {0.08,
             {"onenote", "autocad", "pages", "numbers", "keynote", "googledocs", "googlesheets",
              "googleslides", "endnote", "evernote", "mendeley", "scrivener", "vscode", "gitlab"}},
            {0.09, {"obsidian", "onepassword", "raycast", "deepl"}},
            {0.1, {"obsstudio", "postman", "insomnia", "todoist"}},
            {0.12, {"word", "excel", "powerpoint", "dockerdesktop", "redisinsight"}},
            {0.13, {"supabase", "netlify"}},
            {0.14, {"jupyter", "github"}},
            {0.16, {"grammarly", "vercel"}},
            {0.17, {"linear"}},
            {0.18, {"figma"}},
        };
        // Icons drawn for a light backdrop keep a white tile in both themes.
        const std::set<std::string> whiteBackground{"zotero", "endnote",       "scrivener",
                                                    "deepl",  "dockerdesktop", "github",
                                                    "vercel", "linear"};
        std::map<std::string, SoftwareIconPresentation> result;
        for (const PresentationGroup& group : groups) {
            for (const char* id : group.ids) {
                SoftwareIconPresentation presentation{group.insetRatio, std::nullopt};
                if (whiteBackground.count(id))
                    presentation.backgroundHex = "#FFFFFF";
                result.emplace(id, presentation);
            }
        }
        return result;
    }();
    return table;
}

bool SoftwareIconRepository::waitForLookups(std::chrono::milliseconds timeout) {
    State& shared = state();
    if (!shared.loader)
        return true;
    const bool answered = shared.loader->waitUntilAnswered(timeout);
    iconsArrived();
    return answered;
}

std::optional<QImage> SoftwareIconRepository::bundledIcon(const SoftwarePack& software) {
    State& shared = state();
    IconKind& kind = shared.bundled;
    const std::string& id = software.id;
    if (auto hit = kind.cached.find(id); hit != kind.cached.end())
        return hit->second;
    if (kind.missing.count(id))
        return std::nullopt;
    if (!shared.bundle)
        return std::nullopt;
    if (!isSafeFileName(id)) {
        kind.missing.insert(id);
        return std::nullopt;
    }
    if (kind.underWay.count(id))
        return handOver(kind, id, false);
    // The first extension present decides, even when its file does not load.
    // Whether a file is there is asked here, without opening it (most packs
    // ship none); reading and drawing it is the worker's.
    std::optional<std::filesystem::path> file;
    for (std::string_view extension : kBundledExtensions) {
        if ((file = shared.bundle->url(id, extension, "SoftwareIcons")))
            break;
    }
    if (!file) {
        kind.missing.insert(id);
        return std::nullopt;
    }
    kind.underWay.insert(id);
    loader().start(kind.key(id), [path = QString::fromStdString(file->string())](
                                     const IconLoader::FileReader& read) { return read(path); });
    return handOver(kind, id, true);
}

std::optional<QImage> SoftwareIconRepository::installedIcon(const SoftwarePack& software) {
    State& shared = state();
    IconKind& kind = shared.installed;
    const std::string& id = software.id;
    if (auto hit = kind.cached.find(id); hit != kind.cached.end())
        return hit->second;
    if (kind.missing.count(id))
        return std::nullopt;
    if (kind.underWay.count(id))
        return handOver(kind, id, false);

    // A pack's own list wins even when empty: it says "no application".
    const std::vector<std::string>* candidates = nullptr;
    if (software.bundleIdentifiers) {
        candidates = &*software.bundleIdentifiers;
    } else if (auto fallback = bundleIdentifiers().find(id);
               fallback != bundleIdentifiers().end()) {
        candidates = &fallback->second;
    }
    if (!candidates || candidates->empty()) {
        kind.missing.insert(id);
        return std::nullopt;
    }

    if (!shared.desktopEntries) {
        if (!shared.desktopEntriesAhead.valid()) {
            shared.desktopEntries = readDesktopEntries();
        } else if (shared.desktopEntriesAhead.wait_for(std::chrono::seconds(0)) ==
                   std::future_status::ready) {
            shared.desktopEntries = shared.desktopEntriesAhead.get();
        } else {
            // Drawing never waits for the scan: the caller shows its stand-in
            // now, and is told to draw again once the entries are in. Nothing
            // is remembered about this pack yet.
            shared.lookupTurnedAway = true;
            return std::nullopt;
        }
    }
    // The entries are matched here; the icons they name are found and read
    // on the loader's worker, which may take long or never end.
    const DesktopIndex& index = *shared.desktopEntries;
    QStringList icons;
    for (const std::string& candidate : *candidates) {
        const std::string key = lowered(candidate);
        for (const auto* table : {&index.byFileId, &index.byWindowClass}) {
            if (const auto match = table->find(key); match != table->end())
                icons.push_back(match->second);
        }
    }
    if (icons.isEmpty()) {
        kind.missing.insert(id);
        return std::nullopt;
    }
    kind.underWay.insert(id);
    loader().start(kind.key(id),
                   [icons, where = IconThemeSearch::current()](const IconLoader::FileReader& read) {
                       for (const QString& icon : icons) {
                           if (QImage image = resolveIcon(icon, where, read); !image.isNull())
                               return image;
                       }
                       return QImage();
                   });
    return handOver(kind, id, true);
}

void SoftwareIconRepository::resetCaches() {
    State& shared = state();
    shared.bundled.clear();
    shared.installed.clear();
    // Look-ups under way are abandoned with their answers.
    shared.loader.reset();
    shared.waitedSinceIdle = {};
    // Entries still being read ahead are stopped and dropped with the rest.
    stopReading();
    shared.desktopEntriesAhead = {};
    shared.desktopEntries.reset();
    shared.whenRead = nullptr;
    shared.lookupTurnedAway = false;
}

}  // namespace corvanta
