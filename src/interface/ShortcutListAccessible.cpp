// How assistive technology sees the shortcut list; see ShortcutListAccessible.h.
#include "interface/ShortcutListAccessible.h"

#include <set>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "interface/PaintedAccessible.h"
#include "interface/ShortcutRow.h"

namespace corvanta {

namespace {

using Part = AccessibleShortcutList::Part;
using Entry = ShortcutListLayout::Entry;

// Headers, rows, row texts and stars: painted, so they have no objects of
// their own. A part follows its entry by key wherever the entry moves; a
// header is the entry of row −1; a row holds its text and its star.
class PartAccessible final : public PressablePaintedAccessible {
public:
    PartAccessible(QWidget* widget, AccessibleShortcutList& list, Part part, std::string key)
        : PressablePaintedAccessible(widget), list_(&list), part_(part), key_(std::move(key)) {}

    bool isValid() const override {
        if (!owner())
            return false;
        if (retiring_)
            return true;
        const auto at = position();
        return at && (part_ == Part::entry || at->second >= 0);
    }
    QAccessibleInterface* parent() const override {
        if (part_ != Part::entry && !retiring_) {
            if (const auto at = position(); at && owner())
                return list_->partAccessible(Part::entry, at->first, at->second);
        }
        return PaintedAccessible::parent();
    }
    QAccessibleInterface* child(int index) const override {
        const auto at = position();
        if (!isRow() || !at || index < 0 || index > 1)
            return nullptr;
        return list_->partAccessible(index == 0 ? Part::text : Part::star, at->first, at->second);
    }
    int childCount() const override { return isRow() && position() ? 2 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        for (int index = 0; index < childCount(); ++index) {
            if (this->child(index) == child)
                return index;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int index = childCount() - 1; index >= 0; --index) {
            QAccessibleInterface* part = child(index);
            if (part && part->rect().contains(x, y))
                return part;
        }
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        const auto at = position();
        if (kind != QAccessible::Name || !owner() || !at)
            return {};
        if (part_ == Part::star)
            return list_->starAccessibleName(at->first, at->second);
        return at->second < 0 ? list_->sectionName(at->first)
                              : list_->rowAccessibleName(at->first, at->second);
    }
    QRect rect() const override {
        if (!owner())
            return {};
        const QRect frame = viewportRect();
        return QRect(list_->listViewport()->mapToGlobal(frame.topLeft()), frame.size());
    }
    QAccessible::Role role() const override {
        switch (part_) {
            case Part::star:
                // A check box, not a button: screen readers speak "checked"
                // as a check box flips, and stay silent for a button.
                return QAccessible::CheckBox;
            case Part::text:
                return QAccessible::StaticText;
            case Part::entry:
                break;
        }
        return isRow() ? QAccessible::ListItem : QAccessible::Heading;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!owner() || !list_->listViewport()->rect().intersects(viewportRect()))
            state.offscreen = true;
        if (part_ == Part::star) {
            state.checkable = true;
            const auto at = position();
            state.checked = at && owner() && list_->isFavorite(at->first, at->second);
        }
        if (part_ == Part::star || isRow()) {
            state.focusable = true;
            const auto focused = list_->focusedPart();
            state.focused = focused && focused->first == part_ && focused->second == key_;
        }
        return state;
    }

    Part part() const { return part_; }
    const std::string& key() const { return key_; }
    // The entry is gone: valid only while assistive technology is told so.
    void retire() { retiring_ = true; }

protected:
    bool isPressable() const override { return part_ == Part::star; }
    void press() override {
        if (const auto at = position())
            list_->toggleFavorite(at->first, at->second);
    }

private:
    std::optional<std::pair<int, int>> position() const {
        const int index = list_->entryIndexOf(key_);
        if (index < 0)
            return std::nullopt;
        const Entry& entry = list_->entries()[static_cast<std::size_t>(index)];
        return std::make_pair(entry.section, entry.row);
    }
    bool isRow() const {
        const auto at = position();
        return part_ == Part::entry && at && at->second >= 0;
    }
    QRect viewportRect() const {
        const auto at = position();
        if (!at)
            return {};
        const QRect entry = list_->entryRect(at->first, at->second);
        switch (part_) {
            case Part::star:
                return list_->starRect(at->first, at->second);
            case Part::text: {
                // The title and the keys: everything left of the star.
                const QRect star = list_->starRect(at->first, at->second);
                return entry.adjusted(
                    0, 0, star.left() - int(ShortcutRow::kSpacing) - entry.right() - 1, 0);
            }
            case Part::entry:
                break;
        }
        return entry;
    }

    // Valid while the painting widget lives: the list is that widget.
    AccessibleShortcutList* list_;
    Part part_;
    std::string key_;
    bool retiring_ = false;
};

// The list as assistive technology sees it: its headers and rows in display
// order, and the empty state's title and message when no row is shown.
class ShortcutListAccessible final : public QAccessibleWidget {
public:
    ShortcutListAccessible(QWidget* widget, AccessibleShortcutList& list)
        : QAccessibleWidget(widget, QAccessible::List), list_(list) {}

