// The expanded panel's header; see HeaderView.h.
#include "interface/HeaderView.h"

#include <QPainter>

#include "catalog/ShortcutStore.h"
#include "interface/AppLogo.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"

namespace corvanta {

namespace {

constexpr double kLeadingPadding = 14;
constexpr double kTrailingPadding = 10;
constexpr double kSpacing = 10;
constexpr double kControlSpacing = 3;
constexpr int kControlCount = 5;
constexpr double kLogoSize = 34;
constexpr double kPackRowSpacing = 9;
constexpr double kTitleSpacing = 2;
constexpr double kChevronSize = 9;

QString packName(const SoftwarePack* pack) {
    return pack ? QString::fromStdString(pack->name) : QStringLiteral("Corvanta");
}

// The pack button: logo, name over "Shortcut library", and the chevron.
class PackPickerButton final : public PlainButton {
public:
    PackPickerButton(const RenderContextSource& source, QWidget* parent)
        : PlainButton(parent), source_(source) {
        setFixedSize(int(HeaderView::kPackButtonWidth), int(HeaderView::kPackButtonHeight));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const RenderContext context = source_.renderContext();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(pressOpacity());
        const SoftwarePack* pack = context.store.selectedSoftware();
        AppLogo::paint(painter, QRectF(0, 0, kLogoSize, kLogoSize), pack, context.colors);

        const style::TextFace& nameFace = style::face(style::TextRole::headerPackName);
        const style::TextFace& subtitleFace = style::face(style::TextRole::headerPackSubtitle);
        const QString name = packName(pack);
        const QString subtitle = context.text("快捷键库", "Shortcut library");
        const char* chevron =
            context.state.softwarePickerChevronExpanded ? "chevron.up" : "chevron.down";
        const QSizeF chevronSize =
            SymbolImage::size(chevron, kChevronSize, style::Weight::semibold);

        // The row is leading-aligned: the chevron follows the titles and the
        // titles give way when the name is long.
        const double textX = kLogoSize + kPackRowSpacing;
        const double room = width() - textX - kPackRowSpacing - chevronSize.width();
        const double titlesWidth =
            std::min(room, std::max(nameFace.width(name), subtitleFace.width(subtitle)));
        const double nameHeight = nameFace.height();
        const double subtitleHeight = subtitleFace.height();
        const double top = (height() - nameHeight - kTitleSpacing - subtitleHeight) / 2;
        nameFace.drawLine(painter, QRectF(textX, top, titlesWidth, nameHeight), name,
                          context.colors.textPrimary);
        subtitleFace.drawLine(
            painter, QRectF(textX, top + nameHeight + kTitleSpacing, titlesWidth, subtitleHeight),
            subtitle, context.colors.textSecondary);
        SymbolImage::paint(
            painter,
            QRectF(textX + titlesWidth + kPackRowSpacing, 0, chevronSize.width(), height()),
            chevron, kChevronSize, style::Weight::semibold, context.colors.textSecondary);
    }

private:
    const RenderContextSource& source_;
};

// The language control: "中" or "EN" in a 30 × 30 clickable square, no fill.
class LanguageButton final : public PlainButton {
public:
    LanguageButton(const RenderContextSource& source, QWidget* parent)
        : PlainButton(parent), source_(source) {
        setFixedSize(int(IconButton::kSize), int(IconButton::kSize));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const RenderContext context = source_.renderContext();
        QPainter painter(this);
        painter.setOpacity(pressOpacity());
        style::face(style::TextRole::headerLanguage)
            .drawLine(painter, rect(), context.isChinese() ? "中" : "EN",
                      context.colors.textSecondary, Qt::AlignCenter);
    }

private:
    const RenderContextSource& source_;
};

}  // namespace

HeaderView::HeaderView(const RenderContextSource& source, Actions actions, QWidget* parent)
    : QWidget(parent), source_(source), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("corvanta.header"));
    setAttribute(Qt::WA_TranslucentBackground);
    packButton_ = new PackPickerButton(source, this);
    packButton_->setObjectName(QStringLiteral("corvanta.header.software"));
    themeButton_ = new IconButton(this);
    themeButton_->setObjectName(QStringLiteral("corvanta.header.theme"));
    pinButton_ = new IconButton(this);
    pinButton_->setObjectName(QStringLiteral("corvanta.header.pin"));
    languageButton_ = new LanguageButton(source, this);
    languageButton_->setObjectName(QStringLiteral("corvanta.header.language"));
    expandButton_ = new IconButton(this);
    expandButton_->setObjectName(QStringLiteral("corvanta.header.expand"));
    closeButton_ = new IconButton(this);
    closeButton_->setObjectName(QStringLiteral("corvanta.header.close"));

    const auto wire = [this](QAbstractButton* button, const std::function<void()>& action) {
        connect(button, &QAbstractButton::clicked, this, [action] { action(); });
    };
    wire(packButton_, actions_.toggleSoftwarePicker);
    wire(themeButton_, actions_.toggleTheme);
    wire(pinButton_, actions_.togglePin);
    wire(languageButton_, actions_.toggleLanguage);
    wire(expandButton_, actions_.toggleExpansion);
    wire(closeButton_, actions_.closeWindow);
}

