// See SubmissionSheet.h.
#include "interface/SubmissionSheet.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTextLayout>
#include <QVBoxLayout>

#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "platform/foundation/Text.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

namespace {

constexpr int kPadding = 18;
constexpr int kSpacing = 16;
constexpr int kHeaderSpacing = 12;
constexpr int kHeaderSpacerMinimum = 8;
constexpr int kGroupSpacing = 7;
constexpr int kFieldPaddingH = 11;
constexpr int kFieldPaddingV = 9;
constexpr int kFieldRadius = 10;
constexpr int kNameFieldHeight = 38;
constexpr int kButtonHeight = 38;
constexpr int kButtonRadius = 10;
constexpr int kCloseSize = 28;
constexpr int kCloseRadius = 8;
constexpr int kMessageLines = 4;
constexpr int kContactLines = 2;

QFont headerFont() {
    return style::systemFont(13, style::Weight::semibold);
}
QFont labelFont() {
    return style::systemFont(9.5, style::Weight::semibold);
}
QFont nameFont() {
    return style::systemFont(11);
}
QFont areaFont() {
    return style::systemFont(10.5);
}
QFont buttonFont() {
    return style::systemFont(11, style::Weight::semibold);
}
QFont errorFont() {
    return style::systemFont(10);
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    if (palette.color(QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setFieldColors(QWidget* field, const ThemeColors& colors) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, colors.textPrimary);
    palette.setColor(QPalette::PlaceholderText, colors.textMuted);
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    palette.setColor(QPalette::Highlight, colors.accent);
    palette.setColor(QPalette::HighlightedText, colors.panel);
    if (palette != field->palette())
        field->setPalette(palette);
}

QLabel* makeLabel(const QFont& font, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

// The rounded plate a field sits on: `surface` outlined in `border`.
class FieldFrame final : public QWidget {
public:
    explicit FieldFrame(QWidget* parent) : QWidget(parent) {}
    void setColors(const QColor& fill, const QColor& stroke) {
        if (fill == fill_ && stroke == stroke_)
            return;
        fill_ = fill;
        stroke_ = stroke;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        style::fillRoundedRect(painter, rect(), kFieldRadius, fill_);
        style::strokeRoundedRectInside(painter, rect(), kFieldRadius, stroke_);
    }

private:
    QColor fill_;
    QColor stroke_;
};

// Height of one line of the field's text. Chinese text falls back to another
// font with taller lines, so those count too: reserved lines must fit either.
double lineHeight(const QFont& font) {
    QTextLayout layout(QStringLiteral("Ag汉字"), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return std::max(QFontMetricsF(font).lineSpacing(), line.height());
}

// A multi-line field without chrome that always reserves `lines` lines.
QPlainTextEdit* makeArea(QWidget* frame, int lines) {
    auto* area = new QPlainTextEdit(frame);
    area->setFont(areaFont());
    area->setFrameShape(QFrame::NoFrame);
    area->setTabChangesFocus(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    area->document()->setDocumentMargin(0);
    area->viewport()->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(kFieldPaddingH, kFieldPaddingV, kFieldPaddingH, kFieldPaddingV);
    layout->addWidget(area);
    frame->setFixedHeight(int(std::ceil(lines * lineHeight(areaFont()))) + 2 * kFieldPaddingV);
    return area;
}

// A rounded plate with a symbol (the close button) or the button's title (the
// submit button) centred on it.
class PlateButton final : public PlainButton {
public:
    PlateButton(QWidget* parent, double radius, const char* symbol = nullptr)
        : PlainButton(parent), radius_(radius), symbol_(symbol) {}
    void setColors(const QColor& fill, const QColor& foreground) {
        fill_ = fill;
        foreground_ = foreground;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(pressOpacity());
        style::fillRoundedRect(painter, rect(), radius_, fill_);
        if (symbol_) {
            SymbolImage::paint(painter, rect(), symbol_, 11, style::Weight::medium, foreground_);
            return;
        }
        // The title is escaped for the button; draw what the user reads.
        QString title = text();
        title.replace(QStringLiteral("&&"), QStringLiteral("&"));
        style::drawTextLine(painter, rect(), title, buttonFont(), foreground_, Qt::AlignCenter);
    }

private:
    double radius_;
    const char* symbol_;
    QColor fill_;
    QColor foreground_;
};

}  // namespace

SubmissionSheet::SubmissionSheet(CorvantaView& root, Kind kind)
    : QWidget(&root, Qt::Dialog | Qt::FramelessWindowHint), root_(root), kind_(kind) {
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
            if (submitButton_->isEnabled())
                submit();
        });
    }
    watchPanel();
    hide();
}

void SubmissionSheet::buildContent() {
    const bool request = kind_ == Kind::softwareRequest;
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);