    int childCount() const override { return static_cast<int>(list_.entries().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto& entries = list_.entries();
        if (index < 0 || index >= static_cast<int>(entries.size()))
            return nullptr;
        const Entry& entry = entries[static_cast<std::size_t>(index)];
        return list_.partAccessible(Part::entry, entry.section, entry.row);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* part = dynamic_cast<const PartAccessible*>(child);
        if (!part || part->part() != Part::entry)
            return -1;
        const int index = list_.entryIndexOf(part->key());
        return index >= 0 && this->child(index) == child ? index : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = list_.listViewport()->mapFromGlobal(QPoint(x, y));
        for (const Entry& entry : list_.entries()) {
            if (list_.entryRect(entry.section, entry.row).contains(point))
                return list_.partAccessible(Part::entry, entry.section, entry.row);
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const auto focused = list_.focusedPart();
        if (!focused)
            return nullptr;
        const int index = list_.entryIndexOf(focused->second);
        if (index < 0)
            return nullptr;
        const Entry& entry = list_.entries()[static_cast<std::size_t>(index)];
        return list_.partAccessible(focused->first, entry.section, entry.row);
    }
    QString text(QAccessible::Text kind) const override {
        if (const auto empty = list_.emptyStateTexts()) {
            if (kind == QAccessible::Name)
                return empty->first;
            if (kind == QAccessible::Description)
                return empty->second;
        }
        return QAccessibleWidget::text(kind);
    }

private:
    AccessibleShortcutList& list_;
};

QAccessibleInterface* shortcutListAccessibleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (auto* list = dynamic_cast<AccessibleShortcutList*>(object); widget && list)
        return new ShortcutListAccessible(widget, *list);
    return nullptr;
}

void tell(QAccessibleInterface* part, QAccessible::Event type) {
    QAccessibleEvent event(part, type);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void installShortcutListAccessibility() {
    static const bool installed =
        (QAccessible::installFactory(shortcutListAccessibleFactory), true);
    Q_UNUSED(installed);
}

ShortcutListParts::ShortcutListParts(QWidget* listWidget, AccessibleShortcutList& list)
    : widget_(listWidget), list_(list) {}

ShortcutListParts::~ShortcutListParts() {
    clear();
}

QAccessibleInterface* ShortcutListParts::part(Part part, const std::string& key) {
    const int index = list_.entryIndexOf(key);
    if (index < 0 || (part != Part::entry && list_.entries()[std::size_t(index)].row < 0))
        return nullptr;
    auto found = parts_.find({key, part});
    if (found == parts_.end()) {
        auto* made = new PartAccessible(widget_, list_, part, key);
        const QString name = made->text(QAccessible::Name);
        const bool checked = made->state().checked;
        found =
            parts_
                .emplace(std::make_pair(key, part),
                         Registered{QAccessible::registerAccessibleInterface(made), name, checked})
                .first;
    }
    return QAccessible::accessibleInterface(found->second.id);
}

void ShortcutListParts::drop(const std::pair<std::string, Part>& which, bool tell) {
    const auto found = parts_.find(which);
    if (found == parts_.end())
        return;
    if (auto* part =
            static_cast<PartAccessible*>(QAccessible::accessibleInterface(found->second.id));
        part && tell) {
        part->retire();
        corvanta::tell(part, QAccessible::ObjectDestroyed);
    }
    QAccessible::deleteAccessibleInterface(found->second.id);
    parts_.erase(found);
}

void ShortcutListParts::entriesChanged(const std::vector<std::string>& before) {
    if (parts_.empty())
        return;
    // Entries that stay keep their objects. One that moved against the
    // others is told as removed from its old place and added at its new one.
    std::set<std::string> moved;
    int last = -1;
    for (const std::string& key : before) {
        const int index = list_.entryIndexOf(key);
        if (index < 0)
            continue;
        if (index < last)
            moved.insert(key);
        else
            last = index;
    }
    std::vector<std::pair<std::string, Part>> gone;
    for (const auto& [which, registered] : parts_) {
        if (list_.entryIndexOf(which.first) < 0)
            gone.push_back(which);
    }
    for (const auto& which : gone) drop(which, which.second == Part::entry);

    if (!QAccessible::isActive())
        return;
    for (const std::string& key : moved) {
        if (const auto found = parts_.find({key, Part::entry}); found != parts_.end())
            tell(QAccessible::accessibleInterface(found->second.id), QAccessible::ObjectDestroyed);
    }
    for (auto& [which, registered] : parts_) {
        QAccessibleInterface* part = QAccessible::accessibleInterface(registered.id);
        if (const QString name = part->text(QAccessible::Name); name != registered.name) {
            registered.name = name;
            tell(part, QAccessible::NameChanged);
        }
        if (const bool checked = part->state().checked; checked != registered.checked) {
            registered.checked = checked;
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(part, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
    const std::set<std::string> old(before.begin(), before.end());
    for (const std::string& key : list_.entryKeys()) {
        if (moved.count(key) || !old.count(key))
            tell(part(Part::entry, key), QAccessible::ObjectCreated);
    }
}

void ShortcutListParts::clear() {
    for (const auto& [which, registered] : parts_)
        QAccessible::deleteAccessibleInterface(registered.id);
    parts_.clear();
}

}  // namespace corvanta
