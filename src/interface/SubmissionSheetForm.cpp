// See SubmissionSheetForm.h.
#include "interface/SubmissionSheetForm.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QVBoxLayout>

#include "interface/PasteSafe.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"
#include "interface/WindowedLineEdit.h"

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

// Names and descriptions are announced whenever set; a render that changed
// neither must stay silent.
void setNameOnChange(QWidget* widget, const QString& name) {
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}
void setDescriptionOnChange(QWidget* widget, const QString& description) {
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

QLabel* makeLabel(const QFont& font, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

// A one-line label drawn through its role's face, so a size between whole
// pixels is kept. It stays a label: it names its field for screen readers
// and moves the focus to it as the field's buddy.
class FaceLabel final : public QLabel {
public:
    FaceLabel(style::TextRole role, QWidget* parent) : QLabel(parent), role_(role) {
        setTextFormat(Qt::PlainText);
        setFont(style::font(role));
    }
    QSize sizeHint() const override {
        const style::TextFace& face = style::face(role_);
        const QMargins margins = contentsMargins();
        return {int(std::ceil(face.width(text()))) + margins.left() + margins.right(),
                int(std::ceil(face.height())) + margins.top() + margins.bottom()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        style::face(role_).drawLine(painter, contentsRect(), text(),
                                    palette().color(foregroundRole()), alignment());
    }

private:
    style::TextRole role_;
};

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
    auto* area = new PasteSafeTextArea(frame);
    area->setFont(style::font(style::TextRole::sheetTextArea));
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
    frame->setFixedHeight(
        int(std::ceil(lines * lineHeight(style::font(style::TextRole::sheetTextArea)))) +
        2 * kFieldPaddingV);
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
    double focusIndicatorRadius() const override { return radius_; }
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
        style::face(style::TextRole::sheetButton)
            .drawLine(painter, rect(), title, foreground_, Qt::AlignCenter);
    }

private:
    double radius_;
    const char* symbol_;
    QColor fill_;
    QColor foreground_;
};

}  // namespace

SubmissionSheetForm SubmissionSheetForm::build(QWidget* sheet, bool request) {
    SubmissionSheetForm form;
    auto* column = new QVBoxLayout(sheet);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);

    auto* headerRow = new QHBoxLayout();
    headerRow->setSpacing(kHeaderSpacing);
    form.header = makeLabel(style::font(style::TextRole::sheetHeader), sheet);
    form.header->setWordWrap(true);
    form.header->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    headerRow->addWidget(form.header, 1, Qt::AlignTop);
    headerRow->addSpacing(kHeaderSpacerMinimum);
    form.closeButton = new PlateButton(sheet, kCloseRadius, "xmark");
    form.closeButton->setFixedSize(kCloseSize, kCloseSize);
    headerRow->addWidget(form.closeButton, 0, Qt::AlignTop);
    column->addLayout(headerRow);

    auto addGroup = [&](QLabel*& label, QWidget*& frame) {
        auto* group = new QVBoxLayout();
        group->setSpacing(kGroupSpacing);
        label = new FaceLabel(style::TextRole::sheetLabel, sheet);
        frame = new FieldFrame(sheet);
        group->addWidget(label);
        group->addWidget(frame);
        column->addLayout(group);
    };
    addGroup(form.firstLabel, form.firstFrame);
    if (request) {
        form.nameField = new WindowedLineEdit(form.firstFrame);
        form.nameField->setObjectName(QStringLiteral("corvanta.software-request.name"));
        form.nameField->setFont(style::font(style::TextRole::sheetNameField));
        form.nameField->setFrame(false);
        // A line edit cuts its text at 32,767 characters by default; a pasted
        // name is kept whole, as the multi-line fields keep theirs.
        form.nameField->setMaxLength(std::numeric_limits<int>::max());
        auto* layout = new QHBoxLayout(form.firstFrame);
        layout->setContentsMargins(kFieldPaddingH, 0, kFieldPaddingH, 0);
        layout->addWidget(form.nameField);
        form.firstFrame->setFixedHeight(kNameFieldHeight);
    } else {
        form.messageField = makeArea(form.firstFrame, kMessageLines);
        form.messageField->setObjectName(QStringLiteral("corvanta.feedback.message"));
    }
    addGroup(form.contactLabel, form.contactFrame);
    form.contactField = makeArea(form.contactFrame, kContactLines);
    form.contactField->setObjectName(request ? QStringLiteral("corvanta.software-request.contact")
                                             : QStringLiteral("corvanta.feedback.contact"));

    form.firstLabel->setBuddy(form.firstField());
    form.contactLabel->setBuddy(form.contactField);

    form.error = makeLabel(style::font(style::TextRole::sheetError), sheet);
    form.error->setWordWrap(true);
    form.error->hide();
    column->addWidget(form.error);

    form.submitButton = new PlateButton(sheet, kButtonRadius);
    form.submitButton->setFixedHeight(kButtonHeight);
    form.submitButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    form.submitButton->setObjectName(request ? QStringLiteral("corvanta.software-request.submit")
                                             : QStringLiteral("corvanta.feedback.submit"));
    column->addWidget(form.submitButton);
    // Tab goes down the form and ends on Close; Ctrl+Return presses the
    // submit button from anywhere, which its press action tells a screen
    // reader.
    QWidget::setTabOrder(form.firstField(), form.contactField);
    QWidget::setTabOrder(form.contactField, form.submitButton);
    QWidget::setTabOrder(form.submitButton, form.closeButton);
    form.submitButton->setAccessibleShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    return form;
}

