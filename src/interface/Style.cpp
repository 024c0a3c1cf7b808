// Painting primitives; see Style.h.
#include "interface/Style.h"

#include <algorithm>
#include <map>
#include <tuple>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace corvanta::style {

namespace {

double logicalDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchY();
    return 96.0;
}

QFont::Weight qtWeight(Weight weight) {
    switch (weight) {
        case Weight::light:
            return QFont::Light;
        case Weight::regular:
            return QFont::Normal;
        case Weight::medium:
            return QFont::Medium;
        case Weight::semibold:
            return QFont::DemiBold;
        case Weight::bold:
            return QFont::Bold;
    }
    return QFont::Normal;
}

// Control points of one continuous corner, in units of the radius, measured
// from the corner along the two sides (the curve starts 1.528 radii out).
constexpr double kCornerStart = 1.52866483;

void addCorner(QPainterPath& path, QPointF corner, QPointF alongIn, QPointF alongOut, double r) {
    auto at = [&](double a, double b) { return corner + alongIn * (a * r) + alongOut * (b * r); };
    path.lineTo(at(kCornerStart, 0));
    path.cubicTo(at(1.08849323, 0), at(0.86840689, 0), at(0.63149399, 0.07491100));
    path.cubicTo(at(0.37282392, 0.16905899), at(0.16905899, 0.37282392),
                 at(0.07491100, 0.63149399));
    path.cubicTo(at(0, 0.86840689), at(0, 1.08849323), at(0, kCornerStart));
}

QPainterPath buildContinuous(double width, double height, double radius) {
    QPainterPath path;
    const double r = std::clamp(radius, 0.0, std::min(width, height) / 2 / kCornerStart);
    if (r <= 0) {
        path.addRect(0, 0, width, height);
        return path;
    }
    path.moveTo(kCornerStart * r, 0);
    // Top edge to the top-right corner, then clockwise.
    addCorner(path, {width, 0}, {-1, 0}, {0, 1}, r);
    addCorner(path, {width, height}, {0, -1}, {-1, 0}, r);
    addCorner(path, {0, height}, {1, 0}, {0, -1}, r);
    addCorner(path, {0, 0}, {0, 1}, {1, 0}, r);
    path.closeSubpath();
    return path;
}

}  // namespace

// The interface's stand-in for the platform's system font: Inter where it is
// installed (its metrics are close), then the desktop's own font; Chinese text
// falls back to Noto Sans CJK.
QFont baseFont(Design design) {
    if (design == Design::monospaced)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Families that are not installed are skipped when text is drawn; asking
    // the font database first would load all of it at start-up.
    static const QStringList families = {QStringLiteral("Inter"),
                                         QStringLiteral("Noto Sans CJK SC"),
                                         QGuiApplication::font().family()};
    QFont font = QGuiApplication::font();
    font.setFamilies(families);
    return font;
}

QFont systemFont(double points, Weight weight, Design design) {
    QFont font = baseFont(design);
    font.setPointSizeF(points * 72.0 / logicalDpi());
    font.setWeight(qtWeight(weight));
    font.setKerning(true);
    return font;
}

std::jthread preloadFonts() {
    // Only plain values cross threads: a font object's resolved engines belong
    // to the thread that resolved them.
    QStringList families = baseFont(Design::standard).families();
    return std::jthread([families = std::move(families)] {
        // The font database is shared and locked, so what this resolves (the
        // installed families and their fallbacks) is there for the main
        // thread. Chinese fallbacks are left out: resolving them holds the
        // lock long enough to stall an English first frame.
        for (const QFont::Weight weight : {QFont::DemiBold, QFont::Normal}) {
            QFont font;
            font.setFamilies(families);
            font.setWeight(weight);
            QFontMetricsF(font).horizontalAdvance(QStringLiteral("Corvanta"));
        }
    });
}

QFont withTracking(QFont font, double points) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, points);
    return font;
}

