// Painted text at its true size; see TextFace.h.
#include "interface/TextFace.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include "interface/KeptPixmap.h"

namespace corvanta::style {

namespace {

// Lines wide enough that nothing wraps, in layout units.
constexpr double kUnbounded = 1e6;

// Sizes this close to a whole pixel are whole: table sizes are exact halves,
// scaled ones carry rounding noise.
bool isWhole(double pixels) {
    return std::abs(pixels - std::round(pixels)) < 1e-3;
}

QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

// Eliding lays the whole text out, which for a pasted megabyte takes seconds.
// Past a prefix already wider than the line, more text cannot change what is
// shown, so a long text is cut to a prefix twice as wide as the line first.
QString elisionPrefix(const QString& text, const QFontMetricsF& metrics, double width) {
    constexpr qsizetype kShortText = 512;
    for (qsizetype length = kShortText; length < text.size(); length *= 4) {
        const qsizetype cut = text[length].isLowSurrogate() ? length + 1 : length;
        QString prefix = text.left(cut);
        if (metrics.horizontalAdvance(prefix) > 2 * width)
            return prefix;
    }
    return text;
}

// `laidOut` (a font engine of the larger layout) at `pixelSize`. Each resize
// makes a new engine with an empty glyph cache, so the resized fonts are
// kept: drawing would otherwise render every glyph afresh on every paint.
QRawFont resized(const QRawFont& laidOut, double pixelSize) {
    struct Entry {
        QRawFont source;
        double pixelSize;
        QRawFont font;
    };
    static std::vector<Entry> cache;
    for (const Entry& entry : cache) {
        if (entry.pixelSize == pixelSize && entry.source == laidOut)
            return entry.font;
    }
    // Faces times fallbacks stay far below this; the bound only guards
    // against text scaled through many sizes.
    if (cache.size() >= 128)
        cache.clear();
    QRawFont font = laidOut;
    font.setPixelSize(pixelSize);
    cache.push_back({laidOut, pixelSize, font});
    return font;
}

bool needsClip(const QRectF& rect, const QRectF& bounds) {
    // A hair of tolerance: halved metrics land on fractions.
    return !rect.adjusted(-0.01, -0.01, 0.01, 0.01).contains(bounds);
}

}  // namespace

TextFace::TextFace(double points, Weight weight, Design design, double tracking)
    : points_(points), font_(systemFont(points, weight, design)), metrics_(font_) {
    if (isWhole(points)) {
        // The toolkit's own path, pixel for pixel what it always drew.
        if (tracking != 0)
            font_ = withTracking(font_, tracking);
    } else {
        const double layoutPixels = std::max(1.0, std::round(points * 2));
        scale_ = points / layoutPixels;
        font_.setPixelSize(int(layoutPixels));
        if (tracking != 0)
            font_ = withTracking(font_, tracking / scale_);
    }
    metrics_ = QFontMetricsF(font_);
    drawKey_ = font_.key() + QLatin1Char('|') + QString::number(points_, 'g', 17) +
               QLatin1Char('|') + QString::number(scale_, 'g', 17);
}

double TextFace::width(const QString& text) const {
    // Measuring shapes the text; tabs, filters and counts measure the same
    // labels each time the panel renders.
    if (const auto it = widths_.constFind(text); it != widths_.cend())
        return *it;
    if (widths_.size() >= 512)
        widths_.clear();
    return *widths_.insert(text, metrics_.horizontalAdvance(text) * scale_);
}

QString TextFace::elided(const QString& text, double width) const {
    return metrics_.elidedText(elisionPrefix(text, metrics_, width / scale_), Qt::ElideRight,
                               width / scale_);
}

QRectF TextFace::inkBounds(QChar c) const {
    const QRectF ink = metrics_.boundingRect(c);
    return {ink.left() * scale_, ink.top() * scale_, ink.width() * scale_, ink.height() * scale_};
}

double TextFace::layOut(QTextLayout& layout, double width, Qt::Alignment alignment) const {
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(width >= kUnbounded ? QTextOption::NoWrap : QTextOption::WordWrap);
    layout.setTextOption(option);
    const double leading = metrics_.leading();
    double y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height() + leading;
    }
    layout.endLayout();
    return layout.lineCount() > 0 ? y - leading : 0;
}

