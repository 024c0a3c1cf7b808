// Shared painting primitives: the system font at a size in points, the type
// roles, the continuous rounded rectangle and strokes kept inside their
// shape. A point is one logical pixel.
#pragma once

#include <cmath>

#include <QColor>
#include <QEasingCurve>
#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <thread>

class QPainter;

namespace corvanta::style {

enum class Weight { light, regular, medium, semibold, bold };
enum class Design { standard, monospaced };

// The system font (or the system fixed font) at `points`, whatever the
// screen's logical DPI.
QFont systemFont(double points, Weight weight = Weight::regular, Design design = Design::standard);
// Loads the system font's faces into the toolkit's font database on a worker
// thread, so the first frame's text finds them. Call once the application
// object exists, and join the thread before it goes.
std::jthread preloadFonts();
// Letter spacing in points, as the declarative "tracking".
QFont withTracking(QFont font, double points);

// Every kind of text the interface draws, named for where it appears. Sizes,
// weights and tracking live in one table (Style.cpp), so areas never spell
// them out.
enum class TextRole {
    collapsedName,
    collapsedCaption,
    headerPackName,
    headerPackSubtitle,
    headerLanguage,
    searchQuery,
    platformBadge,
    filterTitle,
    categoryTitle,
    miniKey,
    resultTitle,
    resultCount,
    sectionHeader,
    rowTitle,
    keyCap,
    // Key symbols (⌘ ⌥ ⇧ …) inside a key cap; caps scale them up to the
    // height of a capital letter.
    keyCapSymbol,
    emptyTitle,
    emptyMessage,
    footerText,
    footerBrand,
    pickerTitle,
    pickerSubtitle,
    pickerHint,
    pickerSearch,
    pickerSectionTitle,
    pickerSectionCount,
    pickerTileName,
    pickerTileDetail,
    pickerEmptyTitle,
    pickerEmptyMessage,
    sheetHeader,
    sheetLabel,
    sheetNameField,
    sheetTextArea,
    sheetButton,
    sheetError,
    toast,
};

// How a role's text looks.
struct TypeRole {
    double points;
    Weight weight = Weight::regular;
    Design design = Design::standard;
    double tracking = 0;
    // Shown in an editable field, which the toolkit draws at whole pixel
    // sizes only; the role's painted stand-ins (a prompt in the field's
    // place) take the same whole size so the two never differ.
    bool field = false;

    double shownPoints() const { return field ? std::round(points) : points; }
};
TypeRole typeRole(TextRole role);

// The toolkit font of a role, for widgets the toolkit draws (fields, labels).
// It draws sizes between whole pixels rounded; painted text goes through
// the role's face (TextFace.h) instead.
QFont font(TextRole role);

// A rounded rectangle whose corners blend into the sides (continuous curvature),
// radius clamped to fit. Paths are cached by size and radius.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

// `point` moved to the nearest whole device pixel of what `painter` paints on
// (up and left when halfway), so a shape drawn there has crisp edges at any
// scale.
QPointF snappedToDevice(const QPainter& painter, QPointF point);
// The rectangle to stroke with a centred line of `width` so that the line
// covers whole device pixels: each edge moves to the nearest such place,
// inwards when halfway. Unchanged where the painter rotates or flips.
QRectF strokeAligned(const QPainter& painter, const QRectF& rect, double width = 1);

// Fills `rect` with the continuous rounded rectangle.
void fillRoundedRect(QPainter& painter, const QRectF& rect, double radius, const QColor& color);
// Strokes the rounded rectangle with a centred line of `width`, as the
// declarative stroke does: the outer half falls outside `rect`. The line is
// moved onto whole device pixels (strokeAligned), never drawn across two.
void strokeRoundedRect(QPainter& painter, const QRectF& rect, double radius, const QColor& color,
                       double width = 1);
// Strokes so the whole line lies inside `rect` (for shapes that are clipped to
// themselves), on whole device pixels as above.
void strokeRoundedRectInside(QPainter& painter, const QRectF& rect, double radius,
                             const QColor& color, double width = 1);

// The declarative curves: ease-out (0, 0, 0.58, 1) and ease-in (0.42, 0, 1, 1).
QEasingCurve easeOutCurve();
QEasingCurve easeInCurve();

// Escapes "&" so a button title shows it instead of making a mnemonic.
QString buttonText(const QString& text);

}  // namespace corvanta::style