TypeRole typeRole(TextRole role) {
    constexpr Weight medium = Weight::medium;
    constexpr Weight semibold = Weight::semibold;
    constexpr Weight bold = Weight::bold;
    constexpr Design mono = Design::monospaced;
    switch (role) {
        case TextRole::collapsedName:
            return {13.5, semibold};
        case TextRole::collapsedCaption:
            return {10.5};
        case TextRole::headerPackName:
            return {12.5, semibold};
        case TextRole::headerPackSubtitle:
            return {9.5};
        case TextRole::headerLanguage:
            return {10.5, bold};
        case TextRole::searchQuery:
            return {.points = 11.5, .field = true};
        case TextRole::platformBadge:
            return {9.5, medium};
        case TextRole::filterTitle:
            return {9.5};
        case TextRole::categoryTitle:
            return {10};
        case TextRole::miniKey:
            return {8, medium, mono};
        case TextRole::resultTitle:
            return {9.5, semibold};
        case TextRole::resultCount:
            return {9.5};
        case TextRole::sectionHeader:
            return {8.5, bold, Design::standard, 0.8};
        case TextRole::rowTitle:
            return {11};
        case TextRole::keyCap:
            return {9.5, semibold, mono};
        case TextRole::keyCapSymbol:
            return {9.5, semibold};
        case TextRole::emptyTitle:
            return {12, semibold};
        case TextRole::emptyMessage:
            return {10};
        case TextRole::footerText:
            return {8.5};
        case TextRole::footerBrand:
            return {8.5, semibold, Design::standard, 0.4};
        case TextRole::pickerTitle:
            return {12, semibold};
        case TextRole::pickerSubtitle:
            return {9};
        case TextRole::pickerHint:
            return {8.5};
        case TextRole::pickerSearch:
            return {.points = 10.5, .field = true};
        case TextRole::pickerSectionTitle:
            return {9, bold};
        case TextRole::pickerSectionCount:
            return {8, semibold};
        case TextRole::pickerTileName:
            return {10.5, semibold};
        case TextRole::pickerTileDetail:
            return {8.5};
        case TextRole::pickerEmptyTitle:
            return {11, semibold};
        case TextRole::pickerEmptyMessage:
            return {9};
        case TextRole::sheetHeader:
            return {13, semibold};
        case TextRole::sheetLabel:
            return {9.5, semibold};
        case TextRole::sheetNameField:
            return {.points = 11, .field = true};
        case TextRole::sheetTextArea:
            return {.points = 10.5, .field = true};
        case TextRole::sheetButton:
            return {11, semibold};
        case TextRole::sheetError:
            return {10};
        case TextRole::toast:
            return {10.5, semibold};
    }
    return {10};
}

QFont font(TextRole role) {
    const TypeRole type = typeRole(role);
    QFont font = systemFont(type.shownPoints(), type.weight, type.design);
    return type.tracking == 0 ? font : withTracking(font, type.tracking);
}

QPainterPath continuousRoundedRect(const QRectF& rect, double radius) {
    using Key = std::tuple<double, double, double>;
    static std::map<Key, QPainterPath> cache;
    const Key key{rect.width(), rect.height(), radius};
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 512)
            cache.clear();
        it = cache.emplace(key, buildContinuous(rect.width(), rect.height(), radius)).first;
    }
    return it->second.translated(rect.topLeft());
}

namespace {

// Whether `transform` only scales (up, not flipped) and moves.
bool isUprightScale(const QTransform& transform) {
    return transform.type() <= QTransform::TxScale && transform.m11() > 0 && transform.m22() > 0;
}

// Rounding to whole pixels, halfway cases settled one way; the slack absorbs
// the error of a value computed as a half.
constexpr double kSlack = 1e-9;
double roundDown(double v) {
    return std::ceil(v - 0.5 - kSlack);
}
double roundUp(double v) {
    return std::floor(v + 0.5 + kSlack);
}

}  // namespace

QPointF snappedToDevice(const QPainter& painter, QPointF point) {
    const QTransform transform = painter.deviceTransform();
    if (!isUprightScale(transform))
        return point;
    const QPointF device = transform.map(point);
    return transform.inverted().map(QPointF(roundDown(device.x()), roundDown(device.y())));
}

QRectF strokeAligned(const QPainter& painter, const QRectF& rect, double width) {
    const QTransform transform = painter.deviceTransform();
    if (!isUprightScale(transform))
        return rect;
    const QRectF device = transform.mapRect(rect);
    const double halfX = width * transform.m11() / 2;
    const double halfY = width * transform.m22() / 2;
    // The line's outer boundary goes to a pixel boundary.
    const QRectF aligned(
        QPointF(roundUp(device.left() - halfX) + halfX, roundUp(device.top() - halfY) + halfY),
        QPointF(roundDown(device.right() + halfX) - halfX,
                roundDown(device.bottom() + halfY) - halfY));
    return transform.inverted().mapRect(aligned);
}

void fillRoundedRect(QPainter& painter, const QRectF& rect, double radius, const QColor& color) {
    painter.fillPath(continuousRoundedRect(rect, radius), color);
}

void strokeRoundedRect(QPainter& painter, const QRectF& rect, double radius, const QColor& color,
                       double width) {
    painter.save();
    painter.setPen(QPen(color, width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(continuousRoundedRect(strokeAligned(painter, rect, width), radius));
    painter.restore();
}

void strokeRoundedRectInside(QPainter& painter, const QRectF& rect, double radius,
                             const QColor& color, double width) {
    const double half = width / 2;
    strokeRoundedRect(painter, rect.adjusted(half, half, -half, -half),
                      std::max(0.0, radius - half), color, width);
}

QEasingCurve easeOutCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

QEasingCurve easeInCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(1, 1), QPointF(1, 1));
    return curve;
}

QString buttonText(const QString& text) {
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace corvanta::style
