// See SoftwarePickerPopover.h.
#include "interface/SoftwarePickerPopover.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>

#include "catalog/ShortcutStore.h"
#include "interface/AccessibleShowing.h"
#include "interface/KeptPixmap.h"
#include "interface/PickerMatching.h"
#include "interface/PickerSearchField.h"
#include "interface/SmallControls.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"
#include "platform/qt/ShapeMask.h"
#include "platform/qt/X11Window.h"

namespace corvanta {
namespace {

constexpr int kHorizontalPadding = 14;
constexpr int kHeaderTop = 12;
constexpr int kHeaderBottom = 12;
constexpr int kHeaderSpacing = 10;
constexpr int kSearchHeight = 34;
constexpr double kSearchRadius = 10;
constexpr int kSearchPadding = 10;
constexpr int kSearchSpacing = 8;
constexpr int kClearSize = 18;
constexpr int kHintHeight = 40;
constexpr double kTitleSpacing = 8;
constexpr int kHintMargin = 2;

double magnifierWidth() {
    return std::ceil(SymbolImage::size("magnifyingglass", 10, style::Weight::medium).width());
}

// The search box as a button: it looks like an empty field and turns into
// the real one when pressed.
class SearchButton final : public PlainButton {
public:
    explicit SearchButton(QWidget* parent) : PlainButton(parent) {
        setObjectName(QStringLiteral("corvanta.software-picker.search.activate"));
    }
    void setContent(const QString& prompt, const ThemeColors& colors) {
        prompt_ = prompt;
        colors_ = colors;
        if (accessibleName() != prompt)
            setAccessibleName(prompt);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(pressOpacity());
        const QRectF box(rect());
        style::fillRoundedRect(painter, box, kSearchRadius, colors_.surface);
        style::strokeRoundedRectInside(painter, box, kSearchRadius, colors_.border);
        const double icon = magnifierWidth();
        SymbolImage::paint(painter, QRectF(kSearchPadding, 0, icon, height()), "magnifyingglass",
                           10, style::Weight::medium, colors_.textMuted);
        const double left = kSearchPadding + icon + kSearchSpacing;
        style::face(style::TextRole::pickerSearch)
            .drawLine(painter, QRectF(left, 0, width() - left - kSearchPadding, height()), prompt_,
                      colors_.textMuted);
    }

private:
    QString prompt_;
    ThemeColors colors_;
};

// The box around the live search field, outlined in the accent colour while
// the field has the focus.
class SearchRow final : public QWidget {
public:
    explicit SearchRow(QWidget* parent) : QWidget(parent) {}
    void setContent(const ThemeColors& colors, bool focused) {
        // Set on every keystroke; repainting the box then would also repaint
        // the popover beneath it.
        const std::size_t face = faceOf(colors, focused);
        if (face == face_)
            return;
        face_ = face;
        colors_ = colors;
        focused_ = focused;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (colors_.panel.alpha() != 255) {
            paintRow(painter);
            return;
        }
        // Painted again under the field on every keystroke: kept as a pixmap
        // over the popover's panel colour, which is what the row lies on.
        backdrop_.draw(
            *this, painter, face_,
            [this](QPainter& row) {
                row.fillRect(rect(), colors_.panel);
                paintRow(row);
            },
            BackdropCache::Beneath::nothing);
    }

private:
    void paintRow(QPainter& painter) const {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box(rect());
        style::fillRoundedRect(painter, box, kSearchRadius, colors_.surface);
        style::strokeRoundedRectInside(painter, box, kSearchRadius,
                                       focused_ ? colors_.accent : colors_.border);
        SymbolImage::paint(painter, QRectF(kSearchPadding, 0, magnifierWidth(), height()),
                           "magnifyingglass", 10, style::Weight::medium, colors_.textMuted);
    }
    static std::size_t faceOf(const ThemeColors& colors, bool focused) {
        return qHashMulti(0, colors.panel.rgba(), colors.surface.rgba(), colors.border.rgba(),
                          colors.accent.rgba(), colors.textMuted.rgba(), focused);
    }

