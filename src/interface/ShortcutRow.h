// One painted shortcut of the list: its display title, its keys as key caps and
// the favourite star. A plain value built afresh at every drawing.
#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "catalog/AppLanguage.h"
#include "interface/Palette.h"
#include "interface/TextFace.h"

class QPainter;

namespace corvanta {

struct ShortcutItem;

class ShortcutRow {
public:
    static constexpr double kHeight = 41;
    static constexpr double kLeadingPadding = 10;
    static constexpr double kTrailingPadding = 7;
    static constexpr double kSpacing = 8;
    static constexpr double kFillerMinWidth = 5;
    static constexpr double kKeySpacing = 3;
    static constexpr double kStarSize = 22;
    static constexpr double kStarSymbolSize = 11;

    // The label of one key, drawn as a small raised cap.
    struct KeyCap {
        static constexpr double kMinWidth = 21;
        static constexpr double kHeight = 22;
        static constexpr double kPadding = 5;
        static constexpr double kRadius = 6;

        static const style::TextFace& face();
        // Whole points, so caps sit on pixel boundaries.
        static QSizeF size(const style::TextFace& face, const QString& text);
        static void paint(QPainter& painter, const QRectF& cap, const style::TextFace& face,
                          const QString& text, const ThemeColors& colors);
    };

    ShortcutRow(const ShortcutItem& item, AppLanguage language, bool favorite, QColor accent);

    // Chinese titles spell out "px" and "RAM"; both languages lose a final
    // full stop.
    static QString displayTitle(const ShortcutItem& item, AppLanguage language);
    static QString starAccessibilityLabel(const QString& title, AppLanguage language,
                                          bool favorite);
    // A row as it is read: "Save, Command S".
    static QString accessibilityLabel(const ShortcutItem& item, AppLanguage language);
    // The star's frame inside a row's frame.
    static QRectF starRect(const QRectF& row);

    const QString& title() const { return title_; }
    const std::vector<QString>& keyLabels() const { return keys_; }
    bool isFavorite() const { return favorite_; }
    const char* starSymbol() const { return favorite_ ? "star.fill" : "star"; }
    QString starAccessibilityLabel() const;

    // Draws the row into `row` (its full frame, 41 high); `starPressed` dims
    // the star as a plain button does while held.
    void paint(QPainter& painter, const QRectF& row, const ThemeColors& colors,
               bool starPressed = false) const;

private:
    QString title_;
    std::vector<QString> keys_;
    AppLanguage language_;
    bool favorite_;
    QColor accent_;
};

}  // namespace corvanta