QList<QGlyphRun> TextFace::trueSizeRuns(const QTextLayout& layout, const QPointF& topLeft) const {
    QList<QGlyphRun> runs = layout.glyphRuns();
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions) position = topLeft + position * scale_;
        run.setPositions(positions);
        const QRawFont laidOut = run.rawFont();
        run.setRawFont(resized(laidOut, laidOut.pixelSize() * scale_));
    }
    return runs;
}

const TextFace::Line& TextFace::line(const QString& text, double width) const {
    // Kept by what can show, so that a very long text is not kept whole.
    const QString shown =
        width < kUnbounded ? elisionPrefix(oneLine(text), metrics_, width / scale_) : oneLine(text);
    const std::pair<QString, double> key{shown, width};
    if (auto it = lines_.constFind(key); it != lines_.cend())
        return *it;
    // Labels repeat; the bound only keeps ever-changing text from piling up.
    if (lines_.size() >= 512)
        lines_.clear();
    QTextLayout layout(width < kUnbounded ? elided(shown, width) : shown, font_);
    Line line;
    line.height = layOut(layout, kUnbounded, Qt::AlignLeft) * scale_;
    if (layout.lineCount() > 0) {
        line.width = layout.lineAt(0).naturalTextWidth() * scale_;
        line.ascent = layout.lineAt(0).ascent() * scale_;
        line.runs = trueSizeRuns(layout, QPointF());
    }
    return *lines_.insert(key, std::move(line));
}

const QString& TextFace::elidedLine(const QString& text, double width) const {
    const std::pair<QString, double> key{elisionPrefix(text, metrics_, width), width};
    if (auto it = elidedLines_.constFind(key); it != elidedLines_.cend())
        return *it;
    if (elidedLines_.size() >= 512)
        elidedLines_.clear();
    return *elidedLines_.insert(key, metrics_.elidedText(key.first, Qt::ElideRight, width));
}

bool TextFace::drawKeptLine(QPainter& painter, const QRectF& rect, const QString& shown,
                            const QColor& color, Qt::Alignment alignment,
                            const QColor& under) const {
    // Text drawn over an opaque colour blends differently from text drawn
    // into a transparent pixmap, so the pixmap is filled with the colour the
    // line lies on. Only a plain shift keeps each glyph where a direct drawing
    // would put it: the pixmap goes on whole device pixels, and the line
    // inside it keeps the fraction of a pixel the rectangle starts at.
    const QTransform& transform = painter.deviceTransform();
    if (!under.isValid() || under.alpha() != 255 || transform.type() > QTransform::TxTranslate ||
        !painter.device() || painter.device()->devicePixelRatioF() != 1 || painter.opacity() != 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || rect.width() > 4096 ||
        rect.height() > 256)
        return false;
    const double left = rect.left() + transform.dx();
    const double top = rect.top() + transform.dy();
    const QPointF fraction(left - std::floor(left), top - std::floor(top));
    // Room on each side for a first or last glyph's overhang; above and
    // below, the line's own rectangle is the row it sits in.
    constexpr int kMargin = 2;
    const QString key = PixmapKey(QLatin1StringView("corvanta-line:"))
                            .add(drawKey_)
                            .add(rect.width())
                            .add(rect.height())
                            .add(fraction.x())
                            .add(fraction.y())
                            .add((quint64(color.rgba()) << 32) | quint64(under.rgba()))
                            .add(quint64(alignment) | (quint64(painter.renderHints()) << 32))
                            .add(shown)
                            .text();
    const QSize pixels(int(std::ceil(rect.width() + fraction.x())) + 2 * kMargin,
                       int(std::ceil(rect.height() + fraction.y())));
    painter.drawPixmap(
        rect.topLeft() - fraction - QPointF(kMargin, 0),
        keptPixmap(key, pixels, 1, under, painter.renderHints(), [&](QPainter& linePainter) {
            linePainter.setPen(color);
            linePainter.setFont(font_);
            linePainter.drawText(QRectF(fraction + QPointF(kMargin, 0), rect.size()),
                                 int(alignment) | Qt::TextSingleLine, shown);
        }));
    return true;
}

