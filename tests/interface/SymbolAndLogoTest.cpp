// Symbol images (every name, colour, crispness at ratio 2, the substitute) and
// pack tiles (placeholder, corners, bundled and installed icons, the mark, the
// glyph, remembered misses, unsafe ids) against temporary bundles and XDG folders.
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "IconLookups.h"
#include "catalog/ShortcutStore.h"
#include "catalog/SoftwarePack.h"
#include "interface/AppLogo.h"
#include "interface/SoftwareIconRepository.h"
#include "interface/SymbolImage.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta {
namespace {

namespace fs = std::filesystem;

const char* const kSymbolNames[] = {"chevron.up",
                                    "chevron.down",
                                    "xmark",
                                    "checkmark",
                                    "sun.max",
                                    "moon",
                                    "pin",
                                    "pin.fill",
                                    "star",
                                    "star.fill",
                                    "magnifyingglass",
                                    "apple.logo",
                                    "questionmark.bubble",
                                    "exclamationmark.triangle",
                                    "checkmark.shield",
                                    "xmark.circle.fill",
                                    "plus"};

bool near(const QColor& actual, const QColor& expected, int tolerance = 6) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// Pixels with any coverage, and whether every well-covered one has `color`.
struct Coverage {
    int covered = 0;
    int partial = 0;
    bool allInColor = true;
};

Coverage coverage(const QImage& image, const QColor& color) {
    Coverage result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0)
                continue;
            ++result.covered;
            if (pixel.alpha() < 255)
                ++result.partial;
            if (pixel.alpha() > 128 && !near(pixel, color, 3))
                result.allInColor = false;
        }
    }
    return result;
}

int countNear(const QImage& image, const QColor& color, int tolerance = 6) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).alpha() == 255 &&
                     near(image.pixelColor(x, y), color, tolerance);
    return count;
}

