// The expanded panel's header: grip, the pack button that opens the picker,
// and the theme, pin, language, expand and close controls.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include <QRect>
#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class IconButton;
class PlainButton;

class HeaderView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kPackButtonWidth = 145;
    static constexpr double kPackButtonHeight = 34;

    // What the header's controls ask for.
    struct Actions {
        std::function<void()> toggleSoftwarePicker;
        std::function<void()> toggleTheme;
        std::function<void()> togglePin;
        std::function<void()> toggleLanguage;
        std::function<void()> toggleExpansion;
        std::function<void()> closeWindow;
    };

    HeaderView(const RenderContextSource& source, Actions actions, QWidget* parent);
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
    const RenderContextSource& source_;
    Actions actions_;
    PlainButton* packButton_ = nullptr;
    IconButton* themeButton_ = nullptr;
    IconButton* pinButton_ = nullptr;
    PlainButton* languageButton_ = nullptr;
    IconButton* expandButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
    using Face = std::tuple<AppTheme, AppLanguage, std::string, bool>;
    std::optional<Face> paintedFace_;
};

}  // namespace corvanta