    auto* headerRow = new QHBoxLayout();
    headerRow->setSpacing(kHeaderSpacing);
    header_ = makeLabel(headerFont(), this);
    header_->setWordWrap(true);
    header_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    headerRow->addWidget(header_, 1, Qt::AlignTop);
    headerRow->addSpacing(kHeaderSpacerMinimum);
    closeButton_ = new PlateButton(this, kCloseRadius, "xmark");
    closeButton_->setFixedSize(kCloseSize, kCloseSize);
    connect(closeButton_, &QAbstractButton::clicked, this, [this] { dismiss(); });
    headerRow->addWidget(closeButton_, 0, Qt::AlignTop);
    column->addLayout(headerRow);

    auto addGroup = [&](QLabel*& label, QWidget*& frame) {
        auto* group = new QVBoxLayout();
        group->setSpacing(kGroupSpacing);
        label = makeLabel(labelFont(), this);
        frame = new FieldFrame(this);
        group->addWidget(label);
        group->addWidget(frame);
        column->addLayout(group);
    };
    addGroup(firstLabel_, firstFrame_);
    if (request) {
        nameField_ = new QLineEdit(firstFrame_);
        nameField_->setObjectName(QStringLiteral("corvanta.software-request.name"));
        nameField_->setFont(nameFont());
        nameField_->setFrame(false);
        auto* layout = new QHBoxLayout(firstFrame_);
        layout->setContentsMargins(kFieldPaddingH, 0, kFieldPaddingH, 0);
        layout->addWidget(nameField_);
        firstFrame_->setFixedHeight(kNameFieldHeight);
        connect(nameField_, &QLineEdit::textEdited, this, &SubmissionSheet::writeFirstField);
        // Return commits nothing: only Ctrl+Return submits.
        nameField_->installEventFilter(this);
    } else {
        messageField_ = makeArea(firstFrame_, kMessageLines);
        messageField_->setObjectName(QStringLiteral("corvanta.feedback.message"));
        connect(messageField_, &QPlainTextEdit::textChanged, this, [this] {
            if (!syncing_)
                writeFirstField(messageField_->toPlainText());
        });
        messageField_->installEventFilter(this);
    }
    addGroup(contactLabel_, contactFrame_);
    contactField_ = makeArea(contactFrame_, kContactLines);
    contactField_->setObjectName(request ? QStringLiteral("corvanta.software-request.contact")
                                         : QStringLiteral("corvanta.feedback.contact"));
    connect(contactField_, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_)
            writeContact(contactField_->toPlainText());
    });

    error_ = makeLabel(errorFont(), this);
    error_->setWordWrap(true);
    error_->hide();
    column->addWidget(error_);

    submitButton_ = new PlateButton(this, kButtonRadius);
    submitButton_->setFixedHeight(kButtonHeight);
    submitButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    submitButton_->setObjectName(request ? QStringLiteral("corvanta.software-request.submit")
                                         : QStringLiteral("corvanta.feedback.submit"));
    connect(submitButton_, &QAbstractButton::clicked, this, [this] { submit(); });
    column->addWidget(submitButton_);
}

QWidget* SubmissionSheet::firstField() const {
    return nameField_ ? static_cast<QWidget*>(nameField_) : messageField_;
}

bool SubmissionSheet::isRequested() const {
    const CorvantaViewState& state = root_.state();
    return kind_ == Kind::softwareRequest ? state.showsSoftwareRequest : state.showsFeedbackDialog;
}

