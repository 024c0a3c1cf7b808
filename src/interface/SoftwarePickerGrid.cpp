// See SoftwarePickerGrid.h.
#include "interface/SoftwarePickerGrid.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "catalog/SoftwarePack.h"
#include "interface/PickerTilePainter.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"

namespace corvanta {
namespace {

constexpr double kHeaderInset = 3;
constexpr double kNoMatchIcon = 38;
constexpr double kNoMatchRadius = 12;
constexpr double kNoMatchSpacing = 8;
constexpr int kScrollBarWidth = 7;
constexpr int kWheelStep = 40;

QString text(AppLanguage language, const char* zh, const char* en) {
    return QString::fromUtf8(language == AppLanguage::zh ? zh : en);
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The tile's second line, which the tile is also read by.
QString tileDetail(const SoftwarePack& pack, AppLanguage language) {
    return pack.dataStatus == SoftwareDataStatus::catalogOnly
               ? text(language, "核验中", "Verification pending")
               : QString::number(pack.shortcutCount()) + text(language, " 项", " items");
}

bool sameColors(const ThemeColors& a, const ThemeColors& b) {
    return a.panel == b.panel && a.chrome == b.chrome && a.content == b.content &&
           a.surface == b.surface && a.surfaceRaised == b.surfaceRaised &&
           a.surfaceSelected == b.surfaceSelected && a.border == b.border &&
           a.textPrimary == b.textPrimary && a.textSecondary == b.textSecondary &&
           a.textMuted == b.textMuted && a.accent == b.accent;
}

QString groupTitle(SoftwareGroup group, AppLanguage language) {
    return fromView(title(group, language));
}

// A group's request tile: a plus on an empty tile.
class RequestTile final : public PlainButton {
public:
    RequestTile(SoftwareGroup group, QWidget* parent) : PlainButton(parent) {
        setObjectName(QStringLiteral("corvanta.add-software.") + fromView(rawValue(group)));
    }
    void setColors(const ThemeColors& colors) {
        colors_ = colors;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(pressOpacity());
        const QRectF box = QRectF(rect());
        style::fillRoundedRect(painter, box, picker_tile::kRadius, colors_.surface);
        style::strokeRoundedRectInside(painter, box, picker_tile::kRadius, colors_.border);
        SymbolImage::paint(painter, box, "plus", 23, style::Weight::light, colors_.border);
    }

private:
    ThemeColors colors_;
};

}  // namespace

SoftwarePickerGrid::~SoftwarePickerGrid() {
    for (const auto& [index, id] : accessibleIDs_) QAccessible::deleteAccessibleInterface(id);
}

SoftwarePickerGrid::SoftwarePickerGrid(QWidget* parent) : QWidget(parent) {
    installAccessibility();
    setObjectName(QStringLiteral("corvanta.software-picker.list"));
    // The grid paints its own background, so the popover is not painted
    // beneath it first on every keystroke.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setSingleStep(kWheelStep);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this] {
        placeRequestTiles();
        update();
    });
}

