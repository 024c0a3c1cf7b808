// Category tabs; see CategoryTabsView.h.
#include "interface/CategoryTabsView.h"

#include <QScrollBar>
#include <QWheelEvent>

#include "catalog/ShortcutStore.h"
#include "interface/SmallControls.h"

namespace corvanta {

namespace {

constexpr int kPadding = 13;
constexpr int kSpacing = 6;

}  // namespace

CategoryTabsView::CategoryTabsView(Actions actions, QWidget* parent)
    : QScrollArea(parent), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("corvanta.categories"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(false);
    viewport()->setAutoFillBackground(false);
    row_ = new QWidget;
    setWidget(row_);
    // setWidget turns background filling on; the panel paints the content
    // colour behind the tabs.
    row_->setAutoFillBackground(false);
}

void CategoryTabsView::render(const RenderContext& context) {
    std::vector<std::string> ids{"all"};
    std::vector<QString> titles{context.text("全部分类", "All categories")};
    if (const SoftwarePack* pack = context.store.selectedSoftware()) {
        for (const ShortcutCategory& category : pack->categories) {
            ids.push_back(category.id);
            titles.push_back(
                QString::fromStdString(context.isChinese() ? category.zh : category.en));
        }
    }
    while (tabs_.size() < ids.size()) {
        auto* tab = new CategoryButton(row_);
        const std::size_t index = tabs_.size();
        connect(tab, &QAbstractButton::clicked, this, [this, index] {
            if (index < tabIDs_.size())
                actions_.selectCategory(tabIDs_[index]);
        });
        tab->installEventFilter(this);
        tab->show();
        tabs_.push_back(tab);
    }
    while (tabs_.size() > ids.size()) {
        delete tabs_.back();
        tabs_.pop_back();
    }
    const bool packChanged = tabIDs_ != ids;
    tabIDs_ = ids;
    const std::string& selected = context.store.selectedCategoryID.get();
    for (std::size_t i = 0; i < tabs_.size(); ++i)
        tabs_[i]->setContent(titles[i], ids[i] == selected, context.colors.accent, context.colors);
    layoutTabs();
    if (packChanged)
        horizontalScrollBar()->setValue(0);
}

void CategoryTabsView::layoutTabs() {
    int x = kPadding;
    const int h = viewport()->height();
    for (CategoryButton* tab : tabs_) {
        tab->move(x, (h - tab->height()) / 2);
        x += tab->width() + kSpacing;
    }
    const int contentWidth = tabs_.empty() ? 0 : x - kSpacing + kPadding;
    row_->resize(std::max(contentWidth, viewport()->width()), h);
}

void CategoryTabsView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    layoutTabs();
}

void CategoryTabsView::wheelEvent(QWheelEvent* event) {
    // There is no scroll bar; a mouse wheel's vertical turn scrolls sideways.
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    int delta = 0;
    if (!pixels.isNull())
        delta = std::abs(pixels.x()) > std::abs(pixels.y()) ? pixels.x() : pixels.y();
    else
        delta = (std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y()) / 2;
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() - delta);
    event->accept();
}

bool CategoryTabsView::eventFilter(QObject* watched, QEvent* event) {
    // Tab from a control outside the strip gives a tab focus without the
    // strip's own focus step, which is what scrolls a focused tab into view.
    if (event->type() == QEvent::FocusIn) {
        if (auto* tab = qobject_cast<QWidget*>(watched))
            ensureWidgetVisible(tab);
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace corvanta