QImage transparentImage(int width, int height, double ratio = 1) {
    QImage image(int(width * ratio), int(height * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

void writeImage(const fs::path& path, const QColor& color, int size = 64) {
    fs::create_directories(path.parent_path());
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
}

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

SoftwarePack pack(std::string id, std::optional<std::vector<std::string>> identifiers = {},
                  std::string glyph = "Q", std::string accent = "#AA2266") {
    SoftwarePack software;
    software.id = std::move(id);
    software.name = "Test";
    software.glyph = std::move(glyph);
    software.accent = std::move(accent);
    software.bundleIdentifiers = std::move(identifiers);
    return software;
}

const QColor kRed(255, 0, 0), kGreen(0, 200, 0), kBlue(0, 0, 255);

using testing_icons::answered;
std::optional<QImage> bundled(const SoftwarePack& software) {
    return answered(&SoftwareIconRepository::bundledIcon, software);
}
std::optional<QImage> installed(const SoftwarePack& software) {
    return answered(&SoftwareIconRepository::installedIcon, software);
}

class SymbolAndLogoTest : public ::testing::Test {
protected:
    SymbolAndLogoTest() {
        root_ = fs::temp_directory_path() /
                ("corvanta-logo-test-" + std::to_string(std::random_device()()));
        fs::create_directories(bundleRoot());
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS"})
            savedEnvironment_.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((root_ / "home").string()));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString((root_ / "system").string()));
        SoftwareIconRepository::setBundle(platform::Bundle(bundleRoot(), "org.corvanta.Tests"));
        SoftwareIconRepository::resetCaches();
    }
    ~SymbolAndLogoTest() override {
        for (const auto& [name, value] : savedEnvironment_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        SoftwareIconRepository::resetCaches();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path bundleRoot() const { return root_ / "bundle"; }
    fs::path bundleIcon(const std::string& file) const {
        return bundleRoot() / "SoftwareIcons" / file;
    }
    // A desktop entry under `data`/applications, its icon a path or a name.
    void installApplication(const std::string& data, const std::string& fileName,
                            const std::string& icon, const std::string& windowClass = {}) {
        std::string text = "[Desktop Entry]\nType=Application\nName=Tool\nIcon=" + icon + "\n";
        if (!windowClass.empty())
            text += "StartupWMClass=" + windowClass + "\n";
        writeText(root_ / data / "applications" / fileName, text);
    }
    fs::path iconFile(const std::string& name) const { return root_ / "icons" / name; }

    static QImage tile(const SoftwarePack* software, AppTheme theme = AppTheme::dark,
                       int size = 34) {
        if (software) {
            bundled(*software);
            installed(*software);
        }
        QImage image = transparentImage(size, size);
        QPainter painter(&image);
        AppLogo::paint(painter, QRectF(0, 0, size, size), software, ThemeColors::forTheme(theme));
        return image;
    }

    fs::path root_;
    std::vector<std::pair<const char*, QByteArray>> savedEnvironment_;
};

// ---- Symbols ----

TEST(SymbolImageTest, EveryNameIsKnownAndDrawsInTheRequestedColourAtEachWeight) {
    const QColor color(20, 140, 220);
    for (const char* name : kSymbolNames) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(SymbolImage::isKnown(name));
        int light = 0;
        int bold = 0;
        for (auto weight : {style::Weight::light, style::Weight::regular, style::Weight::medium,
                            style::Weight::semibold, style::Weight::bold}) {
            const QImage image = SymbolImage::pixmap(name, 16, weight, color, 1).toImage();
            EXPECT_EQ(image.size(), QSize(16, 16));
            const Coverage drawn = coverage(image, color);
            EXPECT_GT(drawn.covered, 12);
            EXPECT_TRUE(drawn.allInColor);
            (weight == style::Weight::light ? light : bold) = drawn.covered;
        }
        // Stroke symbols thicken with the weight; filled ones stay the same.
        if (std::string_view(name).ends_with(".fill"))
            EXPECT_EQ(light, bold);
        else
            EXPECT_LT(light, bold);
    }
    EXPECT_EQ(SymbolImage::size("star", 13), QSizeF(13, 13));
}

TEST(SymbolImageTest, UnknownNameOrMissingFolderDrawsTheSubstitute) {
    const QColor color(200, 40, 40);
    EXPECT_FALSE(SymbolImage::isKnown("no.such.symbol"));
    EXPECT_FALSE(SymbolImage::isKnown(""));
    for (const char* name : {"no.such.symbol", ""}) {
        QImage image = transparentImage(20, 20);
        QPainter painter(&image);
        SymbolImage::paint(painter, QRectF(0, 0, 20, 20), name, 16, style::Weight::regular, color);
        painter.end();
        const Coverage drawn = coverage(image, color);
        EXPECT_GT(drawn.covered, 20);
        EXPECT_TRUE(drawn.allInColor);
    }

    // A bundle without its symbols folder still draws something for every name.
    SymbolImage::setDirectory(QStringLiteral("/nonexistent-corvanta-symbols"));
    EXPECT_FALSE(SymbolImage::isKnown("star"));
    EXPECT_GT(
        coverage(SymbolImage::pixmap("star", 16, style::Weight::regular, color, 1).toImage(), color)
            .covered,
        20);
    SymbolImage::setDirectory(QStringLiteral(CORVANTA_SOURCE_DIR "/resources/symbols"));
    EXPECT_TRUE(SymbolImage::isKnown("star"));
}

TEST(SymbolImageTest, CachedPerColourAndCrispAtRatioTwo) {
    const QColor color(0, 0, 0);
    const QPixmap once = SymbolImage::pixmap("star.fill", 16, style::Weight::regular, color, 2);
    EXPECT_EQ(once.cacheKey(),
              SymbolImage::pixmap("star.fill", 16, style::Weight::regular, color, 2).cacheKey());
    EXPECT_NE(once.cacheKey(),
              SymbolImage::pixmap("star.fill", 16, style::Weight::regular, kRed, 2).cacheKey());
    EXPECT_EQ(once.size(), QSize(32, 32));
    EXPECT_EQ(once.deviceIndependentSize(), QSizeF(16, 16));

    // Painted on a ratio-2 surface, the pixels are the ratio-2 drawing copied
    // one to one, not a resampled copy.
    QImage surface = transparentImage(20, 20, 2);
    QPainter painter(&surface);
    painter.translate(0.2, 0.1);  // an off-grid origin must still land on whole pixels
    SymbolImage::paint(painter, QRectF(2, 2, 16, 16), "star.fill", 16, style::Weight::regular,
                       color);
    painter.end();
    const QImage expected = once.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage placed = surface.copy(4, 4, 32, 32);
    placed.setDevicePixelRatio(1);
    QImage reference = expected;
    reference.setDevicePixelRatio(1);
    EXPECT_EQ(placed, reference);

    // An enlarged ratio-1 drawing would have twice as many soft edge pixels.
    const QImage upscaled = SymbolImage::pixmap("star.fill", 16, style::Weight::regular, color, 1)
                                .toImage()
                                .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(coverage(expected, color).partial * 4, coverage(upscaled, color).partial * 3);
}

// ---- Tiles ----

TEST_F(SymbolAndLogoTest, TileWithoutPackShowsGreyCOnRaisedSurfaceClippedToItsCorners) {
    for (AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        SCOPED_TRACE(int(theme));
        const ThemeColors& colors = ThemeColors::forTheme(theme);
        const QImage image = tile(nullptr, theme);
        EXPECT_TRUE(near(image.pixelColor(5, 17), colors.surfaceRaised, 1));
        EXPECT_GT(countNear(image, colorFromHex("#808080"), 10), 8);
        // The border's inner half shows along the edge.
        const QColor edge = image.pixelColor(17, 0);
        EXPECT_FALSE(near(edge, colors.surfaceRaised, 2));
        EXPECT_LE(std::abs(edge.red() - colors.border.red()),
                  std::abs(colors.surfaceRaised.red() - colors.border.red()));
        // Corner radius 10.54 of a continuous corner: the corner's outside stays
        // empty, the curve passes about 3.5 pixels in along the diagonal.
        for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {2, 2}, {33, 0}, {0, 33}, {33, 33}, {5, 0}})
            EXPECT_EQ(image.pixelColor(x, y).alpha(), 0) << x << "," << y;
        for (auto [x, y] : {std::pair{5, 5}, {28, 28}, {17, 0}, {0, 17}, {33, 17}})
            EXPECT_EQ(image.pixelColor(x, y).alpha(), 255) << x << "," << y;
    }
}