void TextFace::drawLine(QPainter& painter, const QRectF& rect, const QString& text,
                        const QColor& color, Qt::Alignment alignment, const QColor& under) const {
    if (!fractional()) {
        const QString& shown = elidedLine(text, rect.width());
        if (drawKeptLine(painter, rect, shown, color, alignment, under))
            return;
        painter.save();
        painter.setPen(color);
        painter.setFont(font_);
        painter.drawText(rect, int(alignment) | Qt::TextSingleLine, shown);
        painter.restore();
        return;
    }
    painter.save();
    painter.setPen(color);
    const Line& shown = line(text, rect.width());
    const double width = shown.width;
    const double height = shown.height;
    double x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.right() - width;
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - width) / 2;
    double y = rect.top();
    if (alignment & Qt::AlignBottom)
        y = rect.bottom() - height;
    else if (alignment & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - height) / 2;
    if (needsClip(rect, QRectF(x, y, width, height)))
        painter.setClipRect(rect, Qt::IntersectClip);
    for (const QGlyphRun& run : shown.runs) painter.drawGlyphRun(QPointF(x, y), run);
    painter.restore();
}

void TextFace::drawAt(QPainter& painter, const QPointF& origin, const QString& text,
                      const QColor& color) const {
    painter.save();
    painter.setPen(color);
    if (fractional()) {
        const Line& shown = line(text, kUnbounded);
        for (const QGlyphRun& run : shown.runs)
            painter.drawGlyphRun(origin - QPointF(0, shown.ascent), run);
    } else {
        painter.setFont(font_);
        painter.drawText(origin, text);
    }
    painter.restore();
}

QSizeF TextFace::wrappedSize(const QString& text, double width) const {
    if (!fractional()) {
        return metrics_
            .boundingRect(QRectF(0, 0, width, kUnbounded), Qt::AlignLeft | Qt::TextWordWrap, text)
            .size();
    }
    QTextLayout layout(text, font_);
    const double height = layOut(layout, width / scale_, Qt::AlignLeft);
    double widest = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        widest = std::max(widest, layout.lineAt(i).naturalTextWidth());
    return {widest * scale_, height * scale_};
}

void TextFace::drawWrapped(QPainter& painter, const QRectF& rect, const QString& text,
                           const QColor& color, Qt::Alignment alignment) const {
    painter.save();
    painter.setPen(color);
    if (!fractional()) {
        painter.setFont(font_);
        painter.drawText(rect, int(alignment) | Qt::TextWordWrap, text);
        painter.restore();
        return;
    }
    QTextLayout layout(text, font_);
    const double height = layOut(layout, rect.width() / scale_, alignment) * scale_;
    double y = rect.top();
    if (alignment & Qt::AlignBottom)
        y = rect.bottom() - height;
    else if (alignment & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - height) / 2;
    if (needsClip(rect, QRectF(rect.left(), y, rect.width(), height)))
        painter.setClipRect(rect, Qt::IntersectClip);
    for (const QGlyphRun& run : trueSizeRuns(layout, QPointF(rect.left(), y)))
        painter.drawGlyphRun(QPointF(), run);
    painter.restore();
}

const TextFace& face(TextRole role) {
    static std::array<std::optional<TextFace>, std::size_t(TextRole::toast) + 1> faces;
    std::optional<TextFace>& slot = faces[std::size_t(role)];
    if (!slot) {
        const TypeRole type = typeRole(role);
        slot.emplace(type.shownPoints(), type.weight, type.design, type.tracking);
    }
    return *slot;
}

const TextFace& face(double points, Weight weight, Design design) {
    using Key = std::tuple<double, Weight, Design>;
    // Entries are never dropped: callers hold references, and the sizes in
    // use are few (one per shape size that scales its text).
    static std::map<Key, TextFace> faces;
    const Key key{points, weight, design};
    auto it = faces.find(key);
    if (it == faces.end())
        it = faces.emplace(key, TextFace(points, weight, design)).first;
    return it->second;
}

}  // namespace corvanta::style
