// See FooterView.h.
#include "interface/FooterView.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QPainter>
#include <QSvgRenderer>

#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"
#include "platform/foundation/GuardedFile.h"

namespace corvanta {

namespace {

constexpr double kPadding = 14;
constexpr double kHintSpacing = 5;
constexpr double kGroupSpacing = 13;
constexpr double kButtonSpacing = 4;
constexpr double kBrandSpacing = 5;
constexpr double kButtonSymbolSize = 9;
constexpr double kLogoSize = 12;
constexpr const char* kButtonSymbol = "questionmark.bubble";
constexpr const char* kBrandName = "Corvanta";
// The key the user presses for search here ("⌘ K" where Command exists).
constexpr const char* kSearchKey = "Ctrl K";

QString& logoFile() {
    static QString path;
    return path;
}

// Loaded once per file; an unreadable file gives no logo rather than a broken one.
QSvgRenderer* logoRenderer() {
    static QString loadedPath;
    static std::unique_ptr<QSvgRenderer> renderer;
    if (loadedPath != logoFile()) {
        loadedPath = logoFile();
        // The logo is a small SVG of our own; it is read like any other file.
        const auto bytes = platform::readSelfContainedSvg(loadedPath.toStdString(),
                                                          platform::kMaxDrawingFileBytes);
        renderer = std::make_unique<QSvgRenderer>(QByteArray::fromStdString(bytes.value_or("")));
        if (!renderer->isValid())
            renderer.reset();
    }
    return renderer.get();
}

// The feedback button: symbol and title side by side, the whole label clickable.
class FeedbackButton final : public PlainButton {
public:
    explicit FeedbackButton(QWidget* parent) : PlainButton(parent) {}

    void setContent(const QString& title, const QColor& color) {
        if (title_ == title && color_ == color)
            return;
        title_ = title;
        color_ = color;
        const style::TextFace& face = style::face(style::TextRole::footerText);
        const double width = symbolWidth() + kButtonSpacing + face.width(title);
        const double height =
            std::max(face.height(), SymbolImage::size(kButtonSymbol, kButtonSymbolSize).height());
        setFixedSize(int(std::ceil(width)), int(std::ceil(height)));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(pressOpacity());
        const double symbol = symbolWidth();
        SymbolImage::paint(painter, QRectF(0, 0, symbol, height()), kButtonSymbol,
                           kButtonSymbolSize, style::Weight::medium, color_);
        const double x = symbol + kButtonSpacing;
        style::face(style::TextRole::footerText)
            .drawLine(painter, QRectF(x, 0, width() - x + 1, height()), title_, color_);
    }

private:
    static double symbolWidth() {
        return SymbolImage::size(kButtonSymbol, kButtonSymbolSize, style::Weight::medium).width();
    }

    QString title_;
    QColor color_;
};

}  // namespace

void FooterView::setLogoFile(const QString& path) {
    logoFile() = path;
}

FooterView::FooterView(const RenderContextSource& source, Actions actions, QWidget* parent)
    : QWidget(parent), source_(source), actions_(std::move(actions)) {
    setAttribute(Qt::WA_TranslucentBackground);
    auto* button = new FeedbackButton(this);
    button->setObjectName(QStringLiteral("corvanta.feedback.open"));
    connect(button, &QAbstractButton::clicked, this, [this] { actions_.presentFeedbackDialog(); });
    feedbackButton_ = button;
}

void FooterView::render(const RenderContext& context) {
    // Only the theme and the language change what the footer shows.
    const std::pair face{context.theme, context.language};
    if (paintedFace_ == face)
        return;
    paintedFace_ = face;
    collapseText_ = context.text("收起", "collapse");
    searchText_ = context.text("搜索", "search");
    feedbackTitle_ = context.text("问题反馈", "Feedback");
    static_cast<FeedbackButton*>(feedbackButton_)
        ->setContent(style::buttonText(feedbackTitle_), context.colors.textMuted);
    const QString label = context.text("提交问题反馈", "Send product feedback");
    if (feedbackButton_->accessibleName() != label)
        feedbackButton_->setAccessibleName(label);
    layoutItems();
    update();
}

void FooterView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutItems();
}

void FooterView::layoutItems() {
    items_.clear();
    const double mid = height() / 2.0;
    auto textItem = [&](const QString& text, style::TextRole role, double x) {
        const style::TextFace& face = style::face(role);
        const double w = face.width(text);
        const double h = face.height();
        items_.push_back({Item::Kind::text, text, QRectF(x, mid - h / 2, w, h)});
        return x + w;
    };
    auto keyItem = [&](const QString& text, double x) {
        const QSizeF size = MiniKey::size(text);
        items_.push_back(
            {Item::Kind::key, text, QRectF(QPointF(x, mid - size.height() / 2), size)});
        return x + size.width();
    };

    double x = kPadding;
    x = keyItem(QStringLiteral("Esc"), x) + kHintSpacing;
    x = textItem(collapseText_, style::TextRole::footerText, x) + kHintSpacing;
    x = textItem(QStringLiteral("·"), style::TextRole::footerText, x) + kHintSpacing;
    x = keyItem(QString::fromUtf8(kSearchKey), x) + kHintSpacing;
    textItem(searchText_, style::TextRole::footerText, x);

    // The right-hand group is laid out from the trailing edge.
    const QString brand = QString::fromUtf8(kBrandName);
    const style::TextFace& brandFace = style::face(style::TextRole::footerBrand);
    const double brandWidth = brandFace.width(brand);
    double right = width() - kPadding;
    const double brandX = right - brandWidth;
    const double logoX = brandX - kBrandSpacing - kLogoSize;
    items_.push_back(
        {Item::Kind::logo, QString(), QRectF(logoX, mid - kLogoSize / 2, kLogoSize, kLogoSize)});
    const double brandHeight = brandFace.height();
    items_.push_back(
        {Item::Kind::brand, brand, QRectF(brandX, mid - brandHeight / 2, brandWidth, brandHeight)});
    right = logoX - kGroupSpacing;
    feedbackButton_->move(int(std::floor(right - feedbackButton_->width())),
                          int(std::lround(mid - feedbackButton_->height() / 2.0)));
}

void FooterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const ThemeColors& colors = source_.renderContext().colors;
    for (const Item& item : items_) {
        switch (item.kind) {
            case Item::Kind::key:
                // The cap's outline is one pixel: off a pixel row it blurs.
                MiniKey::paint(painter, style::snappedToDevice(painter, item.frame.topLeft()),
                               item.text, colors);
                break;
            case Item::Kind::text:
                style::face(style::TextRole::footerText)
                    .drawLine(painter, item.frame.adjusted(0, 0, 1, 0), item.text,
                              colors.textMuted);
                break;
            case Item::Kind::brand:
                style::face(style::TextRole::footerBrand)
                    .drawLine(painter, item.frame.adjusted(0, 0, 1, 0), item.text,
                              colors.textMuted);
                break;
            case Item::Kind::logo:
                if (QSvgRenderer* logo = logoRenderer())
                    logo->render(&painter, item.frame);
                break;
        }
    }
}

}  // namespace corvanta