void SoftwarePickerGrid::setContent(std::vector<PickerSection> sections, bool includesAddButtons,
                                    const std::string& selectedSoftwareID, AppLanguage language,
                                    const ThemeColors& colors) {
    // Most keys of a longer name leave the matches as they were: nothing
    // then moves, and nothing is laid out or painted again.
    const auto sameSection = [](const PickerSection& a, const PickerSection& b) {
        return a.group == b.group && a.software == b.software;
    };
    const bool sameLook = language == language_ && sameColors(colors, colors_);
    if (sameLook && includesAddButtons == includesAddButtons_ &&
        selectedSoftwareID == selectedSoftwareID_ &&
        std::equal(sections.begin(), sections.end(), sections_.begin(), sections_.end(),
                   sameSection))
        return;
    const std::vector<PaintedItem> before = sameLook ? paintedItems() : std::vector<PaintedItem>();
    const bool recolored = colors.border != colors_.border || colors.textMuted != colors_.textMuted;
    sections_ = std::move(sections);
    includesAddButtons_ = includesAddButtons;
    selectedSoftwareID_ = selectedSoftwareID;
    language_ = language;
    colors_ = colors;
    if (recolored) {
        // A thin indicator in the theme's muted text colour, as an overlay.
        const QColor handle = colors.textMuted;
        scrollBar_->setStyleSheet(
            QStringLiteral("QScrollBar:vertical{background:transparent;width:%1px;margin:3px 2px "
                           "3px 0;}"
                           "QScrollBar::handle:vertical{background:rgba(%2,%3,%4,150);"
                           "border-radius:2px;min-height:24px;}"
                           "QScrollBar::add-line,QScrollBar::sub-line{height:0;}"
                           "QScrollBar::add-page,QScrollBar::sub-page{background:transparent;}")
                .arg(kScrollBarWidth)
                .arg(handle.red())
                .arg(handle.green())
                .arg(handle.blue()));
    }
    relayout();
    // Tiles and headers that are drawn as before where they were before are
    // left alone: a longer query often keeps the first tiles in place.
    if (before.empty() || sections_.empty()) {
        update();
        return;
    }
    const std::vector<PaintedItem> after = paintedItems();
    // The changed items' rows, joined where only the spacing between rows
    // lies between them: each piece of the region is a drawing request and a
    // damage report of its own, and the rows span the tiles' width anyway.
    std::vector<std::pair<int, int>> rows;
    QRect across;
    for (const auto& [from, to] : {std::pair(&before, &after), std::pair(&after, &before)}) {
        for (const PaintedItem& item : *from) {
            if (std::find(to->begin(), to->end(), item) != to->end())
                continue;
            const QRect shown =
                item.rect.translated(0, -offset()).toAlignedRect().adjusted(-3, -1, 3, 1);
            rows.emplace_back(shown.top(), shown.bottom());
            across |= shown;
        }
    }
    std::sort(rows.begin(), rows.end());
    QRegion changed;
    for (std::size_t i = 0; i < rows.size();) {
        auto [top, bottom] = rows[i];
        for (++i; i < rows.size() && rows[i].first <= bottom + int(kSpacing) + 2; ++i)
            bottom = std::max(bottom, rows[i].second);
        changed += QRect(across.left(), top, across.width(), bottom - top + 1);
    }
    update(changed);
}

std::vector<SoftwarePickerGrid::PaintedItem> SoftwarePickerGrid::paintedItems() const {
    std::vector<PaintedItem> items;
    if (sections_.empty())
        return items;
    const QRectF visible(0, offset(), width(), height());
    for (const SectionHeader& header : headers_) {
        if (header.rect.intersects(visible))
            items.push_back({header.rect, nullptr, false, header.title + u' ' + header.count});
    }
    for (const Tile& tile : tiles_) {
        if (tile.pack && tile.rect.intersects(visible))
            items.push_back({tile.rect, tile.pack, tile.pack->id == selectedSoftwareID_, {}});
    }
    return items;
}

void SoftwarePickerGrid::relayout() {
    headers_.clear();
    tiles_.clear();
    const double width = this->width();
    const double rowWidth = std::max(0.0, width - 2 * kPadding);
    // Every tile is half a row wide, with or without a neighbour.
    const double tileWidth = std::max(0.0, (rowWidth - kSpacing) / 2);
    const double headerHeight =
        std::max(picker_tile::lineHeight(style::TextRole::pickerSectionTitle),
                 picker_tile::lineHeight(style::TextRole::pickerSectionCount));
    double y = kPadding;
    std::vector<bool> usedGroups(allCases<SoftwareGroup>().size(), false);
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const PickerSection& section = sections_[s];
        if (s > 0)
            y += kSectionSpacing;
        headers_.push_back(
            {QRectF(kPadding + kHeaderInset, y, rowWidth - 2 * kHeaderInset, headerHeight),
             groupTitle(section.group, language_), QString::number(section.software.size())});
        y += headerHeight;
        const auto rows = picker::rows(section.group, section.software, includesAddButtons_);
        for (const auto& row : rows) {
            y += kSpacing;
            for (std::size_t column = 0; column < row.size(); ++column) {
                const QRectF rect(kPadding + static_cast<double>(column) * (tileWidth + kSpacing),
                                  y, tileWidth, kTileHeight);
                if (const SoftwarePack* pack = row[column].pack()) {
                    tiles_.push_back({rect, pack, section.group});
                } else {
                    tiles_.push_back({rect, nullptr, section.group});
                    usedGroups[static_cast<std::size_t>(section.group)] = true;
                }
            }
            y += kTileHeight;
        }
    }
    contentHeight_ = sections_.empty() ? 0 : y + kPadding;

    // Request tiles are real buttons, so they can be found and announced; at
    // most one per group exists.
    for (auto it = requestTiles_.begin(); it != requestTiles_.end();) {
        if (!usedGroups[static_cast<std::size_t>(it->first)]) {
            delete it->second;
            it = requestTiles_.erase(it);
        } else {
            ++it;
        }
    }
    for (const Tile& tile : tiles_) {
        if (tile.pack)
            continue;
        PlainButton*& button = requestTiles_[tile.group];
        if (!button) {
            const SoftwareGroup group = tile.group;
            button = new RequestTile(group, this);
            // The grid keeps the keyboard; the arrows reach this tile too.
            button->setFocusPolicy(Qt::NoFocus);
            connect(button, &QAbstractButton::clicked, this, [this, group] {
                if (onRequestSoftware)
                    onRequestSoftware(group);
            });
        }
        const QString name = groupTitle(tile.group, language_);
        const QString label =
            language_ == AppLanguage::zh
                ? QStringLiteral("提交希望新增到") + name + QStringLiteral("的软件")
                : QStringLiteral("Request software for ") + name;
        // Every keystroke lays the grid out again; an unchanged name is not
        // announced again.
        if (button->accessibleName() != label)
            button->setAccessibleName(label);
        static_cast<RequestTile*>(button)->setColors(colors_);
    }
    rebuildAccessibleOrder();
    restoreCurrentTile();

    const int viewport = height();
    scrollBar_->setRange(0, std::max(0, static_cast<int>(std::ceil(contentHeight_)) - viewport));
    scrollBar_->setPageStep(viewport);
    scrollBar_->setVisible(contentHeight_ > viewport);
    placeRequestTiles();
}

