// A widget's own painting that changes only with its face (theme, language,
// focus) and size, kept as a pixmap. The plates under a transparent child are
// painted again whenever that child repaints (every keystroke in the search
// field); copying them from the pixmap costs a fraction of drawing every
// rounded plate, stroke and clip path again.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace corvanta {

class BackdropCache {
public:
    enum class Beneath { painted, nothing };
    // Draws the widget's backdrop through `painter` (clipped to what is being
    // repainted), painting it afresh with `paint` only when `face`, the
    // widget's size or its pixel ratio differ from the kept one. With nothing
    // painted beneath (the window's bottom layer over its cleared, transparent
    // buffer) the pixels are copied rather than blended: the same result at a
    // fraction of the cost.
    template <typename Paint>
    void draw(const QWidget& widget, QPainter& painter, std::size_t face, Paint&& paint,
              Beneath beneath = Beneath::painted) {
        const qreal ratio = widget.devicePixelRatioF();
        const QSize pixels = (QSizeF(widget.size()) * ratio).toSize();
        if (pixmap_.isNull() || face != face_ || pixmap_.size() != pixels ||
            pixmap_.devicePixelRatio() != ratio) {
            pixmap_ = QPixmap(pixels);
            pixmap_.setDevicePixelRatio(ratio);
            pixmap_.fill(Qt::transparent);
            QPainter backdrop(&pixmap_);
            std::forward<Paint>(paint)(backdrop);
            face_ = face;
        }
        if (beneath == Beneath::nothing)
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        // The raster engine hands a tall copy to its thread pool and waits
        // for the workers to wake, which takes longer than the copy; bands
        // of a few dozen rows stay on this thread.
        const int rows = pixmap_.height();
        for (int top = 0; top < rows; top += kBandRows) {
            const int height = std::min(kBandRows, rows - top);
            const QRectF source(0, top, pixmap_.width(), height);
            painter.drawPixmap(QRectF(source.topLeft() / ratio, source.size() / ratio), pixmap_,
                               source);
        }
    }

    // Copies part of the backdrop as last drawn, `source` in the widget, to
    // `target`: for a child that paints what lies beneath it itself.
    void copy(QPainter& painter, const QRect& source, const QPointF& target) const {
        if (pixmap_.isNull())
            return;
        const qreal ratio = pixmap_.devicePixelRatio();
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(
            QRectF(target, QSizeF(source.size())), pixmap_,
            QRectF(QPointF(source.topLeft()) * ratio, QSizeF(source.size()) * ratio));
        painter.restore();
    }

    static constexpr int kBandRows = 64;

private:
    QPixmap pixmap_;
    std::size_t face_ = 0;
};

}  // namespace corvanta
