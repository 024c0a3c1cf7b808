// See PlainButtonAccessible.h.
#include "interface/PlainButtonAccessible.h"

#include <QAccessibleWidget>

#include "interface/SmallControls.h"

namespace corvanta {
namespace {

class PlainButtonAccessible final : public QAccessibleWidget {
public:
    explicit PlainButtonAccessible(PlainButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::Role role() const override {
        // A screen reader says "checked" for these roles only, not for a
        // push button in any state.
        if (button()->isCheckable())
            return button()->isOneOfSeveral() ? QAccessible::RadioButton : QAccessible::CheckBox;
        return QAccessible::Button;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const PlainButton* b = button();
        state.pressed = b->isDown();
        if (b->isCheckable()) {
            state.checkable = true;
            state.checked = b->isChecked();
        }
        if (b->opensPopup()) {
            state.hasPopup = true;
            state.expandable = true;
            state.expanded = b->popupIsOpen();
        }
        if (b->standsInForFocus()) {
            state.focusable = true;
            state.focused = true;
        }
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Accelerator)
            return button()->accessibleShortcut().toString(QKeySequence::NativeText);
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            text = button()->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
        return text;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction()) {
            if (button()->isEnabled())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() && !button()->accessibleShortcut().isEmpty())
            return {text(QAccessible::Accelerator)};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    PlainButton* button() const { return static_cast<PlainButton*>(widget()); }
};

QAccessibleInterface* plainButtonFactory(const QString&, QObject* object) {
    if (auto* button = qobject_cast<PlainButton*>(object))
        return new PlainButtonAccessible(button);
    return nullptr;
}

}  // namespace

void installPlainButtonAccessibility() {
    static const bool installed = (QAccessible::installFactory(plainButtonFactory), true);
    (void)installed;
}

}  // namespace corvanta