QString SoftwarePickerGrid::tileAccessibleName(const Tile& tile) const {
    if (!tile.pack)
        return requestTiles_.at(tile.group)->accessibleName();
    return QString::fromStdString(tile.pack->name) + text(language_, "，", ", ") +
           tileDetail(*tile.pack, language_);
}

std::pair<QString, QString> SoftwarePickerGrid::noMatchTexts() const {
    return {text(language_, "没有找到相关软件", "No software found"),
            text(language_, "尝试输入更短的软件名称", "Try a shorter software name")};
}

void SoftwarePickerGrid::placeRequestTiles() {
    const double top = offset();
    for (const Tile& tile : tiles_) {
        if (tile.pack)
            continue;
        PlainButton* button = requestTiles_[tile.group];
        const QRectF shown = tile.rect.translated(0, -top);
        button->setGeometry(shown.toAlignedRect());
        button->setVisible(shown.bottom() > 0 && shown.top() < height());
    }
    scrollBar_->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
    scrollBar_->raise();
}

double SoftwarePickerGrid::offset() const {
    return scrollBar_->value();
}

QRectF SoftwarePickerGrid::tileRect(const std::string& packID) const {
    for (const Tile& tile : tiles_) {
        if (tile.pack && tile.pack->id == packID)
            return tile.rect.translated(0, -offset());
    }
    return {};
}

void SoftwarePickerGrid::scrollToTile(const std::string& packID) {
    for (const Tile& tile : tiles_) {
        if (tile.pack && tile.pack->id == packID) {
            scrollBar_->setValue(static_cast<int>(tile.rect.top() - kPadding));
            return;
        }
    }
}

void SoftwarePickerGrid::scrollToTop() {
    scrollBar_->setValue(0);
}

void SoftwarePickerGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void SoftwarePickerGrid::wheelEvent(QWheelEvent* event) {
    const QPoint pixels = event->pixelDelta();
    const int delta = !pixels.isNull() ? pixels.y() : event->angleDelta().y() * kWheelStep / 120;
    scrollBar_->setValue(scrollBar_->value() - delta);
    event->accept();
}

const SoftwarePickerGrid::Tile* SoftwarePickerGrid::softwareTileAt(QPointF position) const {
    const QPointF content = position + QPointF(0, offset());
    for (const Tile& tile : tiles_) {
        if (tile.pack && tile.rect.contains(content))
            return &tile;
    }
    return nullptr;
}

void SoftwarePickerGrid::mousePressEvent(QMouseEvent* event) {
    pressedPackID_.reset();
    if (event->button() == Qt::LeftButton) {
        if (const Tile* tile = softwareTileAt(event->position()))
            pressedPackID_ = tile->pack->id;
    }
    update();
    event->accept();
}

void SoftwarePickerGrid::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<std::string> pressed = std::move(pressedPackID_);
    pressedPackID_.reset();
    update();
    if (!pressed || event->button() != Qt::LeftButton)
        return;
    const Tile* tile = softwareTileAt(event->position());
    if (tile && tile->pack->id == *pressed && onChooseSoftware)
        onChooseSoftware(*tile->pack);
}

