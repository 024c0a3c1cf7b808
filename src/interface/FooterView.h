// The footer: key hints, the feedback button and the brand. The root view
// paints the footer's background and top divider.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QRectF>
#include <QString>
#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class PlainButton;

class FooterView final : public QWidget {
    Q_OBJECT
public:
    // One painted piece of the footer, in the footer's coordinates.
    struct Item {
        enum class Kind { key, text, logo, brand };
        Kind kind;
        QString text;
        QRectF frame;
    };

    // The logo image file (the bundle's "CorvantaLogo" image); set once at
    // start-up. Without it the brand shows its name only.
    static void setLogoFile(const QString& path);

    struct Actions {
        std::function<void()> presentFeedbackDialog;
    };

    FooterView(const RenderContextSource& source, Actions actions, QWidget* parent);
    // Brings the area in line with the store and the interface state.
    void render(const RenderContext& context);

    // The key hints and the brand in drawing order (the button is a child).
    const std::vector<Item>& items() const { return items_; }
    PlainButton* feedbackButton() const { return feedbackButton_; }
    const QString& feedbackTitle() const { return feedbackTitle_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutItems();

    const RenderContextSource& source_;
    std::optional<std::pair<AppTheme, AppLanguage>> paintedFace_;
    Actions actions_;
    PlainButton* feedbackButton_ = nullptr;
    QString collapseText_;
    QString searchText_;
    QString feedbackTitle_;
    std::vector<Item> items_;
};

}  // namespace corvanta
