// A piece that a widget paints, as assistive technology sees it: it has no
// object of its own, lives in the window of the widget that paints it, and is,
// unless a subclass says otherwise, a leaf under that widget.
#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace corvanta {

class PaintedAccessible : public QAccessibleInterface {
public:
    explicit PaintedAccessible(QWidget* owner) : owner_(owner) {}

    bool isValid() const override { return owner_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_ ? owner_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(owner_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    // The widget that paints this piece; null once it is gone.
    QWidget* owner() const { return owner_.data(); }

private:
    QPointer<QWidget> owner_;
};

// A painted piece that can be pressed, as a button is.
class PressablePaintedAccessible : public PaintedAccessible, public QAccessibleActionInterface {
public:
    using PaintedAccessible::PaintedAccessible;

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface && isPressable()
                   ? static_cast<QAccessibleActionInterface*>(this)
                   : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (owner() && name == pressAction())
            press();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    virtual bool isPressable() const = 0;
    virtual void press() = 0;
};

}  // namespace corvanta