void SoftwarePickerGrid::paintBackground(QPainter& painter, const QRegion& region) {
    // The popover's plain panel colour, but for its outline down both sides.
    constexpr int kEdge = 2;
    const QRect inner = rect().adjusted(kEdge, 0, -kEdge, 0);
    const bool plain = colors_.panel.isValid() && colors_.panel.alpha() == 255;
    for (const QRect& part : region) {
        if (plain)
            painter.fillRect(part & inner, colors_.panel);
        for (const QRect& side :
             {QRect(0, 0, kEdge, height()), QRect(width() - kEdge, 0, kEdge, height()),
              plain ? QRect() : inner}) {
            const QRect beneath = part & side;
            if (beneath.isEmpty())
                continue;
            if (paintBeneath)
                paintBeneath(painter, beneath);
            else
                painter.fillRect(beneath, colors_.panel);
        }
    }
}

void SoftwarePickerGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintBackground(painter, event->region());
    painter.setRenderHint(QPainter::Antialiasing);
    if (sections_.empty()) {
        paintNoMatch(painter);
        return;
    }
    const double top = offset();
    const QRectF visible = QRectF(event->rect()).translated(0, top);
    painter.translate(0, -top);

    const style::TextFace& titleFace = style::face(style::TextRole::pickerSectionTitle);
    const style::TextFace& countFace = style::face(style::TextRole::pickerSectionCount);
    for (const SectionHeader& header : headers_) {
        if (!header.rect.intersects(visible))
            continue;
        const double titleWidth =
            std::min(header.rect.width(), std::ceil(titleFace.width(header.title)));
        titleFace.drawLine(
            painter,
            QRectF(header.rect.left(), header.rect.top(), titleWidth, header.rect.height()),
            header.title, colors_.textSecondary, Qt::AlignLeft | Qt::AlignVCenter, colors_.panel);
        const double countLeft = header.rect.left() + titleWidth + kSpacing;
        countFace.drawLine(
            painter,
            QRectF(countLeft, header.rect.top(), std::max(0.0, header.rect.right() - countLeft),
                   header.rect.height()),
            header.count, colors_.textMuted, Qt::AlignLeft | Qt::AlignVCenter, colors_.panel);
    }
    // Tiles are in content order: skip those above, stop at the first below.
    const auto first = std::partition_point(tiles_.begin(), tiles_.end(), [&](const Tile& tile) {
        return tile.rect.bottom() < visible.top();
    });
    for (auto it = first; it != tiles_.end() && it->rect.top() <= visible.bottom(); ++it) {
        if (it->pack)
            paintSoftwareTile(painter, *it, pressedPackID_ && *pressedPackID_ == it->pack->id);
    }
    paintCurrentTile(painter);
}

void SoftwarePickerGrid::paintSoftwareTile(QPainter& painter, const Tile& tile, bool pressed) {
    const PickerTile face{tile.pack, tileDetail(*tile.pack, language_),
                          tile.pack->id == selectedSoftwareID_};
    // The grid lies on the popover's plain panel colour.
    if (!pressed && picker_tile::paintKept(painter, tile.rect, face, colors_, colors_.panel))
        return;
    painter.save();
    if (pressed)
        painter.setOpacity(0.7);
    picker_tile::paint(painter, tile.rect, face, colors_);
    painter.restore();
}

void SoftwarePickerGrid::paintNoMatch(QPainter& painter) {
    const double titleHeight = picker_tile::lineHeight(style::TextRole::pickerEmptyTitle);
    const double messageHeight = picker_tile::lineHeight(style::TextRole::pickerEmptyMessage);
    const double total =
        kNoMatchIcon + kNoMatchSpacing + titleHeight + kNoMatchSpacing + messageHeight;
    double y = (height() - total) / 2;
    const QRectF icon(width() / 2.0 - kNoMatchIcon / 2, y, kNoMatchIcon, kNoMatchIcon);
    style::fillRoundedRect(painter, icon, kNoMatchRadius, colors_.surface);
    style::strokeRoundedRect(painter, icon, kNoMatchRadius, colors_.border);
    SymbolImage::paint(painter, icon, "magnifyingglass", 16, style::Weight::medium,
                       colors_.textMuted);
    y += kNoMatchIcon + kNoMatchSpacing;
    style::face(style::TextRole::pickerEmptyTitle)
        .drawLine(painter, QRectF(0, y, width(), titleHeight),
                  text(language_, "没有找到相关软件", "No software found"), colors_.textPrimary,
                  Qt::AlignCenter);
    y += titleHeight + kNoMatchSpacing;
    style::face(style::TextRole::pickerEmptyMessage)
        .drawLine(painter, QRectF(0, y, width(), messageHeight),
                  text(language_, "尝试输入更短的软件名称", "Try a shorter software name"),
                  colors_.textSecondary, Qt::AlignCenter);
}

}  // namespace corvanta
