// See SubmissionSheet.h.
#include "interface/SubmissionSheet.h"

#include <algorithm>
#include <cmath>

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>

#include "catalog/ShortcutStore.h"
#include "interface/AccessibleShowing.h"
#include "interface/SmallControls.h"
#include "interface/WindowedLineEdit.h"
#include "platform/foundation/Text.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {
namespace {

// The sheet is a dialog to assistive technology, named by its title.
QAccessibleInterface* sheetAccessibleFactory(const QString&, QObject* object) {
    if (auto* sheet = qobject_cast<SubmissionSheet*>(object))
        return new QAccessibleWidget(sheet, QAccessible::Dialog);
    return nullptr;
}

}  // namespace

SubmissionSheet::SubmissionSheet(const RenderContextSource& source, Kind kind, Actions actions,
                                 QWidget* panel)
    : QWidget(panel, Qt::Dialog | Qt::FramelessWindowHint),
      source_(source),
      actions_(std::move(actions)),
      panel_(panel),
      kind_(kind) {
    static const bool accessible = (QAccessible::installFactory(sheetAccessibleFactory), true);
    (void)accessible;
    setWindowModality(Qt::WindowModal);
    setFixedWidth(kWidth);
    buildContent();
    // Ctrl+Return submits from any field; a blank first field makes it do
    // nothing, as the disabled button shows.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (form_.submitButton->isEnabled())
                submit();
        });
    }
    watchPanel();
    hide();
}

void SubmissionSheet::buildContent() {
    form_ = SubmissionSheetForm::build(this, kind_ == Kind::softwareRequest);
    connect(form_.closeButton, &QAbstractButton::clicked, this, [this] { dismiss(); });
    if (WindowedLineEdit* name = form_.nameField) {
        connect(name, &WindowedLineEdit::fullTextEdited, this, &SubmissionSheet::writeFirstField);
        // Return commits nothing: only Ctrl+Return submits.
        name->installEventFilter(this);
    } else {
        connect(form_.messageField, &QPlainTextEdit::textChanged, this, [this] {
            if (!syncing_)
                writeFirstField(form_.messageField->toPlainText());
        });
        form_.messageField->installEventFilter(this);
    }
    connect(form_.contactField, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_)
            writeContact(form_.contactField->toPlainText());
    });
    connect(form_.submitButton, &QAbstractButton::clicked, this, [this] { submit(); });
}

QWidget* SubmissionSheet::firstField() const {
    return form_.firstField();
}

bool SubmissionSheet::isRequested() const {
    const CorvantaViewState& state = source_.renderContext().state;
    return kind_ == Kind::softwareRequest ? state.showsSoftwareRequest : state.showsFeedbackDialog;
}

void SubmissionSheet::render(const RenderContext& context) {
    watchPanel();
    const bool failed = kind_ == Kind::softwareRequest ? context.state.softwareRequestFailed
                                                       : context.state.feedbackFailed;
    if (!isRequested() && !isVisible()) {
        // Neither wanted nor on screen: its window is still listed to
        // assistive technology, so its texts follow the language, silently.
        if (labelledFor_) {
            SilentAccessibility silent;
            relabel(context);
        }
        return;
    }
    const bool relabelled = relabel(context);
    const bool errorChanged = form_.error->isVisibleTo(this) != failed;
    form_.error->setVisible(failed);
    syncTexts(context.state);
    refreshSubmitButton();
    if (isVisible()) {
        // Another language may wrap the header differently; the notice takes
        // room of its own.
        if (relabelled || errorChanged)
            fitHeight();
        place();
    }
    syncPresentation();
    syncFocus(context.state);
}

bool SubmissionSheet::relabel(const RenderContext& context) {
    const std::pair labels{context.language, context.theme};
    if (labelledFor_ == labels)
        return false;
    labelledFor_ = labels;
    form_.relabel(context, kind_ == Kind::softwareRequest);
    background_ = context.colors.panel;
    border_ = context.colors.border;
    update();
    return true;
}

void SubmissionSheet::syncTexts(const CorvantaViewState& state) {
    const bool request = kind_ == Kind::softwareRequest;
    const QString first =
        QString::fromStdString(request ? state.requestedSoftwareName : state.feedbackMessage);
    const QString contact =
        QString::fromStdString(request ? state.requestContact : state.feedbackContact);
    // Typing writes the state, so the texts differ only when the state was
    // written elsewhere (an opener or a dismiss clearing the form).
    syncing_ = true;
    if (form_.nameField && form_.nameField->fullText() != first)
        form_.nameField->setFullText(first);
    if (form_.messageField && form_.messageField->toPlainText() != first)
        form_.messageField->setPlainText(first);
    if (form_.contactField->toPlainText() != contact)
        form_.contactField->setPlainText(contact);
    syncing_ = false;
}

bool SubmissionSheet::firstFieldIsBlank() const {
    const CorvantaViewState& state = source_.renderContext().state;
    return text::isBlank(kind_ == Kind::softwareRequest ? state.requestedSoftwareName
                                                        : state.feedbackMessage);
}