QWidget* SubmissionSheetForm::firstField() const {
    return nameField ? static_cast<QWidget*>(nameField) : messageField;
}

void SubmissionSheetForm::relabel(const RenderContext& context, bool request) {
    const ThemeColors& colors = context.colors;
    header->setText(request ? context.text("输入您想要的产品名称，我们会尽快补充上架",
                                           "Tell us which product you need. We’ll add it as "
                                           "soon as possible.")
                            : context.text("感谢你的反馈，帮助我们持续改进",
                                           "Thanks for helping us improve Corvanta"));
    firstLabel->setText(request ? context.text("软件名称", "Software name")
                                : context.text("问题与建议", "Issue or suggestion"));
    contactLabel->setText(context.text("联系方式（非必填）", "Contact details (optional)"));
    if (request) {
        nameField->setPlaceholderText(context.text("请输入软件名称", "Enter the software name"));
        contactField->setPlaceholderText(
            context.text("请留下您的联系方式，微信/手机号/邮箱，我们会向您提供反馈结果",
                         "Leave your WeChat, phone number, or email so we can share the result"));
    } else {
        messageField->setPlaceholderText(
            context.text("请描述遇到的问题或改进建议，必要时可补充复现步骤",
                         "Describe the issue or suggestion, including steps to reproduce when "
                         "helpful"));
        contactField->setPlaceholderText(
            context.text("留下微信、手机号或邮箱，便于我们反馈处理结果",
                         "Leave your WeChat, phone number, or email so we can follow up"));
    }
    submitButton->setText(style::buttonText(request ? context.text("提交", "Submit")
                                                    : context.text("提交反馈", "Send feedback")));
    setNameOnChange(submitButton, submitButton->text().replace(QStringLiteral("&&"), "&"));
    setNameOnChange(closeButton, context.text("关闭", "Close"));
    // The sheet is a dialog named by its title: the feedback sheet by what it
    // asks for, the request sheet by its header, its only heading.
    const QString title = request ? header->text() : firstLabel->text();
    QWidget* sheet = header->window();
    setNameOnChange(sheet, title);
    if (sheet->windowTitle() != title)
        sheet->setWindowTitle(title);
    // Each field is read by its visible label; the placeholder is its hint.
    setNameOnChange(firstField(), firstLabel->text());
    setNameOnChange(contactField, contactLabel->text());
    if (request)
        setDescriptionOnChange(nameField, nameField->placeholderText());
    else
        setDescriptionOnChange(messageField, messageField->placeholderText());
    setDescriptionOnChange(contactField, contactField->placeholderText());
    error->setText(context.text("未能保存，内容已保留，请重试",
                                "Couldn’t save this. Your text is kept; please try again."));

    for (QLabel* label : {firstLabel, contactLabel}) setTextColor(label, colors.textSecondary);
    setTextColor(header, colors.textPrimary);
    setTextColor(error, colors.textPrimary);
    static_cast<FieldFrame*>(firstFrame)->setColors(colors.surface, colors.border);
    static_cast<FieldFrame*>(contactFrame)->setColors(colors.surface, colors.border);
    setFieldColors(firstField(), colors);
    setFieldColors(contactField, colors);
    static_cast<PlateButton*>(closeButton)->setColors(colors.surface, colors.textSecondary);
}

void SubmissionSheetForm::setSubmitEnabled(bool enabled, const ThemeColors& colors) {
    submitButton->setEnabled(enabled);
    static_cast<PlateButton*>(submitButton)
        ->setColors(enabled ? colors.accent : colors.surfaceSelected,
                    enabled ? colors.panel : colors.textMuted);
}

}  // namespace corvanta
