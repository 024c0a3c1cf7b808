// The collapsed bar: grip, logo, pack name and caption, expand and close
// buttons on a rounded plate. Only the row fades during a transition; the
// plate and its outline stay.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include <QWidget>

#include "interface/RenderContext.h"

class QGraphicsOpacityEffect;
class QVariantAnimation;

namespace corvanta {

class IconButton;

class CollapsedBar final : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> toggleExpansion;
        std::function<void()> closeWindow;
    };

    CollapsedBar(const RenderContextSource& source, Actions actions, QWidget* parent);
    void render(const RenderContext& context);
    // Fades the row (not the plate) to `opacity`, or sets it at once.
    void setContentOpacity(double opacity, std::optional<StateAnimation> animation);
    // The opacity on screen now (mid-animation values included).
    double displayedContentOpacity() const;

    IconButton* expandButton() const { return expandButton_; }
    IconButton* closeButton() const { return closeButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Row;
    void applyOpacity(double opacity);

    const RenderContextSource& source_;
    Actions actions_;
    Row* row_ = nullptr;
    IconButton* expandButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
    QGraphicsOpacityEffect* opacityEffect_ = nullptr;
    QVariantAnimation* opacityAnimation_ = nullptr;
    using Face = std::tuple<AppTheme, AppLanguage, std::string>;
    std::optional<Face> paintedFace_;
};

}  // namespace corvanta
