// Symbol images; see SymbolImage.h.
#include "interface/SymbolImage.h"

#include <array>
#include <cmath>
#include <map>
#include <memory>

#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include "interface/KeptPixmap.h"
#include "platform/foundation/GuardedFile.h"

namespace corvanta {
namespace {

// One interface name and the icon-set file drawn for each stroke weight.
// Filled names use the same filled file whatever the weight.
struct SymbolFiles {
    std::string_view name;
    std::string_view light;
    std::string_view regular;
    std::string_view bold;
};

// "apple.logo" is a vendor's trademark; a laptop stands in for the platform
// (a command key at badge size reads as a close mark).
constexpr std::array<SymbolFiles, 17> kSymbols{{
    {"chevron.up", "caret-up-light", "caret-up", "caret-up-bold"},
    {"chevron.down", "caret-down-light", "caret-down", "caret-down-bold"},
    {"xmark", "x-light", "x", "x-bold"},
    {"checkmark", "check-light", "check", "check-bold"},
    {"sun.max", "sun-light", "sun", "sun-bold"},
    {"moon", "moon-light", "moon", "moon-bold"},
    {"pin", "push-pin-light", "push-pin", "push-pin-bold"},
    {"pin.fill", "push-pin-fill", "push-pin-fill", "push-pin-fill"},
    {"star", "star-light", "star", "star-bold"},
    {"star.fill", "star-fill", "star-fill", "star-fill"},
    {"magnifyingglass", "magnifying-glass-light", "magnifying-glass", "magnifying-glass-bold"},
    {"apple.logo", "laptop-light", "laptop", "laptop-bold"},
    {"questionmark.bubble", "chat-circle-dots-light", "chat-circle-dots", "chat-circle-dots-bold"},
    {"exclamationmark.triangle", "warning-light", "warning", "warning-bold"},
    {"checkmark.shield", "shield-check-light", "shield-check", "shield-check-bold"},
    {"xmark.circle.fill", "x-circle-fill", "x-circle-fill", "x-circle-fill"},
    {"plus", "plus-light", "plus", "plus-bold"},
}};

QString& directory() {
    static QString folder;
    return folder;
}

// Bumped when the folder changes, so images drawn from the old one are never
// found again in the shared pixmap cache.
int& generation() {
    static int value = 0;
    return value;
}

const SymbolFiles* symbolFiles(std::string_view name) {
    for (const SymbolFiles& entry : kSymbols) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

// The icon set's strokes are one step lighter than the system symbols'
// (its regular line is 1/16 of the box, a text stem is nearer 1/11), and at
// 9 to 13 points its regular line is under a pixel and never reaches its
// colour. So each weight takes the next heavier file.
std::string_view fileStem(const SymbolFiles& entry, style::Weight weight) {
    switch (weight) {
        case style::Weight::light:
            return entry.regular;
        case style::Weight::regular:
        case style::Weight::medium:
        case style::Weight::semibold:
        case style::Weight::bold:
            return entry.bold;
    }
    return entry.bold;
}

// How much wider than the bold file's a stroke is drawn, in units of the
// point size: the bold file's line (3/32) matches a regular text stem; the
// system's heavier symbol weights grow by about a fiftieth of the size each.
double emboldening(style::Weight weight) {
    switch (weight) {
        case style::Weight::light:
        case style::Weight::regular:
            return 0;
        case style::Weight::medium:
            return 0.02;
        case style::Weight::semibold:
            return 0.04;
        case style::Weight::bold:
            return 0.06;
    }
    return 0;
}

// Parsed SVGs by file stem; an entry that failed to load stays null so the
// file is not read again on every paint.
std::map<std::string, std::unique_ptr<QSvgRenderer>>& renderers() {
    static std::map<std::string, std::unique_ptr<QSvgRenderer>> loaded;
    return loaded;
}

// Read through the guarded open and parsed from the bytes: a FIFO or device in
// the folder is refused at once, and a drawing that names other files (which
// the renderer would open unguarded) is not used. Either way the substitute
// is drawn.
std::unique_ptr<QSvgRenderer> loadSymbol(const std::string& stem) {
    const QString path =
        directory() + QLatin1Char('/') + QString::fromStdString(stem) + QStringLiteral(".svg");
    const auto bytes =
        platform::readSelfContainedSvg(path.toStdString(), platform::kMaxDrawingFileBytes);
    if (!bytes)
        return nullptr;
    auto svg = std::make_unique<QSvgRenderer>(QByteArray::fromStdString(*bytes));
    return svg->isValid() ? std::move(svg) : nullptr;
}

QSvgRenderer* renderer(std::string_view name, style::Weight weight) {
    const SymbolFiles* entry = symbolFiles(name);
    if (!entry)
        return nullptr;
    const std::string stem(fileStem(*entry, weight));
    auto& loaded = renderers();
    auto it = loaded.find(stem);
    if (it == loaded.end())
        it = loaded.emplace(stem, loadSymbol(stem)).first;
    return it->second.get();
}

// The stand-in for a name without a drawing: a rounded square outline, so a
// missing symbol is visible but reads as a placeholder.
void drawSubstitute(QPainter& painter, const QSizeF& size) {
    const double line = std::max(1.0, size.width() * 0.04);
    const QRectF box = QRectF(QPointF(0, 0), size)
                           .adjusted(size.width() * 0.18, size.height() * 0.18,
                                     -size.width() * 0.18, -size.height() * 0.18);
    painter.setPen(QPen(Qt::black, line));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box, box.width() * 0.22, box.height() * 0.22);
}

QString cacheKey(std::string_view name, double pointSize, style::Weight weight, const QColor& color,
                 double ratio) {
    return PixmapKey(QLatin1StringView("corvanta-symbol:"))
        .add(quint64(generation()))
        .add(pointSize)
        .add((quint64(weight) << 32) | color.rgba())
        .add(ratio)
        .add(name)
        .text();
}

}  // namespace

void SymbolImage::setDirectory(const QString& folder) {
    if (directory() == folder)
        return;
    directory() = folder;
    renderers().clear();
    ++generation();
}

QSizeF SymbolImage::size(std::string_view, double pointSize, style::Weight) {
    return {pointSize, pointSize};
}

QPixmap SymbolImage::pixmap(std::string_view name, double pointSize, style::Weight weight,
                            const QColor& color, double devicePixelRatio) {
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSizeF logical = size(name, pointSize, weight);
    const QSize pixels(std::max(1, int(std::lround(logical.width() * ratio))),
                       std::max(1, int(std::lround(logical.height() * ratio))));
    const QString key = cacheKey(name, pointSize, weight, color, ratio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    // Drawn straight at the device's pixel size, so a ratio of 2 gives twice
    // the pixels rather than an enlarged copy.
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        if (QSvgRenderer* svg = renderer(name, weight)) {
            // Heavier weights than the file's own widen each stroke by
            // drawing it again shifted each way (as a rasteriser emboldens);
            // filled shapes keep their outline.
            const SymbolFiles* files = symbolFiles(name);
            const bool stroked = files && files->light != files->bold;
            const double shift = stroked ? emboldening(weight) * pointSize * ratio / 2 : 0;
            const QRectF frame(QPointF(0, 0), QSizeF(pixels));
            svg->render(&painter, frame);
            if (shift > 0) {
                for (const QPointF offset :
                     {QPointF(shift, 0), QPointF(-shift, 0), QPointF(0, shift), QPointF(0, -shift)})
                    svg->render(&painter, frame.translated(offset));
            }
        } else
            drawSubstitute(painter, QSizeF(pixels));
        // The icon set draws in one colour; keep its coverage, take ours.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(std::move(image));
    result.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, result);
    return result;
}

void SymbolImage::paint(QPainter& painter, const QRectF& box, std::string_view name,
                        double pointSize, style::Weight weight, const QColor& color) {
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap image = pixmap(name, pointSize, weight, color, ratio);
    const QSizeF drawn = image.deviceIndependentSize();
    QPointF topLeft(box.center().x() - drawn.width() / 2, box.center().y() - drawn.height() / 2);
    // Land on whole device pixels where the painter only translates, so the
    // pixmap is copied rather than resampled.
    const QTransform& transform = painter.worldTransform();
    if (transform.type() <= QTransform::TxTranslate) {
        const QPointF device = (topLeft + QPointF(transform.dx(), transform.dy())) * ratio;
        topLeft = QPointF(std::round(device.x()), std::round(device.y())) / ratio -
                  QPointF(transform.dx(), transform.dy());
    }
    painter.drawPixmap(topLeft, image);
}

bool SymbolImage::isKnown(std::string_view name) {
    return renderer(name, style::Weight::regular) != nullptr;
}

}  // namespace corvanta
