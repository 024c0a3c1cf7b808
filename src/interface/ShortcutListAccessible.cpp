// How assistive technology sees the shortcut list; see ShortcutListAccessible.h.
#include "interface/ShortcutListAccessible.h"

#include <algorithm>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <QWidget>

namespace corvanta {

namespace {

// A row's star as an accessible button; the list draws it, so it has no
// object of its own.
class StarAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    StarAccessible(QWidget* widget, AccessibleShortcutList& list, int section, int row)
        : widget_(widget), list_(&list), section_(section), row_(row) {}

    bool isValid() const override { return widget_ && row_ < list_->rowCount(section_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return widget_ ? widget_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(widget_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && widget_ ? list_->starAccessibleName(section_, row_)
                                                    : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!widget_)
            return {};
        const QRect star = list_->starRect(section_, row_);
        return QRect(list_->listViewport()->mapToGlobal(star.topLeft()), star.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!widget_ || !list_->listViewport()->rect().contains(list_->starRect(section_, row_)))
            state.offscreen = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (widget_ && name == pressAction())
            list_->toggleFavorite(section_, row_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    std::pair<int, int> position() const { return {section_, row_}; }

private:
    // The list outlives its stars only while its widget does.
    QPointer<QWidget> widget_;
    AccessibleShortcutList* list_;
    int section_;
    int row_;
};

// The list as assistive technology sees it: one star button per row, and the
// empty state's title and message when no row is shown.
class ShortcutListAccessible final : public QAccessibleWidget {
public:
    ShortcutListAccessible(QWidget* widget, AccessibleShortcutList& list)
        : QAccessibleWidget(widget, QAccessible::List), list_(list) {}

    int childCount() const override { return static_cast<int>(list().rows().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto& rows = list().rows();
        if (index < 0 || index >= static_cast<int>(rows.size()))
            return nullptr;
        const auto [section, row] = rows[static_cast<std::size_t>(index)];
        return list().starAccessible(section, row);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* star = dynamic_cast<const StarAccessible*>(child);
        if (!star)
            return -1;
        // Rows are in (section, row) order, so the star's place is searched.
        const auto& rows = list().rows();
        const auto found = std::lower_bound(rows.begin(), rows.end(), star->position());
        if (found == rows.end() || *found != star->position() ||
            list().starAccessible(found->first, found->second) != child)
            return -1;
        return static_cast<int>(found - rows.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = list().listViewport()->mapFromGlobal(QPoint(x, y));
        for (const auto& [section, row] : list().rows()) {
            if (list().starRect(section, row).contains(point))
                return list().starAccessible(section, row);
        }
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (const auto empty = list().emptyStateTexts()) {
            if (kind == QAccessible::Name)
                return empty->first;
            if (kind == QAccessible::Description)
                return empty->second;
        }
        return QAccessibleWidget::text(kind);
    }

private:
    AccessibleShortcutList& list() const { return list_; }

    AccessibleShortcutList& list_;
};

QAccessibleInterface* shortcutListAccessibleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (auto* list = dynamic_cast<AccessibleShortcutList*>(object); widget && list)
        return new ShortcutListAccessible(widget, *list);
    return nullptr;
}

}  // namespace

void installShortcutListAccessibility() {
    static const bool installed =
        (QAccessible::installFactory(shortcutListAccessibleFactory), true);
    Q_UNUSED(installed);
}

QAccessibleInterface* makeStarAccessible(QWidget* listWidget, AccessibleShortcutList& list,
                                         int section, int row) {
    return new StarAccessible(listWidget, list, section, row);
}

}  // namespace corvanta
