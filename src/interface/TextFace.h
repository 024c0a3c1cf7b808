// Painted text at its true size. The toolkit rounds a font's pixel size to a
// whole number when it loads it, so a 9.5 point role would draw as 10; a face
// whose size falls between whole pixels lays its text out at about twice the
// size (a whole pixel size) and draws the glyphs at the true size.
#pragma once

#include <utility>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "interface/Style.h"

class QPainter;
class QTextLayout;

namespace corvanta::style {

class TextFace {
public:
    explicit TextFace(double points, Weight weight = Weight::regular,
                      Design design = Design::standard, double tracking = 0);

    double points() const { return points_; }
    // Whether the size lies between whole pixels (and takes the scaled path).
    bool fractional() const { return scale_ != 1; }
    // The font text is laid out with: the true size when whole, else larger.
    const QFont& layoutFont() const { return font_; }
    // What the face draws with (font, size, scale), for keys of pixmaps it
    // drew: two faces that draw alike share them, whatever their addresses.
    const QString& drawKey() const { return drawKey_; }

    double ascent() const { return metrics_.ascent() * scale_; }
    double descent() const { return metrics_.descent() * scale_; }
    double height() const { return metrics_.height() * scale_; }
    double lineSpacing() const { return metrics_.lineSpacing() * scale_; }
    // The advance of one line of `text`, letter spacing included.
    double width(const QString& text) const;
    // `text` cut at its end with an ellipsis so it fits `width`.
    QString elided(const QString& text, double width) const;
    // The ink of `c` relative to its origin on the baseline.
    QRectF inkBounds(QChar c) const;

    // One line in `rect`, elided at the end when too long; clipped to `rect`
    // when it still does not fit (a rect lower than the line). `under`, the
    // opaque colour the rect (and two pixels either side) is known to hold,
    // lets a whole-size line be kept as a pixmap: shaping costs more than
    // drawing, and a list repaints the same titles on every keystroke.
    void drawLine(QPainter& painter, const QRectF& rect, const QString& text, const QColor& color,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                  const QColor& under = QColor()) const;
    // One line starting at `origin`, a point on its baseline; not elided.
    void drawAt(QPainter& painter, const QPointF& origin, const QString& text,
                const QColor& color) const;
    // The size of `text` broken into lines at word boundaries to fit `width`.
    QSizeF wrappedSize(const QString& text, double width) const;
    // `text` broken at word boundaries to fit `rect`'s width, each line
    // aligned horizontally and the block vertically by `alignment`.
    void drawWrapped(QPainter& painter, const QRectF& rect, const QString& text,
                     const QColor& color, Qt::Alignment alignment) const;

private:
    // One line ready to draw at the true size: glyph runs placed from the
    // line's top-left corner, and the line's measures.
    struct Line {
        QList<QGlyphRun> runs;
        double width = 0;
        double height = 0;
        double ascent = 0;
    };
    // `text` on one line, elided to `width` when that is finite. Lines are
    // kept: lists repaint the same labels on every keystroke.
    const Line& line(const QString& text, double width) const;
    // A whole-size line drawn from a kept pixmap; false where a pixmap could
    // not put the same pixels where drawing the line would.
    bool drawKeptLine(QPainter& painter, const QRectF& rect, const QString& shown,
                      const QColor& color, Qt::Alignment alignment, const QColor& under) const;
    // `text` elided to `width` at a whole size, kept for the same reason:
    // measuring a label shapes it, and drawing it shapes it again.
    const QString& elidedLine(const QString& text, double width) const;
    // Lays `text` out in lines of `width` (layout units), returning the
    // block's height in layout units.
    double layOut(QTextLayout& layout, double width, Qt::Alignment alignment) const;
    // The layout's glyphs at the true size, placed from `topLeft`.
    QList<QGlyphRun> trueSizeRuns(const QTextLayout& layout, const QPointF& topLeft) const;

    double points_;
    // True size over layout size: 1 for whole sizes, about 0.5 otherwise.
    double scale_ = 1;
    QFont font_;
    QFontMetricsF metrics_;
    QString drawKey_;
    mutable QHash<std::pair<QString, double>, Line> lines_;
    mutable QHash<std::pair<QString, double>, QString> elidedLines_;
    mutable QHash<QString, double> widths_;
};

// The face of a role, built once.
const TextFace& face(TextRole role);
// A face at any size (text that scales with its shape), kept for reuse.
const TextFace& face(double points, Weight weight, Design design = Design::standard);

}  // namespace corvanta::style