    ThemeColors colors_;
    bool focused_ = false;
    std::size_t face_ = 0;
    BackdropCache backdrop_;
};

class ClearButton final : public PlainButton {
public:
    explicit ClearButton(QWidget* parent) : PlainButton(parent) { resize(kClearSize, kClearSize); }
    void setContent(const QString& label, const ThemeColors& colors) {
        if (accessibleName() != label)
            setAccessibleName(label);
        if (color_ == colors.textMuted)
            return;
        color_ = colors.textMuted;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(pressOpacity());
        SymbolImage::paint(painter, QRectF(rect()), "xmark.circle.fill", 11, style::Weight::regular,
                           color_);
    }

private:
    QColor color_;
};

QString clearLabel(const RenderContext& context) {
    return context.text("清除软件搜索", "Clear software search");
}

}  // namespace

SoftwarePickerPopover::SoftwarePickerPopover(Actions actions, QWidget* panel)
    : QWidget(panel, Qt::Popup | Qt::FramelessWindowHint), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("corvanta.software-picker"));
    setAttribute(Qt::WA_TranslucentBackground);
    // A closing press is handed on by mousePressEvent, not by Qt.
    setAttribute(Qt::WA_NoMouseReplay);
    // Without a compositor the corners and the arrow's sides are cut by a mask.
    useMask_ = platform::x11::isX11() && !platform::x11::compositorRunning();

    auto* searchButton = new SearchButton(this);
    connect(searchButton, &QAbstractButton::clicked, this, [this] { actions_.activateSearch(); });
    searchButton_ = searchButton;
    searchRow_ = new SearchRow(this);
    searchRow_->hide();
    auto* clear = new ClearButton(searchRow_);
    connect(clear, &QAbstractButton::clicked, this, [this] { clearSearch(); });
    clearButton_ = clear;

    grid_ = new SoftwarePickerGrid(this);
    grid_->onChooseSoftware = [this](const SoftwarePack& pack) { actions_.chooseSoftware(pack); };
    grid_->onRequestSoftware = [this](SoftwareGroup group) { actions_.requestSoftware(group); };
    grid_->paintBeneath = [this](QPainter& painter, const QRect& rect) {
        backdrop_.copy(painter, rect.translated(grid_->pos()), rect.topLeft());
    };
    resize(kWidth, chromeHeight() + kListHeight);
}

SoftwarePickerPopover::~SoftwarePickerPopover() = default;

QAbstractButton* SoftwarePickerPopover::searchButton() const {
    return static_cast<QAbstractButton*>(searchButton_);
}

QAbstractButton* SoftwarePickerPopover::clearButton() const {
    return static_cast<QAbstractButton*>(clearButton_);
}

void SoftwarePickerPopover::render(const RenderContext& context) {
    if (!context.state.showsSoftwarePicker) {
        if (isVisible())
            hide();
        dropSearchField();
        // Closed, the clear button still follows the language, silently.
        SilentAccessibility silent;
        static_cast<ClearButton*>(clearButton_)->setContent(clearLabel(context), colors_);
        return;
    }
    if (!isVisible())
        open();
    fill(context);
}

void SoftwarePickerPopover::open() {
    const QRect anchor = anchorRect();
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = parentWidget()->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const Placement place = placement(anchor, available, chromeHeight());
    listHeight_ = place.listHeight;
    arrowX_ = place.arrowX;
    arrowEdge_ = place.arrowEdge;
    setGeometry(place.frame);
    layoutContent();
    // Every opening starts at the top of the list, whatever was scrolled to
    // before.
    grid_->scrollToTop();
    // A keyboard on a control (the pack button, reached by Tab) goes into
    // the picker, onto its search box: a popup that holds no focus of its own
    // leaves a screen reader on the panel and typed keys nowhere. A keyboard
    // in the panel's search field stays there for when the picker closes.
    const bool takesKeyboard = !qobject_cast<QLineEdit*>(QApplication::focusWidget());
    show();
    raise();
    if (takesKeyboard)
        searchButton_->setFocus(Qt::PopupFocusReason);
}

QRect SoftwarePickerPopover::anchorRect() const {
    return actions_.anchorRect();
}

SoftwarePickerPopover::Placement SoftwarePickerPopover::placement(const QRect& anchor,
                                                                  const QRect& available,
                                                                  int chromeHeight) {
    Placement place;
    const int full = chromeHeight + kListHeight;
    int height = full;
    int y = anchor.bottom() + 1;
    if (!available.isEmpty()) {
        const int below = available.bottom() - anchor.bottom();
        const int above = anchor.top() - available.top();
        const bool fitsBelow = full <= below;
        const bool goesAbove = !fitsBelow && (full <= above || above > below);
        const int room = goesAbove ? above : below;
        if (full > room)
            place.listHeight = std::max(0, room - chromeHeight);
        height = chromeHeight + place.listHeight;
        if (goesAbove) {
            place.arrowEdge = ArrowEdge::bottom;
            y = anchor.top() - height;
        }
        // Only a screen too short for the popover's header on either side of
        // the button makes it overlap the button.
        y = std::clamp(y, available.top(),
                       std::max(available.top(), available.bottom() + 1 - height));
    }
    int x = anchor.center().x() - kWidth / 2;
    if (!available.isEmpty())
        x = std::clamp(x, available.left(),
                       std::max(available.left(), available.right() + 1 - kWidth));
    place.frame = QRect(x, y, kWidth, height);
    // The arrow keeps clear of the rounded corners.
    const int margin = static_cast<int>(kCornerRadius) + kArrowWidth / 2;
    place.arrowX = std::clamp(anchor.center().x() - x, margin, kWidth - margin);
    return place;
}

