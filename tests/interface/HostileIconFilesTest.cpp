// Icon, symbol and desktop-entry files that would block a plain open or make
// the renderer read further files: FIFOs, devices, folders, links to them,
// icon names that climb out of the theme, SVGs with external images. Each
// look-up must return at once and leave the tile its fallback.
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "catalog/SoftwarePack.h"
#include "interface/AppLogo.h"
#include "interface/SoftwareIconRepository.h"
#include "interface/SymbolImage.h"
#include "platform/foundation/Bundle.h"

namespace corvanta {
namespace {

namespace fs = std::filesystem;

const QColor kRed(255, 0, 0), kGreen(0, 200, 0);
const QColor kAccent(0xAA, 0x22, 0x66);

// A look-up that blocks would hang the test run; this ends it with a message.
class Watchdog {
public:
    Watchdog()
        : thread_([this] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(20), [this] { return finished_; })) {
                  std::fputs("a look-up blocked for 20 s\n", stderr);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void writeImage(const fs::path& path, const QColor& color, int size = 48) {
    fs::create_directories(path.parent_path());
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
}

void makeFifo(const fs::path& path) {
    fs::create_directories(path.parent_path());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

// An SVG whose only drawing is an image: from another file, or inline.
std::string svgWithImage(const std::string& href) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"48\" height=\"48\">"
           "<image x=\"0\" y=\"0\" width=\"48\" height=\"48\" xlink:href=\"" +
           href + "\"/></svg>";
}

std::string pngDataUri(const QColor& color) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + bytes.toBase64().toStdString();
}

SoftwarePack pack(const std::string& id, std::vector<std::string> identifiers = {}) {
    SoftwarePack software;
    software.id = id;
    software.name = "Test";
    software.glyph = "Q";
    software.accent = "#AA2266";
    software.bundleIdentifiers = std::move(identifiers);
    return software;
}

int countNear(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.alpha() == 255 && std::abs(pixel.red() - color.red()) <= 10 &&
                     std::abs(pixel.green() - color.green()) <= 10 &&
                     std::abs(pixel.blue() - color.blue()) <= 10;
        }
    }
    return count;
}

