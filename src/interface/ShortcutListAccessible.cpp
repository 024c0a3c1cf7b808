// How assistive technology sees the shortcut list; see ShortcutListAccessible.h.
#include "interface/ShortcutListAccessible.h"

#include <algorithm>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include "interface/PaintedAccessible.h"

namespace corvanta {

namespace {

using Part = AccessibleShortcutList::Part;
using Entry = ShortcutListLayout::Entry;

// Headers, rows and stars: painted, so they have no objects of their own. A
// header is the entry of row −1; a row holds its star as its only child.
class PartAccessible final : public PressablePaintedAccessible {
public:
    PartAccessible(QWidget* widget, AccessibleShortcutList& list, Part part, int section, int row)
        : PressablePaintedAccessible(widget),
          list_(&list),
          part_(part),
          section_(section),
          row_(row) {}

    bool isValid() const override {
        return owner() && !list_->entryRect(section_, row_).isNull() &&
               (part_ == Part::entry || row_ >= 0);
    }
    QAccessibleInterface* parent() const override {
        if (part_ == Part::star && owner())
            return list_->partAccessible(Part::entry, section_, row_);
        return PaintedAccessible::parent();
    }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && hasStar() ? list_->partAccessible(Part::star, section_, row_)
                                       : nullptr;
    }
    int childCount() const override { return hasStar() ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child == this->child(0) ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* star = child(0);
        return star && star->rect().contains(x, y) ? star : nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !owner())
            return {};
        if (part_ == Part::star)
            return list_->starAccessibleName(section_, row_);
        return row_ < 0 ? list_->sectionTitle(section_) : list_->rowAccessibleName(section_, row_);
    }
    QRect rect() const override {
        if (!owner())
            return {};
        const QRect frame = viewportRect();
        return QRect(list_->listViewport()->mapToGlobal(frame.topLeft()), frame.size());
    }
    QAccessible::Role role() const override {
        if (part_ == Part::star)
            return QAccessible::Button;
        return row_ < 0 ? QAccessible::Heading : QAccessible::ListItem;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!owner() || !list_->listViewport()->rect().intersects(viewportRect()))
            state.offscreen = true;
        return state;
    }

    Part part() const { return part_; }
    std::pair<int, int> position() const { return {section_, row_}; }

protected:
    bool isPressable() const override { return part_ == Part::star; }
    void press() override { list_->toggleFavorite(section_, row_); }

private:
    bool hasStar() const { return part_ == Part::entry && row_ >= 0 && owner(); }
    QRect viewportRect() const {
        return part_ == Part::star ? list_->starRect(section_, row_)
                                   : list_->entryRect(section_, row_);
    }

    // Valid while the painting widget lives: the list is that widget.
    AccessibleShortcutList* list_;
    Part part_;
    int section_;
    int row_;
};

bool entryBefore(const Entry& entry, std::pair<int, int> position) {
    return std::make_pair(entry.section, entry.row) < position;
}

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
        // Entries are in (section, row) order, each header (row −1) first, so
        // a child's place is searched.
        const auto& entries = list_.entries();
        const auto found =
            std::lower_bound(entries.begin(), entries.end(), part->position(), entryBefore);
        if (found == entries.end() ||
            std::make_pair(found->section, found->row) != part->position() ||
            list_.partAccessible(Part::entry, found->section, found->row) != child)
            return -1;
        return static_cast<int>(found - entries.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = list_.listViewport()->mapFromGlobal(QPoint(x, y));
        for (const Entry& entry : list_.entries()) {
            if (list_.entryRect(entry.section, entry.row).contains(point))
                return list_.partAccessible(Part::entry, entry.section, entry.row);
        }
        return nullptr;
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

}  // namespace

void installShortcutListAccessibility() {
    static const bool installed =
        (QAccessible::installFactory(shortcutListAccessibleFactory), true);
    Q_UNUSED(installed);
}

QAccessibleInterface* makeShortcutListPartAccessible(QWidget* listWidget,
                                                     AccessibleShortcutList& list, Part part,
                                                     int section, int row) {
    return new PartAccessible(listWidget, list, part, section, row);
}

}  // namespace corvanta