int SoftwarePickerPopover::titleRowHeight() const {
    return static_cast<int>(std::ceil(style::face(style::TextRole::pickerTitle).height()));
}

int SoftwarePickerPopover::bodyTop() const {
    return arrowEdge_ == ArrowEdge::top ? kArrowHeight : 0;
}

int SoftwarePickerPopover::chromeHeight() const {
    // Arrow, header block, divider, (list), divider, hint line.
    return kArrowHeight + kHeaderTop + titleRowHeight() + kHeaderSpacing + kSearchHeight +
           kHeaderBottom + 1 + 1 + kHintHeight;
}

void SoftwarePickerPopover::layoutContent() {
    const int searchTop = bodyTop() + kHeaderTop + titleRowHeight() + kHeaderSpacing;
    const QRect search(kHorizontalPadding, searchTop, kWidth - 2 * kHorizontalPadding,
                       kSearchHeight);
    searchButton_->setGeometry(search);
    searchRow_->setGeometry(search);
    const int listTop = searchTop + kSearchHeight + kHeaderBottom + 1;
    grid_->setGeometry(0, listTop, kWidth, listHeight_);

    const int fieldLeft = kSearchPadding + static_cast<int>(magnifierWidth()) + kSearchSpacing;
    const int clearLeft = search.width() - kSearchPadding - kClearSize;
    clearButton_->move(clearLeft, (kSearchHeight - kClearSize) / 2);
    if (field_) {
        const int right = clearButton_->isVisibleTo(searchRow_) ? clearLeft - kSearchSpacing
                                                                : clearLeft + kClearSize;
        // Measured once per field: measuring lays text out, and this runs on
        // every keystroke.
        if (fieldHeight_ == 0)
            fieldHeight_ = field_->sizeHint().height();
        const int fieldHeight = fieldHeight_;
        field_->setGeometry(fieldLeft, (kSearchHeight - fieldHeight) / 2,
                            std::max(0, right - fieldLeft), fieldHeight);
    }
    if (useMask_ && maskFor_ != shape()) {
        maskFor_ = shape();
        platform::setShapeMask(this, outline());
    }
}

void SoftwarePickerPopover::fill(const RenderContext& context) {
    const CorvantaViewState& state = context.state;
    const std::size_t oldFace = chromeFace();
    const QString oldHint = hint_;
    colors_ = context.colors;
    title_ = context.text("选择软件", "Choose software");
    subtitle_ = context.text("切换当前快捷键库", "Switch the shortcut library");
    const QString prompt = context.text("搜索软件名称", "Search software");

    // Cut once: a pasted query can hold hundreds of thousands of words.
    const std::vector<std::string> tokens = picker::queryTokens(state.softwarePickerQuery);
    std::vector<PickerSection> sections =
        picker::filterSections(context.store.groupedSoftwareCache(), tokens);
    const bool queryIsEmpty = tokens.empty();
    hint_ = queryIsEmpty
                ? context.text("快捷键库已按办公、设计、工程、开发与媒体等场景分类。",
                               "Shortcut packs are grouped by office, design, engineering, "
                               "development, media, and more.")
                : (context.isChinese() ? QStringLiteral("找到 %1 个相关软件")
                                       : QStringLiteral("%1 matching software apps"))
                      .arg(picker::matchCount(sections));

    static_cast<SearchButton*>(searchButton_)->setContent(prompt, colors_);
    searchButton_->setVisible(!state.softwarePickerSearchIsActive);
    searchRow_->setVisible(state.softwarePickerSearchIsActive);
    if (state.softwarePickerSearchIsActive) {
        if (!field_) {
            field_ = new PickerSearchField(searchRow_);
            field_->onTextChange = [this](const std::string& text) { actions_.setQuery(text); };
            field_->onFocusChange = [this](bool focused) { actions_.setSearchFocused(focused); };
            // Tab goes from the field through its clear button to the tiles.
            QWidget::setTabOrder(field_, clearButton_);
            QWidget::setTabOrder(clearButton_, grid_);
        }
        field_->refresh(state.softwarePickerQuery, prompt, context.colors);
        // The field is named by its prompt, as the button it replaces.
        if (field_->accessibleName() != prompt)
            field_->setAccessibleName(prompt);
        clearButton_->setVisible(!queryIsEmpty);
        static_cast<ClearButton*>(clearButton_)->setContent(clearLabel(context), colors_);
        outlineFocused_ = state.softwarePickerSearchIsFocused;
        static_cast<SearchRow*>(searchRow_)->setContent(colors_, outlineFocused_);
        layoutContent();
        field_->show();
    } else {
        dropSearchField();
        outlineFocused_ = false;
        // Hidden, the clear button still follows the language, silently.
        SilentAccessibility silent;
        static_cast<ClearButton*>(clearButton_)->setContent(clearLabel(context), colors_);
    }
    grid_->setContent(std::move(sections), queryIsEmpty, context.store.selectedSoftwareID.get(),
                      context.language, colors_);
    // A keystroke changes the hint at most; the rest is repainted only when
    // the theme or the language changed.
    if (chromeFace() != oldFace)
        update();
    else if (hint_ != oldHint)
        update(hintRect());
}

