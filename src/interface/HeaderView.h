// The expanded panel's header: grip, the pack button that opens the picker,
// and the theme, pin, language, expand and close controls.
#pragma once

#include <QRect>
#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;
class IconButton;
class PlainButton;

class HeaderView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kPackButtonWidth = 145;
    static constexpr double kPackButtonHeight = 34;

    HeaderView(CorvantaView& root, QWidget* parent);
    void render(const RenderContext& context);

    // Where the picker's popover is anchored, in global coordinates.
    QRect packButtonGlobalRect() const;

    PlainButton* packButton() const { return packButton_; }
    IconButton* themeButton() const { return themeButton_; }
    IconButton* pinButton() const { return pinButton_; }
    PlainButton* languageButton() const { return languageButton_; }
    IconButton* expandButton() const { return expandButton_; }
    IconButton* closeButton() const { return closeButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CorvantaView& root_;
    PlainButton* packButton_ = nullptr;
    IconButton* themeButton_ = nullptr;
    IconButton* pinButton_ = nullptr;
    PlainButton* languageButton_ = nullptr;
    IconButton* expandButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
    bool lastShowsSoftwarePicker_ = false;
};

}  // namespace corvanta