QImage tile(const SoftwarePack& software) {
    QImage image(34, 34, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    AppLogo::paint(painter, QRectF(0, 0, 34, 34), &software, ThemeColors::forTheme(AppTheme::dark));
    return image;
}

class HostileIconFilesTest : public ::testing::Test {
protected:
    HostileIconFilesTest() {
        root_ = fs::temp_directory_path() /
                ("corvanta-hostile-icons-" + std::to_string(std::random_device()()));
        fs::create_directories(root_ / "bundle");
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS"})
            savedEnvironment_.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((root_ / "home").string()));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString((root_ / "system").string()));
        savedThemePaths_ = QIcon::themeSearchPaths();
        savedTheme_ = QIcon::themeName();
        QIcon::setThemeSearchPaths({QString::fromStdString((root_ / "theme").string())});
        QIcon::setThemeName(QStringLiteral("hicolor"));
        writeText(theme() / "index.theme",
                  "[Icon Theme]\nName=Test\nDirectories=48x48/apps,256x256/apps\n\n"
                  "[48x48/apps]\nSize=48\n\n[256x256/apps]\nSize=256\n");
        SoftwareIconRepository::setBundle(platform::Bundle(root_ / "bundle", "org.corvanta.Tests"));
        SoftwareIconRepository::resetCaches();
    }
    ~HostileIconFilesTest() override {
        for (const auto& [name, value] : savedEnvironment_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        QIcon::setThemeSearchPaths(savedThemePaths_);
        QIcon::setThemeName(savedTheme_);
        SoftwareIconRepository::resetCaches();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path theme() const { return root_ / "theme" / "hicolor"; }
    // A user-level desktop entry for application `id` naming `icon`.
    void installApplication(const std::string& id, const std::string& icon) {
        writeText(root_ / "home" / "applications" / (id + ".desktop"),
                  "[Desktop Entry]\nType=Application\nName=Tool\nIcon=" + icon + "\n");
    }
    // The icon found for an application named `icon`, and that its tile fell
    // back to the glyph when none was.
    std::optional<QImage> installedIconFor(const std::string& id, const std::string& icon) {
        installApplication(id, icon);
        SoftwareIconRepository::resetCaches();
        const SoftwarePack software = pack(id, {id});
        auto found = SoftwareIconRepository::installedIcon(software);
        if (!found) {
            EXPECT_GT(countNear(tile(software), kAccent), 4) << icon;
        }
        return found;
    }

    Watchdog watchdog_;
    fs::path root_;
    std::vector<std::pair<const char*, QByteArray>> savedEnvironment_;
    QStringList savedThemePaths_;
    QString savedTheme_;
};

TEST_F(HostileIconFilesTest, IconPathsToFifosDevicesAndFoldersFallBackAtOnce) {
    makeFifo(root_ / "icons" / "fifo.png");
    fs::create_symlink(root_ / "icons" / "fifo.png", root_ / "icons" / "link.png");
    fs::create_directories(root_ / "icons" / "folder.png");
    for (const fs::path& icon : {root_ / "icons" / "fifo.png", root_ / "icons" / "link.png",
                                 fs::path("/dev/zero"), root_ / "icons" / "folder.png"}) {
        EXPECT_FALSE(installedIconFor("org.example.hostile", icon.string())) << icon;
    }
    writeImage(root_ / "icons" / "good.png", kGreen);
    EXPECT_TRUE(installedIconFor("org.example.good", (root_ / "icons" / "good.png").string()));
}

TEST_F(HostileIconFilesTest, ThemeNamesNeverLeaveTheThemeAndThemeFifosAreSkipped) {
    // Both would be found if the names reached the theme's folders.
    writeImage(root_ / "theme" / "evil.png", kRed);
    writeImage(theme() / "48x48" / "apps" / "sub" / "evil.png", kRed);
    for (const char* name : {"../../../evil", "sub/evil", "..", "evil/.."})
        EXPECT_FALSE(installedIconFor("org.example.climb", name)) << name;

    // The larger drawing is a FIFO: the smaller one is used instead.
    makeFifo(theme() / "256x256" / "apps" / "tool.png");
    writeImage(theme() / "48x48" / "apps" / "tool.png", kGreen);
    const auto found = installedIconFor("org.example.tool", "tool");
    ASSERT_TRUE(found);
    EXPECT_GT(countNear(*found, kGreen), 100);
    makeFifo(theme() / "48x48" / "apps" / "blocked.png");
    EXPECT_FALSE(installedIconFor("org.example.blocked", "blocked"));
}

TEST_F(HostileIconFilesTest, SvgsWithExternalImagesAreNotDrawnButInlineImagesAre) {
    writeImage(root_ / "icons" / "red.png", kRed);
    const std::string external = svgWithImage((root_ / "icons" / "red.png").string());
    writeText(root_ / "bundle" / "SoftwareIcons" / "outside.svg", external);
    const SoftwarePack outside = pack("outside");
    EXPECT_FALSE(SoftwareIconRepository::bundledIcon(outside));
    EXPECT_EQ(countNear(tile(outside), kRed), 0);
    EXPECT_GT(countNear(tile(outside), kAccent), 4);

    writeText(root_ / "icons" / "outside.svg", external);
    EXPECT_FALSE(
        installedIconFor("org.example.outside", (root_ / "icons" / "outside.svg").string()));

    writeText(root_ / "bundle" / "SoftwareIcons" / "inline.svg", svgWithImage(pngDataUri(kGreen)));
    const auto drawn = SoftwareIconRepository::bundledIcon(pack("inline"));
    ASSERT_TRUE(drawn);
    EXPECT_GT(countNear(*drawn, kGreen), 100);
}

TEST_F(HostileIconFilesTest, SymbolFilesThatAreFifosOrNameOtherFilesDrawTheSubstitute) {
    const fs::path folder = root_ / "symbols";
    const fs::path shipped = fs::path(CORVANTA_SOURCE_DIR) / "resources" / "symbols";
    fs::create_directories(folder);
    for (const char* file : {"check-light.svg", "check.svg", "check-bold.svg"})
        fs::copy_file(shipped / file, folder / file);
    makeFifo(folder / "star.svg");
    fs::create_symlink("/dev/zero", folder / "x.svg");
    writeImage(root_ / "icons" / "red.png", kRed);
    writeText(folder / "plus.svg", svgWithImage((root_ / "icons" / "red.png").string()));

    SymbolImage::setDirectory(QString::fromStdString(folder.string()));
    EXPECT_TRUE(SymbolImage::isKnown("checkmark"));
    for (const char* name : {"star", "xmark", "plus"}) {
        EXPECT_FALSE(SymbolImage::isKnown(name)) << name;
        const QImage drawn =
            SymbolImage::pixmap(name, 16, style::Weight::regular, kGreen, 1).toImage();
        int covered = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) covered += drawn.pixelColor(x, y).alpha() > 0;
        EXPECT_GT(covered, 20) << name;
    }
    SymbolImage::setDirectory(QString::fromStdString(shipped.string()));
}

}  // namespace
}  // namespace corvanta