void HeaderView::render(const RenderContext& context) {
    const ThemeColors& colors = context.colors;
    const bool dark = context.theme == AppTheme::dark;
    const bool pinned = context.store.isPinned.get();
    // Names are announced when set, so only a changed one is set.
    const QString packLabel =
        context.text("选择快捷键软件，当前为 ", "Choose shortcut software, currently ") +
        packName(context.store.selectedSoftware());
    if (packButton_->accessibleName() != packLabel)
        packButton_->setAccessibleName(packLabel);
    themeButton_->setContent(dark ? "sun.max" : "moon", colors.textSecondary,
                             dark ? context.text("切换到浅色模式", "Switch to light mode")
                                  : context.text("切换到深色模式", "Switch to dark mode"),
                             colors.surface);
    pinButton_->setContent(pinned ? "pin.fill" : "pin",
                           pinned ? colors.panel : colors.textSecondary,
                           pinned ? context.text("取消钉住窗口", "Unpin window")
                                  : context.text("钉住窗口", "Pin window"),
                           pinned ? colors.accent : colors.surface);
    pinButton_->setAccessibleChecked(pinned);
    packButton_->setAccessiblePopup(context.state.softwarePickerChevronExpanded);
    const QString languageLabel = context.text("切换到英文", "Switch to Chinese");
    if (languageButton_->accessibleName() != languageLabel)
        languageButton_->setAccessibleName(languageLabel);
    expandButton_->setContent(context.expansionToggleIcon, colors.textSecondary,
                              context.expansionToggleAccessibilityLabel, colors.surface);
    closeButton_->setContent("xmark", colors.textSecondary,
                             context.text("关闭窗口", "Close window"), colors.surface);
    // The painted parts change with the theme, the language, the pack and
    // the chevron only; a keystroke in the search leaves them alone.
    Face face{context.theme, context.language, context.store.selectedSoftwareID.get(),
              context.state.softwarePickerChevronExpanded};
    if (paintedFace_ == face)
        return;
    paintedFace_ = std::move(face);
    packButton_->update();
    languageButton_->update();
    update();
}

QRect HeaderView::packButtonGlobalRect() const {
    return QRect(packButton_->mapToGlobal(QPoint(0, 0)), packButton_->size());
}

void HeaderView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = height();
    const int packX = int(kLeadingPadding + DragDots::kWidth + kSpacing);
    packButton_->move(packX, int((h - kPackButtonHeight) / 2));
    const int buttonY = int((h - IconButton::kSize) / 2);
    double x = width() - kTrailingPadding - kControlCount * IconButton::kSize -
               (kControlCount - 1) * kControlSpacing;
    for (QWidget* control :
         {static_cast<QWidget*>(themeButton_), static_cast<QWidget*>(pinButton_),
          static_cast<QWidget*>(languageButton_), static_cast<QWidget*>(expandButton_),
          static_cast<QWidget*>(closeButton_)}) {
        control->move(int(x), buttonY);
        x += IconButton::kSize + kControlSpacing;
    }
}

void HeaderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    DragDots::paint(painter, QRectF(kLeadingPadding, 0, DragDots::kWidth, height()),
                    source_.renderContext().colors);
}

}  // namespace corvanta
