// The panel's recurring small pieces: the divider line, the key hint chip, the
// All/Favorites segment, the category tab, the square icon button and the grip
// of dots. Buttons are plain: no bezel, no focus, no hover effect; pressing only
// dims them.
#pragma once

#include <optional>
#include <string>

#include <QAbstractButton>
#include <QColor>
#include <QKeySequence>
#include <QString>

#include "interface/Palette.h"

class QPainter;

namespace corvanta {

struct SolidDivider {
    // A 1-point line of `border` along the top of `line`.
    static void paint(QPainter& painter, const QRectF& line, const ThemeColors& colors);
};

struct MiniKey {
    static constexpr double kHeight = 16;
    static QSizeF size(const QString& text);
    // Draws the chip with its top-left corner at `origin`.
    static void paint(QPainter& painter, QPointF origin, const QString& text,
                      const ThemeColors& colors);
};

struct DragDots {
    static constexpr double kWidth = 7;
    static constexpr double kHeight = 12;
    // Draws the grip centred in `frame`.
    static void paint(QPainter& painter, const QRectF& frame, const ThemeColors& colors);
};

// A button without a bezel or hover effect that dims while pressed. Tab and
// Shift+Tab reach it (a click never focuses it) and Space presses it; a ring
// shows where the keyboard is, and only while it came there by the keyboard.
class PlainButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PlainButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return size(); }

    // The ring's colour follows the panel's theme; one panel, one theme.
    static void setFocusIndicatorColor(const QColor& color);
    bool showsFocusIndicator() const { return keyboardFocus_ || standsInForFocus_; }

    // What assistive technology reads besides the name: an on/off state (a
    // check box) or the chosen one of several (a radio button), and a popup
    // the button opens (with whether it is open). The look is the subclass's
    // own.
    void setAccessibleChecked(bool checked, bool oneOfSeveral = false);
    bool isOneOfSeveral() const { return oneOfSeveral_; }
    void setAccessiblePopup(bool open);
    bool opensPopup() const { return opensPopup_; }
    bool popupIsOpen() const { return popupOpen_; }
    // The key that presses it from elsewhere, as its press action's binding.
    void setAccessibleShortcut(const QKeySequence& keys) { accessibleShortcut_ = keys; }
    const QKeySequence& accessibleShortcut() const { return accessibleShortcut_; }
    // A button inside a group that keeps the keyboard (a grid's current
    // tile) looks and reads as focused while the group has it.
    void setStandsInForFocus(bool current);
    bool standsInForFocus() const { return standsInForFocus_; }
    // Whether the last press came from the keyboard (Space) or the mouse.
    bool wasPressedByKeyboard() const { return pressedByKeyboard_; }

protected:
    // Opacity of the content while pressed.
    double pressOpacity() const { return isDown() ? 0.7 : 1.0; }
    // Sizes a titled button to its content, names it by its title and
    // repaints when its look `changed`.
    void applyTitledContent(const QString& title, double width, double height, bool changed);
    // The corner radius of the focus ring, to match the button's shape.
    virtual double focusIndicatorRadius() const { return 6; }

    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The state shown is the state rendered, never flipped by the click.
    void nextCheckState() override {}

private:
    void paintFocusIndicator();

    bool keyboardFocus_ = false;
    bool standsInForFocus_ = false;
    bool pressedByKeyboard_ = false;
    bool oneOfSeveral_ = false;
    bool opensPopup_ = false;
    bool popupOpen_ = false;
    QKeySequence accessibleShortcut_;
};

class IconButton final : public PlainButton {
    Q_OBJECT
public:
    static constexpr double kSize = 30;
    explicit IconButton(QWidget* parent = nullptr);
    void setContent(const std::string& systemName, const QColor& color,
                    const QString& accessibilityLabel, const QColor& background);
    const std::string& systemName() const { return systemName_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    double focusIndicatorRadius() const override;

private:
    std::string systemName_;
    QColor color_;
    QColor background_;
};

class FilterButton final : public PlainButton {
    Q_OBJECT
public:
    static constexpr double kHeight = 25;
    explicit FilterButton(QWidget* parent = nullptr);
    // Resizes the button to its content.
    void setContent(const QString& title, const std::optional<std::string>& systemName, bool active,
                    const ThemeColors& colors);
    bool isActive() const { return active_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    double focusIndicatorRadius() const override;

private:
    QString title_;
    std::optional<std::string> systemName_;
    bool active_ = false;
    QColor fill_;
    QColor foreground_;
};

class CategoryButton final : public PlainButton {
    Q_OBJECT
public:
    static constexpr double kHeight = 25;
    explicit CategoryButton(QWidget* parent = nullptr);
    // Resizes the button to its title.
    void setContent(const QString& title, bool active, const QColor& accent,
                    const ThemeColors& colors);
    bool isActive() const { return active_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    double focusIndicatorRadius() const override;

private:
    QString title_;
    bool active_ = false;
    QColor fill_;
    QColor stroke_;
    QColor foreground_;
};

}  // namespace corvanta
