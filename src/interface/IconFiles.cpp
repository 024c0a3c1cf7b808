// Icon image files read safely; see IconFiles.h.
#include "interface/IconFiles.h"

#include <climits>
#include <cstdlib>
#include <optional>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QStringTokenizer>
#include <QSvgRenderer>

#include "platform/foundation/GuardedFile.h"

namespace corvanta {
namespace {

constexpr int kIconPixels = 256;
// Icon files are small; anything larger is not an icon and is not read. A
// drawing is held to less: its size bounds the parse and what it can ask to
// draw.
constexpr std::uintmax_t kMaxIconFileBytes = 8 * 1024 * 1024;
constexpr std::uintmax_t kMaxSvgFileBytes = 2 * 1024 * 1024;
// A small file can still declare a huge picture; refuse to decode one.
constexpr qint64 kMaxDecodedPixels = 4096 * 4096;

// Fits `image` into the 256-pixel square the caches keep, keeping its shape.
QImage normalised(QImage image) {
    if (image.isNull())
        return image;
    if (image.width() > kIconPixels || image.height() > kIconPixels) {
        image =
            image.scaled(kIconPixels, kIconPixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage renderSvg(const QByteArray& bytes) {
    QSvgRenderer renderer(bytes);
    if (!renderer.isValid())
        return {};
    QSizeF natural = renderer.defaultSize();
    if (natural.isEmpty())
        natural = QSizeF(kIconPixels, kIconPixels);
    const QSize pixels = natural.scaled(kIconPixels, kIconPixels, Qt::KeepAspectRatio).toSize();
    if (pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    return image;
}

QImage decodeRaster(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Icon files hold several sizes; the largest scales down best.
    int best = -1;
    qint64 bestPixels = 0;
    const int count = std::clamp(reader.imageCount(), 1, 32);
    for (int index = 0; index < count; ++index) {
        if (index > 0 && !reader.jumpToImage(index))
            break;
        const QSize size = reader.size();
        const qint64 pixels = qint64(size.width()) * size.height();
        if (size.isValid() && pixels > kMaxDecodedPixels)
            continue;
        if (best < 0 || pixels > bestPixels) {
            best = index;
            bestPixels = pixels;
        }
    }
    if (best < 0 || (count > 1 && !reader.jumpToImage(best)))
        return {};
    return reader.read();
}

}  // namespace

// A FIFO or device is refused at once and a file too large to be an icon is
// not read; no path ever reaches an image reader. SVG goes through the vector
// renderer, everything else through the image plug-ins.
QImage readImageFile(const QString& path) {
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ||
                     path.endsWith(QStringLiteral(".svgz"), Qt::CaseInsensitive);
    const platform::FileContents contents =
        platform::readRegularFile(path.toStdString(), svg ? kMaxSvgFileBytes : kMaxIconFileBytes);
    if (!contents.ok())
        return {};
    const std::string& bytes = *contents.bytes;
    if (svg) {
        if (!platform::isSelfContainedSvg(bytes))
            return {};
        return normalised(renderSvg(QByteArray::fromStdString(bytes)));
    }
    return normalised(decodeRaster(QByteArray::fromStdString(bytes)));
}

std::vector<QString> dataDirectories() {
    std::vector<QString> folders;
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    folders.push_back(home.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : home);
    QString shared = qEnvironmentVariable("XDG_DATA_DIRS");
    if (shared.isEmpty())
        shared = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& folder : shared.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.push_back(folder);
    return folders;
}

namespace {

// ---- icon themes -------------------------------------------------------------
// The freedesktop theme look-up, done here rather than by QIcon::fromTheme so
// that every file it reads goes through the guarded open: the toolkit would
// open a FIFO in a theme folder and wait on it for ever.

constexpr std::uintmax_t kMaxThemeIndexBytes = 1024 * 1024;
constexpr int kMaxThemes = 16;  // an inheritance chain longer than this is a loop
// A stock hicolor theme lists about 650 folders. Beyond these limits an index
// is hostile: the rest of its folders, and folders of further themes, are
// not searched.
constexpr qsizetype kMaxThemeDirectories = 2048;
constexpr qsizetype kMaxSearchedDirectories = 4096;
// A file name, extension included, is at most 255 bytes: a longer icon name
// names no file and is not looked for.
constexpr qsizetype kMaxIconNameBytes = 255 - 4;
constexpr std::array<const char*, 3> kThemeExtensions{"png", "svg", "xpm"};

struct ThemeDirectory {
    QString name;
    int size = 0;
    bool scalable = false;
};

struct ThemeIndex {
    std::vector<ThemeDirectory> directories;  // largest first
    QStringList inherits;
};

std::optional<ThemeIndex> readThemeIndex(const QString& file) {
    const platform::FileContents contents =
        platform::readRegularFile(file.toStdString(), kMaxThemeIndexBytes);
    if (!contents.ok())
        return std::nullopt;
    ThemeIndex index;
    QStringList listed;
    std::map<QString, ThemeDirectory> sections;
    QString group;
    const QString text = QString::fromUtf8(*contents.bytes);
    for (QStringView raw : QStringTokenizer(text, QLatin1Char('\n'))) {
        const QStringView line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2).toString();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || equals <= 0)
            continue;
        const QStringView key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed().toString();
        if (group == QStringLiteral("Icon Theme")) {
            if (key == QStringLiteral("Directories"))
                listed = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
            else if (key == QStringLiteral("Inherits"))
                index.inherits = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else if (key == QStringLiteral("Size")) {
            sections[group].size = value.toInt();
        } else if (key == QStringLiteral("Type")) {
            sections[group].scalable = value == QStringLiteral("Scalable");
        }
    }
    for (const QString& entry : listed) {
        if (qsizetype(index.directories.size()) >= kMaxThemeDirectories)
            break;
        const QString name = entry.trimmed();
        if (name.isEmpty() || name.contains(QStringLiteral("..")) || QDir::isAbsolutePath(name))
            continue;
        ThemeDirectory directory = sections[name];
        directory.name = name;
        index.directories.push_back(directory);
    }
    // The image is kept at 256 pixels: a scalable or the largest drawing first.
    std::stable_sort(index.directories.begin(), index.directories.end(),
                     [](const ThemeDirectory& a, const ThemeDirectory& b) {
                         return (a.scalable ? INT_MAX : a.size) > (b.scalable ? INT_MAX : b.size);
                     });
    return index;
}

// The first file of `stems` + extension that exists and decodes. Existence is
// looked up without opening, so a FIFO is only ever refused by the guard.
QImage readFirstImage(const QStringList& stems, const std::function<QImage(const QString&)>& read) {
    for (const QString& stem : stems) {
        for (const char* extension : kThemeExtensions) {
            const QString path = stem + QLatin1Char('.') + QLatin1String(extension);
            if (!QFileInfo::exists(path))
                continue;
            QImage image = read(path);
            if (!image.isNull())
                return image;
        }
    }
    return {};
}

}  // namespace

IconThemeSearch IconThemeSearch::current() {
    IconThemeSearch where;
    for (const QString& base : QIcon::themeSearchPaths()) {
        if (!base.startsWith(QLatin1Char(':')))  // the toolkit's own resources
            where.bases.push_back(base);
    }
    where.themes = QStringList{QIcon::themeName(), QIcon::fallbackThemeName()};
    for (const QString& data : dataDirectories())
        where.pixmapFolders.push_back(data + QStringLiteral("/pixmaps"));
    return where;
}

// `name` (already known to name no folder) in the themes of `where`, the
// themes they inherit, hicolor, and then the unthemed pixmaps folders.
QImage readThemeIcon(const QString& name, const IconThemeSearch& where,
                     const std::function<QImage(const QString&)>& read) {
    if (name.isEmpty() || name.toUtf8().size() > kMaxIconNameBytes)
        return {};
    QStringList themes = where.themes;
    QStringList visited;
    qsizetype searched = 0;
    // By value: visiting a theme appends its parents to `themes`, which may
    // move the name it was called with.
    const auto visit = [&](const QString theme) -> QImage {
        if (theme.isEmpty() || visited.contains(theme) || visited.size() >= kMaxThemes ||
            theme.contains(QLatin1Char('/')) || theme.contains(QStringLiteral("..")))
            return {};
        visited.push_back(theme);
        std::optional<ThemeIndex> index;
        for (const QString& base : where.bases) {
            if ((index = readThemeIndex(base + QLatin1Char('/') + theme +
                                        QStringLiteral("/index.theme"))))
                break;
        }
        if (!index)
            return {};
        for (const QString& parent : index->inherits) themes.push_back(parent.trimmed());
        QStringList stems;
        for (const ThemeDirectory& directory : index->directories) {
            if (searched++ >= kMaxSearchedDirectories)
                break;
            for (const QString& base : where.bases)
                stems.push_back(base + QLatin1Char('/') + theme + QLatin1Char('/') +
                                directory.name + QLatin1Char('/') + name);
        }
        return readFirstImage(stems, read);
    };
    for (qsizetype i = 0; i < themes.size(); ++i) {
        if (QImage image = visit(themes[i]); !image.isNull())
            return image;
    }
    if (QImage image = visit(QStringLiteral("hicolor")); !image.isNull())
        return image;
    QStringList unthemed;
    for (const QString& folder : where.pixmapFolders)
        unthemed.push_back(folder + QLatin1Char('/') + name);
    return readFirstImage(unthemed, read);
}

}  // namespace corvanta