void SubmissionSheet::render(const RenderContext& context) {
    watchPanel();
    if (!isRequested()) {
        submissionFailed_ = false;
        // Neither wanted nor on screen: brought up to date when next opened.
        if (!isVisible())
            return;
    }
    const bool relabelled = relabel(context);
    error_->setVisible(submissionFailed_);
    syncTexts(context.state);
    refreshSubmitButton();
    if (isVisible()) {
        if (relabelled)
            fitHeight();  // another language may wrap the header differently
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
    const ThemeColors& colors = context.colors;
    const bool request = kind_ == Kind::softwareRequest;
    header_->setText(request ? context.text("输入您想要的产品名称，我们会尽快补充上架",
                                            "Tell us which product you need. We’ll add it as "
                                            "soon as possible.")
                             : context.text("感谢你的反馈，帮助我们持续改进",
                                            "Thanks for helping us improve Corvanta"));
    firstLabel_->setText(request ? context.text("软件名称", "Software name")
                                 : context.text("问题与建议", "Issue or suggestion"));
    contactLabel_->setText(context.text("联系方式（非必填）", "Contact details (optional)"));
    if (request) {
        nameField_->setPlaceholderText(context.text("请输入软件名称", "Enter the software name"));
        contactField_->setPlaceholderText(
            context.text("请留下您的联系方式，微信/手机号/邮箱，我们会向您提供反馈结果",
                         "Leave your WeChat, phone number, or email so we can share the result"));
    } else {
        messageField_->setPlaceholderText(
            context.text("请描述遇到的问题或改进建议，必要时可补充复现步骤",
                         "Describe the issue or suggestion, including steps to reproduce when "
                         "helpful"));
        contactField_->setPlaceholderText(
            context.text("留下微信、手机号或邮箱，便于我们反馈处理结果",
                         "Leave your WeChat, phone number, or email so we can follow up"));
    }
    submitButton_->setText(style::buttonText(request ? context.text("提交", "Submit")
                                                     : context.text("提交反馈", "Send feedback")));
    submitButton_->setAccessibleName(submitButton_->text().replace(QStringLiteral("&&"), "&"));
    closeButton_->setAccessibleName(context.text("关闭", "Close"));
    error_->setText(context.text("未能保存，内容已保留，请重试",
                                 "Couldn’t save this. Your text is kept; please try again."));

    background_ = colors.panel;
    border_ = colors.border;
    for (QLabel* label : {firstLabel_, contactLabel_}) setTextColor(label, colors.textSecondary);
    setTextColor(header_, colors.textPrimary);
    setTextColor(error_, colors.textPrimary);
    static_cast<FieldFrame*>(firstFrame_)->setColors(colors.surface, colors.border);
    static_cast<FieldFrame*>(contactFrame_)->setColors(colors.surface, colors.border);
    setFieldColors(firstField(), colors);
    setFieldColors(contactField_, colors);
    static_cast<PlateButton*>(closeButton_)->setColors(colors.surface, colors.textSecondary);
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
    if (nameField_ && nameField_->text() != first)
        nameField_->setText(first);
    if (messageField_ && messageField_->toPlainText() != first)
        messageField_->setPlainText(first);
    if (contactField_->toPlainText() != contact)
        contactField_->setPlainText(contact);
    syncing_ = false;
}

bool SubmissionSheet::firstFieldIsBlank() const {
    const CorvantaViewState& state = root_.state();
    return text::isBlank(kind_ == Kind::softwareRequest ? state.requestedSoftwareName
                                                        : state.feedbackMessage);
}

void SubmissionSheet::refreshSubmitButton() {
    const bool enabled = !firstFieldIsBlank();
    const ThemeColors& colors = root_.renderContext().colors;
    submitButton_->setEnabled(enabled);
    static_cast<PlateButton*>(submitButton_)
        ->setColors(enabled ? colors.accent : colors.surfaceSelected,
                    enabled ? colors.panel : colors.textMuted);
}

void SubmissionSheet::writeFirstField(const QString& text) {
    root_.set(kind_ == Kind::softwareRequest ? &CorvantaViewState::requestedSoftwareName
                                             : &CorvantaViewState::feedbackMessage,
              text.toStdString());
    // The button follows each keystroke, before the next render.
    refreshSubmitButton();
}

void SubmissionSheet::writeContact(const QString& text) {
    root_.set(kind_ == Kind::softwareRequest ? &CorvantaViewState::requestContact
                                             : &CorvantaViewState::feedbackContact,
              text.toStdString());
}

void SubmissionSheet::setFirstFieldFocused(bool focused) {
    root_.set(kind_ == Kind::softwareRequest ? &CorvantaViewState::requestNameIsFocused
                                             : &CorvantaViewState::feedbackMessageIsFocused,
              focused);
}

void SubmissionSheet::syncPresentation() {
    // While the panel window hides, its children still count as visible. The
    // root view may be on its way out then, so its state is not read.
    if (!root_.window()->isVisible() || !root_.isVisible()) {
        hide();
        return;
    }
    const bool wanted = isRequested() && root_.store().isExpanded.get();
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

void SubmissionSheet::setSubmissionFailed(bool failed) {
    if (submissionFailed_ == failed)
        return;
    submissionFailed_ = failed;
    error_->setVisible(failed);
    if (isVisible()) {
        fitHeight();
        place();
    }
}

void SubmissionSheet::fitHeight() {
    layout()->activate();
    const int height = layout()->totalHeightForWidth(kWidth);
    setFixedHeight(std::max(height, layout()->totalMinimumSize().height()));
}

void SubmissionSheet::place() {
    const QWidget* panel = root_.window();
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
    QWidget* panel = root_.window();
    if (watchedPanel_ == panel)
        return;
    if (watchedPanel_)
        watchedPanel_->removeEventFilter(this);
    watchedPanel_ = panel;
    panel->installEventFilter(this);
    if (panel != &root_)
        root_.installEventFilter(this);
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
        } else if (event->type() == QEvent::KeyPress && watched == nameField_) {
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
            root_.scheduleRender();
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
    if (kind_ == Kind::softwareRequest)
        root_.submitSoftwareRequest();
    else
        root_.submitFeedback();
}

void SubmissionSheet::dismiss() {
    if (kind_ == Kind::softwareRequest)
        root_.dismissSoftwareRequest();
    else
        root_.dismissFeedbackDialog();
    // Hidden at once rather than on the next render.
    hide();
}

}  // namespace corvanta
