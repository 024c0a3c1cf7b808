// The row of category tabs: "All categories" and one tab per category of the
// selected pack, scrolling sideways (the vertical wheel scrolls it too).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QScrollArea>

#include "interface/RenderContext.h"

namespace corvanta {

class CategoryButton;

class CategoryTabsView final : public QScrollArea {
    Q_OBJECT
public:
    struct Actions {
        std::function<void(const std::string& categoryID)> selectCategory;
    };

    CategoryTabsView(Actions actions, QWidget* parent);
    void render(const RenderContext& context);

    // The tabs in order, "All categories" first.
    const std::vector<CategoryButton*>& tabs() const { return tabs_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutTabs();

    Actions actions_;
    QWidget* row_ = nullptr;
    std::vector<CategoryButton*> tabs_;
    std::vector<std::string> tabIDs_;
};

}  // namespace corvanta
