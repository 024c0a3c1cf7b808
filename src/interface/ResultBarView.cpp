// The result bar; see ResultBarView.h.
#include "interface/ResultBarView.h"

#include <QPainter>

#include "catalog/ShortcutStore.h"
#include "interface/Style.h"
#include "interface/TextFace.h"
#include "platform/foundation/Text.h"

namespace corvanta {

namespace {

constexpr double kPadding = 16;
constexpr double kSpacing = 8;

}  // namespace

ResultBarView::ResultBarView(const RenderContextSource& source, QWidget* parent)
    : QWidget(parent), source_(source) {
    setObjectName(QStringLiteral("corvanta.results"));
    setAttribute(Qt::WA_TranslucentBackground);
}

QString ResultBarView::countText(int count, AppLanguage language) {
    if (language == AppLanguage::zh)
        return QStringLiteral("%1 项").arg(count);
    return count == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(count);
}

void ResultBarView::render(const RenderContext& context) {
    QString title = QString::fromStdString(context.store.resultTitle());
    QString count = countText(context.store.shownCount(), context.language);
    if (title != title_ || count != count_) {
        title_ = std::move(title);
        count_ = std::move(count);
        update();
    }
    const QString name = accessibleNameFor(context);
    if (accessibleName() != name)
        setAccessibleName(name);
}

QString ResultBarView::accessibleNameFor(const RenderContext& context) {
    // Read as a sentence: the painted middle dot and quotation marks would
    // be spoken as symbols, in either language.
    const std::string& query = context.store.query.get();
    const QString count = countText(context.store.shownCount(), context.language);
    if (!text::isBlank(query)) {
        const QString words = QString::fromStdString(query).trimmed();
        return context.isChinese() ? QStringLiteral("%1 的搜索结果，%2").arg(words, count)
                                   : QStringLiteral("Search results for %1, %2").arg(words, count);
    }
    return QString::fromStdString(context.store.resultTitle()) + context.text("，", ", ") + count;
}

void ResultBarView::paintEvent(QPaintEvent*) {
    const ThemeColors& colors = source_.renderContext().colors;
    QPainter painter(this);
    const style::TextFace& countFace = style::face(style::TextRole::resultCount);
    const double countWidth = std::ceil(countFace.width(count_));
    const QRectF countRect(width() - kPadding - countWidth, 0, countWidth, height());
    countFace.drawLine(painter, countRect, count_, colors.textSecondary,
                       Qt::AlignRight | Qt::AlignVCenter);
    style::face(style::TextRole::resultTitle)
        .drawLine(
            painter,
            QRectF(kPadding, 0, std::max(0.0, countRect.left() - kSpacing - kPadding), height()),
            title_, colors.textSecondary);
}

}  // namespace corvanta