void SubmissionSheet::refreshSubmitButton() {
    form_.setSubmitEnabled(!firstFieldIsBlank(), source_.renderContext().colors);
}

void SubmissionSheet::writeFirstField(const QString& text) {
    actions_.writeFirstField(text.toStdString());
    // The button follows each keystroke, before the next render.
    refreshSubmitButton();
}

void SubmissionSheet::writeContact(const QString& text) {
    actions_.writeContact(text.toStdString());
}

void SubmissionSheet::setFirstFieldFocused(bool focused) {
    actions_.setFirstFieldFocused(focused);
}

void SubmissionSheet::syncPresentation() {
    // While the panel window hides, its children still count as visible. The
    // root view may be on its way out then, so its state is not read.
    if (!panel_->window()->isVisible() || !panel_->isVisible()) {
        hide();
        return;
    }
    const bool wanted = isRequested() && source_.renderContext().store.isExpanded.get();
    if (wanted == isVisible())
        return;
    if (!wanted) {
        hide();
        return;
    }
    fitHeight();
    place();
    show();
    activateWindow();
    // The first field takes the keyboard one turn after the sheet appears.
    QPointer<SubmissionSheet> self(this);
    platform::MainQueue::shared().post([self] {
        if (self && self->isVisible() && self->isRequested())
            self->setFirstFieldFocused(true);
    });
}

void SubmissionSheet::syncFocus(const CorvantaViewState& state) {
    if (!isVisible())
        return;
    QWidget* field = firstField();
    const bool wanted = kind_ == Kind::softwareRequest ? state.requestNameIsFocused
                                                       : state.feedbackMessageIsFocused;
    if (wanted && focusWidget() != field) {
        activateWindow();
        field->setFocus(Qt::OtherFocusReason);
    } else if (!wanted && field->hasFocus()) {
        field->clearFocus();
    }
}

void SubmissionSheet::fitHeight() {
    layout()->activate();
    const int height = layout()->totalHeightForWidth(kWidth);
    setFixedHeight(std::max(height, layout()->totalMinimumSize().height()));
}

void SubmissionSheet::place() {
    const QWidget* panel = panel_->window();
    const QRect frame = panel->frameGeometry();
    QRect sheet(frame.left() + (frame.width() - kWidth) / 2, frame.top(), kWidth, height());
    if (const QScreen* screen = panel->screen()) {
        const QRect area = screen->availableGeometry();
        sheet.moveLeft(std::clamp(sheet.left(), area.left(),
                                  std::max(area.left(), area.right() + 1 - kWidth)));
        sheet.moveTop(std::clamp(sheet.top(), area.top(),
                                 std::max(area.top(), area.bottom() + 1 - sheet.height())));
    }
    move(sheet.topLeft());
}

void SubmissionSheet::watchPanel() {
    QWidget* panel = panel_->window();
    if (watchedPanel_ == panel)
        return;
    if (watchedPanel_)
        watchedPanel_->removeEventFilter(this);
    watchedPanel_ = panel;
    panel->installEventFilter(this);
    if (panel != panel_)
        panel_->installEventFilter(this);
}

bool SubmissionSheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == firstField()) {
        if (event->type() == QEvent::FocusIn) {
            setFirstFieldFocused(true);
        } else if (event->type() == QEvent::FocusOut) {
            // Focus that leaves with the window (deactivation, a popup) comes
            // back with it, so the binding keeps its value.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                setFirstFieldFocused(false);
        } else if (event->type() == QEvent::KeyPress && watched == form_.nameField) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                key->modifiers() == Qt::NoModifier)
                return true;
        }
        return false;
    }
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            if (isVisible())
                place();
            break;
        case QEvent::Hide:
            // The sheet never hangs on screen without its panel; the flag and
            // the text stay, so it comes back when the panel does.
            syncPresentation();
            break;
        case QEvent::Show:
            actions_.panelShown();
            break;
        case QEvent::WindowActivate:
            // A click on the panel behind the sheet makes the panel the
            // active window, which the sheet blocks: keys would go nowhere.
            // The keyboard goes back to the sheet, to the field it left.
            if (watched == watchedPanel_ && isVisible()) {
                QPointer<SubmissionSheet> self(this);
                platform::MainQueue::shared().post([self] {
                    if (self && self->isVisible() && !self->isActiveWindow()) {
                        self->raise();
                        self->activateWindow();
                    }
                });
            }
            break;
        default:
            break;
    }
    return false;
}

void SubmissionSheet::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SubmissionSheet::closeEvent(QCloseEvent* event) {
    // The window manager (or anyone) closing the sheet dismisses it properly,
    // so its flag cannot stay set with nothing on screen.
    event->accept();
    if (isRequested())
        dismiss();
}

void SubmissionSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    // The sheet shares the panel's colour; a hairline keeps it apart.
    painter.setPen(QPen(border_, 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void SubmissionSheet::submit() {
    actions_.submit();
}

void SubmissionSheet::dismiss() {
    actions_.dismiss();
    // Hidden at once rather than on the next render.
    hide();
}

}  // namespace corvanta
