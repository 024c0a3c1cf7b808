// Pieces of painting kept as pixmaps in QPixmapCache, and their keys. Keys
// are built by appending raw values: a list repaint looks up dozens of kept
// pixmaps per keystroke, and spelling each key's numbers out in decimal
// (doubles included) cost more than the look-ups.
#pragma once

#include <cstring>
#include <string_view>
#include <utility>

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QSize>
#include <QString>
#include <QtGlobal>

namespace corvanta {

class PixmapKey {
public:
    explicit PixmapKey(QLatin1StringView kind) : key_(kind) { key_.reserve(64); }

    PixmapKey& add(quint64 value) {
        for (int shift = 0; shift < 64; shift += 16) key_.append(QChar(char16_t(value >> shift)));
        return *this;
    }
    PixmapKey& add(double value) {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return add(bits);
    }
    // A text goes in with its length, so that two parts can never run
    // together into the same key.
    PixmapKey& add(const QString& text) {
        add(quint64(text.size()));
        key_.append(text);
        return *this;
    }
    PixmapKey& add(std::string_view text) {
        return add(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }

    const QString& text() const { return key_; }

private:
    QString key_;
};

// The pixmap kept under `key`; the first time, `paint` draws it on a pixmap of
// `pixels` device pixels at `ratio`, filled with `fill`, through a painter
// with `hints`.
template <typename Paint>
QPixmap keptPixmap(const QString& key, QSize pixels, qreal ratio, const QColor& fill,
                   QPainter::RenderHints hints, Paint&& paint) {
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(fill);
    {
        QPainter painter(&pixmap);
        painter.setRenderHints(hints);
        std::forward<Paint>(paint)(painter);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

}  // namespace corvanta
