// The toolbar: the search field bound to the store's query, the All/Favorites
// filter and the platform badge.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include <QWidget>

#include "interface/BackdropCache.h"
#include "interface/RenderContext.h"
#include "interface/SearchLineEdit.h"

namespace corvanta {

class FilterButton;

// The query field. Ctrl+K and Ctrl+F belong to the panel, not to the line
// edit (which would delete to the end of the line on X11).
class ShortcutSearchField final : public SearchLineEdit {
    Q_OBJECT
public:
    explicit ShortcutSearchField(QWidget* parent);

protected:
    bool event(QEvent* event) override;
};

class ToolbarView final : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        // Renders the new query before it returns.
        std::function<void(const std::string& query)> setQuery;
        std::function<void(bool focused)> setSearchFocused;
        std::function<void(bool favoriteOnly)> setFavoriteOnly;
    };

    ToolbarView(const RenderContextSource& source, Actions actions, QWidget* parent);
    void render(const RenderContext& context);

    // Tells assistive technology again that the search field has the
    // keyboard, for a command that asks for it while it is already there.
    void announceSearchFieldAgain();

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
    void paintPlates(QPainter& painter) const;

    const RenderContextSource& source_;
    Actions actions_;
    ShortcutSearchField* searchField_ = nullptr;
    FilterButton* allButton_ = nullptr;
    FilterButton* favoritesButton_ = nullptr;
    using Face = std::tuple<AppTheme, AppLanguage, bool, bool>;
    std::optional<Face> paintedFace_;
    BackdropCache backdrop_;
};

}  // namespace corvanta
