// The toolbar: the search field bound to the store's query, the All/Favorites
// filter and the platform badge.
#pragma once

#include <QLineEdit>
#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;
class FilterButton;

// The query field. Ctrl+K and Ctrl+F belong to the panel, not to the line
// edit (which would delete to the end of the line on X11), and its focus is
// reported to the root view both ways.
class ShortcutSearchField final : public QLineEdit {
    Q_OBJECT
public:
    ShortcutSearchField(CorvantaView& root, QWidget* parent);
    // True while an input method is composing text in the field.
    bool isComposing() const { return composing_; }

protected:
    bool event(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CorvantaView& root_;
    bool composing_ = false;
};

class ToolbarView final : public QWidget {
    Q_OBJECT
public:
    ToolbarView(CorvantaView& root, QWidget* parent);
    void render(const RenderContext& context);

    ShortcutSearchField* searchField() const { return searchField_; }
    FilterButton* allButton() const { return allButton_; }
    FilterButton* favoritesButton() const { return favoritesButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF searchRect() const;
    QRectF filterGroupRect() const;
    QRectF badgeRect(const RenderContext& context) const;

    CorvantaView& root_;
    ShortcutSearchField* searchField_ = nullptr;
    FilterButton* allButton_ = nullptr;
    FilterButton* favoritesButton_ = nullptr;
};

}  // namespace corvanta