void SoftwarePickerPopover::dropSearchField() {
    delete field_;
    field_ = nullptr;
    fieldHeight_ = 0;
}

void SoftwarePickerPopover::clearSearch() {
    actions_.clearSearch();
    // The outline says the field has the keyboard; make it so.
    if (field_) {
        field_->setText(QString());
        field_->setFocus(Qt::OtherFocusReason);
    }
}

QRect SoftwarePickerPopover::hintRect() const {
    const QRect list = grid_->geometry();
    return QRect(kHorizontalPadding, list.bottom() + 2, width() - 2 * kHorizontalPadding,
                 kHintHeight);
}

const QPainterPath& SoftwarePickerPopover::outline() const {
    if (outlineFor_ == shape())
        return outline_;
    outlineFor_ = shape();
    const QRectF body(0, bodyTop(), width(), height() - kArrowHeight);
    QPainterPath path = style::continuousRoundedRect(body, kCornerRadius);
    // The arrow's base reaches half a pixel into the body, so the two join
    // without a seam.
    const bool up = arrowEdge_ == ArrowEdge::top;
    const double base = up ? kArrowHeight + 0.5 : height() - kArrowHeight - 0.5;
    QPainterPath arrow;
    arrow.moveTo(arrowX_ - kArrowWidth / 2.0, base);
    arrow.lineTo(arrowX_, up ? 0 : height());
    arrow.lineTo(arrowX_ + kArrowWidth / 2.0, base);
    arrow.closeSubpath();
    outline_ = path.united(arrow);
    return outline_;
}

void SoftwarePickerPopover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Everything but the hint changes only with the theme, the language and
    // the size; under the grid and the search field it is painted again on
    // every keystroke.
    backdrop_.draw(
        *this, painter, chromeFace(), [this](QPainter& backdrop) { paintChrome(backdrop); },
        BackdropCache::Beneath::nothing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing);
    paintHint(painter);
}

std::size_t SoftwarePickerPopover::chromeFace() const {
    return qHashMulti(0, colors_.panel.rgba(), colors_.border.rgba(), colors_.textPrimary.rgba(),
                      colors_.textSecondary.rgba(), colors_.textMuted.rgba(), title_, subtitle_,
                      arrowX_, int(arrowEdge_));
}

void SoftwarePickerPopover::paintChrome(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath& shape = outline();
    painter.fillPath(shape, colors_.panel);
    painter.setClipPath(shape);

    const int titleTop = bodyTop() + kHeaderTop;
    const style::TextFace& title = style::face(style::TextRole::pickerTitle);
    const style::TextFace& subtitle = style::face(style::TextRole::pickerSubtitle);
    // The two titles share their first baseline.
    const double baseline = titleTop + title.ascent();
    title.drawAt(painter, QPointF(kHorizontalPadding, baseline), title_, colors_.textPrimary);
    const double subtitleLeft = kHorizontalPadding + title.width(title_) + kTitleSpacing;
    const double room = std::max(0.0, kWidth - kHorizontalPadding - subtitleLeft);
    subtitle.drawAt(painter, QPointF(subtitleLeft, baseline), subtitle.elided(subtitle_, room),
                    colors_.textSecondary);

    const QRect list = grid_->geometry();
    SolidDivider::paint(painter, QRectF(0, list.top() - 1, width(), 1), colors_);
    SolidDivider::paint(painter, QRectF(0, list.bottom() + 1, width(), 1), colors_);

    // The outline's inner half only: a line centred on the window's edge
    // would lose its outer half and show as a faint half-covered pixel.
    painter.strokePath(shape, QPen(colors_.border, 2));
}