TEST_F(SymbolAndLogoTest, BundledIconWinsAndIsPaddedByItsTableRatio) {
    writeImage(bundleIcon("word.png"), kRed);
    writeImage(iconFile("word.png"), kGreen);
    installApplication("home", "com.microsoft.Word.desktop", iconFile("word.png").string());
    const SoftwarePack word = pack("word");
    const QImage image = tile(&word);
    EXPECT_EQ(countNear(image, kGreen), 0);
    // 34 × 0.12 = 4.08 on each side: pixel 4 is almost covered, 3 not at all.
    EXPECT_TRUE(near(image.pixelColor(5, 17), kRed));
    EXPECT_TRUE(near(image.pixelColor(28, 17), kRed));
    EXPECT_FALSE(near(image.pixelColor(3, 17), kRed, 60));
    EXPECT_FALSE(near(image.pixelColor(30, 17), kRed, 60));
    EXPECT_GT(image.pixelColor(4, 17).red(), 200);

    // Every shipped extension loads, the vector one included.
    writeText(bundleIcon("github.svg"),
              R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 10 10">)"
              R"(<rect width="10" height="10" fill="#0000FF"/></svg>)");
    QImage ico(32, 32, QImage::Format_ARGB32);
    ico.fill(kGreen);
    ASSERT_TRUE(ico.save(QString::fromStdString(bundleIcon("vlc.ico").string()), "ICO"));
    const SoftwarePack github = pack("github");
    const SoftwarePack vlc = pack("vlc");
    const QImage githubTile = tile(&github);
    EXPECT_TRUE(near(githubTile.pixelColor(17, 17), kBlue));
    // The white backdrop of the table shows around the padded icon (4.76).
    EXPECT_TRUE(near(githubTile.pixelColor(3, 17), Qt::white, 2));
    EXPECT_TRUE(near(tile(&vlc).pixelColor(17, 17), kGreen));
}

TEST_F(SymbolAndLogoTest, InstalledApplicationIconsAreFoundByFileIdOrWindowClass) {
    // Desktop entries are read once, so every one is in place before the first
    // look-up: one found by file id (case-insensitively) in the system data
    // folder with an icon path, one found by window class with a theme icon.
    writeImage(iconFile("tool.png"), kBlue);
    installApplication("system", "org.example.Tool.desktop", iconFile("tool.png").string());
    const fs::path theme = root_ / "theme" / "hicolor";
    writeText(theme / "index.theme",
              "[Icon Theme]\nName=Test\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    writeImage(theme / "48x48" / "apps" / "blender-test.png", kGreen, 48);
    installApplication("home", "blender.desktop", "blender-test", "org.BlenderFoundation.Blender");

    const SoftwarePack tool = pack("tool", std::vector<std::string>{"ORG.EXAMPLE.TOOL"});
    const QImage image = tile(&tool);
    // Padded by 34 × 0.035 = 1.19.
    EXPECT_TRUE(near(image.pixelColor(2, 17), kBlue));
    EXPECT_TRUE(near(image.pixelColor(31, 17), kBlue));
    EXPECT_FALSE(near(image.pixelColor(0, 17), kBlue, 60));

    // The fallback table serves a pack whose catalog entry lists no identifiers.
    const QStringList savedPaths = QIcon::themeSearchPaths();
    const QString savedTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({QString::fromStdString((root_ / "theme").string())});
    QIcon::setThemeName(QStringLiteral("hicolor"));
    const SoftwarePack blender = pack("blender");
    EXPECT_TRUE(near(tile(&blender).pixelColor(17, 17), kGreen));
    QIcon::setThemeSearchPaths(savedPaths);
    QIcon::setThemeName(savedTheme);

    // A listed identifier that matches nothing leaves the glyph.
    const SoftwarePack unknown = pack("unknown", std::vector<std::string>{"org.example.none"});
    EXPECT_FALSE(installed(unknown));
}

TEST_F(SymbolAndLogoTest, EntriesReadAheadNeverHoldUpALogoAndBringItOnceIn) {
    writeImage(iconFile("tool.png"), kBlue);
    installApplication("home", "org.example.tool.desktop", iconFile("tool.png").string());
    // A well-stocked machine: reading all of these takes far longer than a
    // look-up made right after the read starts.
    for (int i = 0; i < 3000; ++i)
        installApplication("system", "vendor.filler" + std::to_string(i) + ".desktop", "filler");
    int redraws = 0;
    SoftwareIconRepository::preloadDesktopEntries([&redraws] { ++redraws; });
    const SoftwarePack tool = pack("tool", std::vector<std::string>{"org.example.tool"});
    // Turned away while the entries are read: the glyph stands in, and no
    // miss is remembered.
    EXPECT_FALSE(SoftwareIconRepository::installedIcon(tool));
    EXPECT_GT(countNear(tile(&tool), colorFromHex("#AA2266"), 10), 4);
    QElapsedTimer waited;
    waited.start();
    while (redraws == 0 && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(redraws, 1);
    EXPECT_GT(countNear(tile(&tool), kBlue), 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(redraws, 1);

    // A reset stops a read in progress and drops it: an entry installed since
    // is found on the next look-up, and the stopped read asks for no redraw.
    installApplication("home", "org.example.other.desktop", iconFile("tool.png").string());
    SoftwareIconRepository::resetCaches();
    SoftwareIconRepository::preloadDesktopEntries([&redraws] { ++redraws; });
    EXPECT_FALSE(SoftwareIconRepository::installedIcon(tool));
    SoftwareIconRepository::resetCaches();
    const SoftwarePack other = pack("other", std::vector<std::string>{"org.example.other"});
    EXPECT_TRUE(installed(other));
    QCoreApplication::processEvents();
    EXPECT_EQ(redraws, 1);
}

TEST_F(SymbolAndLogoTest, AnEmptyOwnIdentifierListNeverUsesTheFallbackTable) {
    writeImage(iconFile("blender.png"), kBlue);
    installApplication("home", "org.blenderfoundation.blender.desktop",
                       iconFile("blender.png").string());
    const SoftwarePack listsNone = pack("blender", std::vector<std::string>{});
    EXPECT_FALSE(installed(listsNone));
    EXPECT_GT(countNear(tile(&listsNone), colorFromHex("#AA2266"), 10), 4);
    EXPECT_EQ(countNear(tile(&listsNone), kBlue), 0);

    SoftwareIconRepository::resetCaches();
    const SoftwarePack listsNothing = pack("blender");
    EXPECT_TRUE(installed(listsNothing));
    // The newer identifier of a pair is tried first.
    EXPECT_EQ(SoftwareIconRepository::bundleIdentifiers().at("affinitydesigner").front(),
              "com.seriflabs.affinitydesigner2");
}

TEST_F(SymbolAndLogoTest, WithoutIconsFigmaShowsItsMarkAndOthersTheirGlyph) {
    const SoftwarePack figma = pack("figma", std::vector<std::string>{});
    const QImage mark = tile(&figma, AppTheme::light, 100);
    // Frame 47 × 68 centred in 100: circles of 23.5 from (26.5, 16).
    const std::pair<QPoint, const char*> circles[] = {{{38, 27}, "#FF7262"},
                                                      {{61, 27}, "#F24E1E"},
                                                      {{38, 51}, "#A259FF"},
                                                      {{61, 51}, "#1ABCFE"},
                                                      {{38, 74}, "#0ACF83"}};
    for (const auto& [at, fill] : circles)
        EXPECT_TRUE(near(mark.pixelColor(at), colorFromHex(fill), 2)) << fill;
    EXPECT_TRUE(
        near(mark.pixelColor(61, 74), ThemeColors::forTheme(AppTheme::light).surfaceRaised));

    const SoftwarePack other = pack("other", std::vector<std::string>{}, "Ot", "#3366FF");
    const QImage glyph = tile(&other, AppTheme::light);
    EXPECT_GT(countNear(glyph, colorFromHex("#3366FF"), 10), 8);
    EXPECT_EQ(countNear(glyph, colorFromHex("#808080"), 10), 0);
}

TEST_F(SymbolAndLogoTest, MissesAreRememberedAndTheFirstExtensionDecides) {
    const SoftwarePack late = pack("late", std::vector<std::string>{"org.example.late"});
    EXPECT_GT(countNear(tile(&late), colorFromHex("#AA2266"), 10), 4);
    writeImage(bundleIcon("late.png"), kRed);
    writeImage(iconFile("late.png"), kGreen);
    installApplication("home", "org.example.late.desktop", iconFile("late.png").string());
    EXPECT_EQ(countNear(tile(&late), kRed), 0);
    EXPECT_EQ(countNear(tile(&late), kGreen), 0);
    SoftwareIconRepository::resetCaches();
    EXPECT_GT(countNear(tile(&late), kRed), 100);

    // A broken SVG is found before a good PNG and ends the bundle search.
    writeText(bundleIcon("broken.svg"), "not an svg");
    writeImage(bundleIcon("broken.png"), kRed);
    EXPECT_FALSE(bundled(pack("broken")));
}

TEST_F(SymbolAndLogoTest, UnsafeIdsAndOversizedFilesAreRefused) {
    writeImage(bundleRoot() / "evil.png", kRed);
    writeImage(bundleIcon("x..y.png"), kRed);
    writeImage(bundleIcon("a") / "b.png", kRed);
    writeImage(bundleIcon("a.png"), kRed);
    for (const std::string& id : {std::string("../evil"), std::string("x..y"), std::string("a/b"),
                                  std::string("a\0b", 3), std::string()}) {
        EXPECT_FALSE(bundled(pack(id))) << id;
    }

    // A valid picture followed by more than 8 MB is not an icon.
    writeImage(bundleIcon("huge.png"), kRed);
    {
        std::ofstream padding(bundleIcon("huge.png"), std::ios::app | std::ios::binary);
        padding << std::string(9 * 1024 * 1024, '\0');
    }
    EXPECT_FALSE(bundled(pack("huge")));
    // A drawing is held to 2 MB: a plain square padded past that is not drawn.
    const std::string square =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
        "<rect width=\"48\" height=\"48\" fill=\"#FF0000\"/><!--";
    writeText(bundleIcon("padded.svg"), square + std::string(2100 * 1024, 'x') + "--></svg>");
    EXPECT_FALSE(bundled(pack("padded")));
    writeText(bundleIcon("plain.svg"), square + "--></svg>");
    EXPECT_TRUE(bundled(pack("plain")));
}

TEST(AppLogoPresentationTest, TablesAreCompleteAndUnknownPacksGetTheDefault) {
    EXPECT_EQ(SoftwareIconRepository::bundledPresentations().size(), 79u);
    EXPECT_EQ(SoftwareIconRepository::bundleIdentifiers().size(), 35u);
    const SoftwareIconPresentation standard{0.06, std::nullopt};
    EXPECT_EQ(AppLogo::presentation(nullptr), standard);
    const SoftwarePack outside = pack("not-in-table");
    EXPECT_EQ(AppLogo::presentation(&outside), standard);
    const SoftwarePack linear = pack("linear");
    EXPECT_EQ(AppLogo::presentation(&linear), (SoftwareIconPresentation{0.17, "#FFFFFF"}));
    int white = 0;
    for (const auto& [id, presentation] : SoftwareIconRepository::bundledPresentations())
        white += presentation.backgroundHex.has_value();
    EXPECT_EQ(white, 8);
}

TEST(AppLogoPresentationTest, EveryTableNamesAShippedPack) {
    platform::MemoryUserDefaults defaults;
    const ShortcutStore store(
        platform::Bundle(fs::path(CORVANTA_SOURCE_DIR) / "resources", "org.corvanta.Tests"),
        defaults);
    std::set<std::string> shipped;
    for (const SoftwarePack& pack : store.software.get()) shipped.insert(pack.id);
    for (const auto& [id, presentation] : SoftwareIconRepository::bundledPresentations())
        EXPECT_TRUE(shipped.count(id)) << id;
    for (const auto& [id, identifiers] : SoftwareIconRepository::bundleIdentifiers())
        EXPECT_TRUE(shipped.count(id)) << id;
}

}  // namespace
}  // namespace corvanta
