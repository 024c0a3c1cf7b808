// See PickerSearchField.h.
#include "interface/PickerSearchField.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QPointer>

#include "interface/Palette.h"
#include "interface/Style.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {
namespace {

constexpr double kFontSize = 10.5;

}  // namespace

PickerSearchField::PickerSearchField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("corvanta.software-picker.search"));
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setFont(style::systemFont(kFontSize));
    setTextMargins(0, 0, 0, 0);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (onTextChange)
            onTextChange(text.toStdString());
    });
    monitorOutsideClicks();
}

PickerSearchField::~PickerSearchField() {
    stopMonitoringOutsideClicks();
}

void PickerSearchField::refresh(const std::string& text, const QString& placeholder, bool isLight) {
    const QString wanted = QString::fromStdString(text);
    if (this->text() != wanted && !composing_)
        setText(wanted);
    if (placeholderText() != placeholder)
        setPlaceholderText(placeholder);
    QPalette colors = palette();
    const QColor textColor = colorFromHex(isLight ? "#1A1A1A" : "#F4F4F4");
    const QColor placeholderColor = colorFromHex(isLight ? "#818181" : "#7C7C7C");
    if (colors.color(QPalette::Text) != textColor ||
        colors.color(QPalette::PlaceholderText) != placeholderColor) {
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            colors.setColor(group, QPalette::Text, textColor);
            colors.setColor(group, QPalette::PlaceholderText, placeholderColor);
            colors.setColor(group, QPalette::Base, Qt::transparent);
            colors.setColor(group, QPalette::Window, Qt::transparent);
        }
        setPalette(colors);
    }
}

void PickerSearchField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    reportFocus(true);
}

void PickerSearchField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu opening over the field or the window losing activation does not
    // end editing; the field still holds its window's focus.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    reportFocus(false);
}

void PickerSearchField::inputMethodEvent(QInputMethodEvent* event) {
    composing_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
}

void PickerSearchField::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    QPointer<PickerSearchField> self(this);
    platform::MainQueue::shared().post([self] {
        if (!self || !self->isVisible())
            return;
        self->window()->activateWindow();
        self->setFocus(Qt::OtherFocusReason);
        // Only a field that really took the keyboard selects its text.
        if (self->hasFocus())
            self->selectAll();
    });
}

void PickerSearchField::reportFocus(bool focused) {
    if (onFocusChange)
        onFocusChange(focused);
}

void PickerSearchField::monitorOutsideClicks() {
    stopMonitoringOutsideClicks();
    QPointer<PickerSearchField> self(this);
    monitor_ = platform::EventMonitors::shared().addLocalMonitor(
        platform::EventMask::leftMouseDown, [self](const platform::Event& event) {
            if (!self || event.window != self->window())
                return true;
            QWidget* window = self->window();
            const QRectF field(self->mapTo(window, QPoint(0, 0)), QSizeF(self->size()));
            const QRectF grown = field.adjusted(-kOutsideMarginX, -kOutsideMarginY, kOutsideMarginX,
                                                kOutsideMarginY);
            // Monitor locations are y-up in the window.
            const QPointF location(event.locationInWindow.x,
                                   window->height() - event.locationInWindow.y);
            if (grown.contains(location))
                return true;
            platform::MainQueue::shared().post([self] {
                if (!self)
                    return;
                if (self->window() && self->hasFocus())
                    self->clearFocus();
                self->reportFocus(false);
            });
            return true;
        });
}

void PickerSearchField::stopMonitoringOutsideClicks() {
    if (monitor_ == 0)
        return;
    platform::EventMonitors::shared().removeMonitor(monitor_);
    monitor_ = 0;
}

}  // namespace corvanta