void SoftwarePickerPopover::paintHint(QPainter& painter) const {
    // The hint says how many packs match, so it changes with most keys; its
    // few texts are kept as pixmaps over the panel colour they lie on. The
    // pixmap leaves out the hint's top and bottom rows, where the outline
    // runs along the bottom edge; a hint too tall for what is left is drawn.
    const QRectF hint(hintRect());
    const style::TextFace& face = style::face(style::TextRole::pickerHint);
    const Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    const QTransform& transform = painter.deviceTransform();
    const QRect kept = hintRect().adjusted(-kHintMargin, kHintMargin, kHintMargin, -kHintMargin);
    if (colors_.panel.alpha() != 255 || transform.type() > QTransform::TxTranslate ||
        painter.device()->devicePixelRatioF() != 1 ||
        transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy())) {
        face.drawWrapped(painter, hint, hint_, colors_.textMuted, alignment);
        return;
    }
    const QString key = PixmapKey(QLatin1StringView("corvanta-picker-hint:"))
                            .add(face.drawKey())
                            .add((quint64(colors_.panel.rgba()) << 32) | colors_.textMuted.rgba())
                            .add(quint64(kept.width()) << 32 | quint64(kept.height()))
                            .add(hint_)
                            .text();
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        QImage image(kept.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(colors_.panel);
        {
            QPainter hintPainter(&image);
            hintPainter.setRenderHints(painter.renderHints());
            face.drawWrapped(hintPainter, hint.translated(-kept.topLeft()), hint_,
                             colors_.textMuted, alignment);
        }
        // Ink beyond the kept rows: this hint is drawn each time instead.
        if (face.wrappedSize(hint_, hint.width()).height() > kept.height() - 2)
            image = QImage();
        pixmap = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(key, pixmap);
    }
    if (pixmap.isNull())
        face.drawWrapped(painter, hint, hint_, colors_.textMuted, alignment);
    else
        painter.drawPixmap(kept.topLeft(), pixmap);
}

void SoftwarePickerPopover::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContent();
}

void SoftwarePickerPopover::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Showing can make the native window anew, without the shape.
    if (useMask_)
        platform::setShapeMask(this, outline());
}

void SoftwarePickerPopover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    clickThrough_.reset();
    // Escape, an outside click or a closing action: the state follows at once.
    actions_.didClose();
}

void SoftwarePickerPopover::mousePressEvent(QMouseEvent* event) {
    clickThrough_.reset();
    const QPoint global = event->globalPosition().toPoint();
    // A press outside on one of the application's controls closes the popup
    // and works that control, so one click does both. Closing at the press
    // loses the click: the release, taken under the popup's pointer grab,
    // can vanish with the popup, and the control is left pressed. So the
    // popup stays until the release and then hands the control a whole
    // click. The pack button is not handed one: it would open the picker
    // again. Elsewhere (another application) the press closes at once.
    if (!rect().contains(event->position().toPoint()) && !anchorRect().contains(global) &&
        controlAt(global)) {
        clickThrough_ = global;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void SoftwarePickerPopover::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<QPoint> pressedAt = std::exchange(clickThrough_, std::nullopt);
    if (!pressedAt) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    close();
    QWidget* control = controlAt(*pressedAt);
    QWindow* window = control ? control->window()->windowHandle() : nullptr;
    if (!window)
        return;
    for (const auto& [type, global] :
         {std::pair(QEvent::MouseButtonPress, QPointF(*pressedAt)),
          std::pair(QEvent::MouseButtonRelease, event->globalPosition())}) {
        const QPointF local = window->mapFromGlobal(global);
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonPress ? event->button() : Qt::NoButton;
        QMouseEvent replay(type, local, local, global, event->button(), buttons, event->modifiers(),
                           event->pointingDevice());
        replay.setTimestamp(event->timestamp());
        QCoreApplication::sendEvent(window, &replay);
    }
}

QWidget* SoftwarePickerPopover::controlAt(const QPoint& global) const {
    QWidget* widget = QApplication::widgetAt(global);
    return widget && widget->window() != this ? widget : nullptr;
}

}  // namespace corvanta
