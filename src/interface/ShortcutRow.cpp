// See ShortcutRow.h.
#include "interface/ShortcutRow.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include <QImage>
#include <QPainter>

#include "catalog/ShortcutItem.h"
#include "interface/KeptPixmap.h"
#include "interface/SpokenKeys.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"

namespace corvanta {

namespace {

// Latin letters and digits make up the words the substitutions must respect;
// Chinese text around "RAM" still counts as a boundary.
bool isLatinWordCharacter(QChar c) {
    return c.isDigit() || (c.isLetter() && c.unicode() < 0x0250);
}

// Replaces `word` only where it stands as a whole word: "PROGRAM" keeps its
// "RAM", "10 pxl" keeps its "px".
QString replaceWholeWord(const QString& text, const QString& word, const QString& replacement) {
    const bool checkBefore = isLatinWordCharacter(word.front());
    const bool checkAfter = isLatinWordCharacter(word.back());
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        const qsizetype end = at + word.size();
        if (at < from)
            continue;
        if (checkBefore && at > 0 && isLatinWordCharacter(text[at - 1]))
            continue;
        if (checkAfter && end < text.size() && isLatinWordCharacter(text[end]))
            continue;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = end;
    }
    if (from == 0)
        return text;
    result += QStringView(text).mid(from);
    return result;
}

}  // namespace

QString ShortcutRow::accessibilityLabel(const ShortcutItem& item, AppLanguage language) {
    std::vector<QString> keys;
    for (const auto& label : item.keysFor(language)) keys.push_back(QString::fromStdString(label));
    const QString title = displayTitle(item, language);
    const QString spoken = corvanta::spokenKeys(keys, language);
    if (spoken.isEmpty())
        return title;
    return title + (language == AppLanguage::zh ? QStringLiteral("，") : QStringLiteral(", ")) +
           spoken;
}

const style::TextFace& ShortcutRow::KeyCap::face() {
    return style::face(style::TextRole::keyCap);
}

namespace {

// Modifier and editing keys (⌘ ⌥ ⇧ ⌃ ↩ ⌫ ⌦ ⎋ ⇥ and the arrows) live in the
// arrows and technical blocks. Monospaced faces draw them at two thirds of a
// capital or less, so caps take them from the proportional face instead.
bool isKeySymbol(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x2190 && u <= 0x21FF) || (u >= 0x2300 && u <= 0x23FF);
}

// One stretch of a label drawn in one font: letters share the cap's font and
// baseline; a symbol is one character, sized and centred on its own.
struct CapPiece {
    QString text;
    const style::TextFace* face;
    bool symbol = false;
    double advance = 0;
};

// Rows a character's ink covers when drawn at a device pixel ratio of 1, not
// counting faint antialiasing: what a reader sees as its height.
int inkRows(const style::TextFace& face, QChar c) {
    const int side = int(std::ceil(face.height())) * 2;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        face.drawAt(painter, QPointF(side / 4.0, std::round(side * 0.7)), QString(c), Qt::black);
    }
    int rows = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            if (qAlpha(image.pixel(x, y)) >= 96) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

// The symbol face, grown a pixel at a time from its role's size, at the
// smallest size whose ink is as tall as a capital of `letters` (some, like ⌃,
// are short marks at the text size).
const style::TextFace& symbolFace(const style::TextFace& letters, QChar symbol) {
    using Key = std::tuple<QString, double, char16_t>;
    static std::map<Key, const style::TextFace*> cache;
    const Key key{letters.layoutFont().key(), letters.points(), symbol.unicode()};
    if (auto it = cache.find(key); it != cache.end())
        return *it->second;
    const style::TypeRole type = style::typeRole(style::TextRole::keyCapSymbol);
    const double base = type.shownPoints();
    const int capital = inkRows(letters, QLatin1Char('S'));
    const style::TextFace* face = &style::face(base, type.weight, type.design);
    for (double points = base + 1; points <= 3 * base && inkRows(*face, symbol) < capital;
         points += 1)
        face = &style::face(points, type.weight, type.design);
    if (inkRows(*face, symbol) < capital)
        face = &style::face(style::TextRole::keyCapSymbol);
    return *cache.emplace(key, face).first->second;
}

std::vector<CapPiece> splitCap(const style::TextFace& face, const QString& text) {
    std::vector<CapPiece> pieces;
    for (const QChar c : text) {
        if (isKeySymbol(c)) {
            pieces.push_back({QString(c), &symbolFace(face, c), true});
        } else if (pieces.empty() || pieces.back().symbol) {
            pieces.push_back({QString(c), &face, false});
        } else {
            pieces.back().text += c;
        }
    }
    for (CapPiece& piece : pieces) piece.advance = piece.face->width(piece.text);
    return pieces;
}

// A label's pieces, kept: every repaint of the list sizes and draws the same
// few hundred labels, and splitting one measures (shapes) each piece.
const std::vector<CapPiece>& capPieces(const style::TextFace& face, const QString& text) {
    using Key = std::pair<const style::TextFace*, QString>;
    static std::map<Key, std::vector<CapPiece>> cache;
    Key key{&face, text};
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    // Far above the catalog's distinct labels; only guards against growth.
    if (cache.size() >= 4096)
        cache.clear();
    return cache.emplace(std::move(key), splitCap(face, text)).first->second;
}

double piecesWidth(const std::vector<CapPiece>& pieces) {
    double width = 0;
    for (const CapPiece& piece : pieces) width += piece.advance;
    return width;
}

}  // namespace

QSizeF ShortcutRow::KeyCap::size(const style::TextFace& face, const QString& text) {
    const double content = std::ceil(piecesWidth(capPieces(face, text))) + 2 * kPadding;
    return {std::max(kMinWidth, content), kHeight};
}

namespace {

void paintCap(QPainter& painter, const QRectF& cap, const style::TextFace& face,
              const QString& text, const ThemeColors& colors) {
    style::fillRoundedRect(painter, cap, ShortcutRow::KeyCap::kRadius, colors.surfaceRaised);
    const std::vector<CapPiece>& pieces = capPieces(face, text);
    // Capitals are centred in the cap; each symbol's ink is centred on the
    // same line, on whole pixels so strokes stay crisp.
    const double middle = cap.center().y();
    const QRectF capital = face.inkBounds(QLatin1Char('S'));
    const double letterBaseline = std::round(middle - (capital.top() + capital.bottom()) / 2);
    double x = cap.center().x() - piecesWidth(pieces) / 2;
    for (const CapPiece& piece : pieces) {
        double baseline = letterBaseline;
        if (piece.symbol) {
            const QRectF ink = piece.face->inkBounds(piece.text.front());
            baseline = std::round(middle - (ink.top() + ink.bottom()) / 2);
        }
        piece.face->drawAt(painter, QPointF(x, baseline), piece.text, colors.textPrimary);
        x += piece.advance;
    }
    // Inside the cap, so a cap covers exactly its own frame.
    style::strokeRoundedRectInside(painter, cap, ShortcutRow::KeyCap::kRadius, colors.border);
}

bool onWholePixels(double value) {
    return value == std::round(value);
}

}  // namespace

void ShortcutRow::KeyCap::paint(QPainter& painter, const QRectF& cap, const style::TextFace& face,
                                const QString& text, const ThemeColors& colors) {
    // A list repaint draws the same few caps on every keystroke; each is a
    // filled and stroked rounded plate with shaped text, so a cap on whole
    // pixels is kept as a pixmap per label, face, size and colours.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QTransform& transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate ||
        !onWholePixels(cap.left() * ratio + transform.dx()) ||
        !onWholePixels(cap.top() * ratio + transform.dy()) || !onWholePixels(cap.width()) ||
        !onWholePixels(cap.height())) {
        paintCap(painter, cap, face, text, colors);
        return;
    }
    const QString key =
        PixmapKey(QLatin1StringView("corvanta-cap:"))
            .add(face.drawKey())
            .add(cap.width())
            .add(cap.height())
            .add(ratio)
            .add((quint64(colors.surfaceRaised.rgba()) << 32) | colors.border.rgba())
            .add((quint64(colors.textPrimary.rgba()) << 32) |
                 quint64(painter.testRenderHint(QPainter::Antialiasing)))
            .add(text)
            .text();
    painter.drawPixmap(cap.topLeft(),
                       keptPixmap(key, (cap.size() * ratio).toSize(), ratio, Qt::transparent,
                                  painter.renderHints(), [&](QPainter& capPainter) {
                                      paintCap(capPainter, QRectF(QPointF(), cap.size()), face,
                                               text, colors);
                                  }));
}

ShortcutRow::ShortcutRow(const ShortcutItem& item, AppLanguage language, bool favorite,
                         QColor accent)
    : title_(displayTitle(item, language)),
      language_(language),
      favorite_(favorite),
      accent_(accent) {
    const std::vector<std::string> labels = item.keysFor(language);
    keys_.reserve(labels.size());
    for (const auto& label : labels) keys_.push_back(QString::fromStdString(label));
}

QString ShortcutRow::displayTitle(const ShortcutItem& item, AppLanguage language) {
    if (language != AppLanguage::zh)
        return QString::fromStdString(ShortcutItem::removingTerminalSentencePunctuation(item.en));
    QString title = QString::fromStdString(item.zh);
    title = replaceWholeWord(title, QStringLiteral(" px"), QStringLiteral(" 像素"));
    title = replaceWholeWord(title, QStringLiteral("RAM"), QStringLiteral("内存"));
    return QString::fromStdString(
        ShortcutItem::removingTerminalSentencePunctuation(title.toStdString()));
}

QString ShortcutRow::starAccessibilityLabel(const QString& title, AppLanguage language,
                                            bool favorite) {
    if (language == AppLanguage::zh)
        return (favorite ? QStringLiteral("取消收藏 ") : QStringLiteral("收藏 ")) + title;
    return favorite ? QStringLiteral("Remove ") + title + QStringLiteral(" from favorites")
                    : QStringLiteral("Add ") + title + QStringLiteral(" to favorites");
}

QString ShortcutRow::starAccessibilityLabel() const {
    return starAccessibilityLabel(title_, language_, favorite_);
}

QRectF ShortcutRow::starRect(const QRectF& row) {
    const double top = row.top() + std::round((row.height() - kStarSize) / 2);
    return {row.right() - kTrailingPadding - kStarSize, top, kStarSize, kStarSize};
}

void ShortcutRow::paint(QPainter& painter, const QRectF& row, const ThemeColors& colors,
                        bool starPressed) const {
    const QRectF star = starRect(row);
    painter.save();
    painter.setOpacity(starPressed ? 0.7 : 1.0);
    SymbolImage::paint(painter, star, starSymbol(), kStarSymbolSize, style::Weight::regular,
                       favorite_ ? accent_ : colors.textMuted);
    painter.restore();

    // Caps are laid out leftwards from the star, then the title takes what
    // is left after the filler's minimum.
    const style::TextFace& capFace = KeyCap::face();
    const double capTop = row.top() + std::round((row.height() - KeyCap::kHeight) / 2);
    double right = star.left() - kSpacing;
    std::vector<QRectF> caps(keys_.size());
    for (std::size_t i = keys_.size(); i-- > 0;) {
        const QSizeF size = KeyCap::size(capFace, keys_[i]);
        caps[i] = QRectF(QPointF(right - size.width(), capTop), size);
        right = caps[i].left() - kKeySpacing;
    }
    const double keysLeft = keys_.empty() ? star.left() - kSpacing : caps.front().left();
    for (std::size_t i = 0; i < keys_.size(); ++i)
        KeyCap::paint(painter, caps[i], capFace, keys_[i], colors);

    const double titleLeft = row.left() + kLeadingPadding;
    const double titleRight = keysLeft - kSpacing - kFillerMinWidth - kSpacing;
    if (titleRight > titleLeft) {
        style::face(style::TextRole::rowTitle)
            .drawLine(painter, QRectF(titleLeft, row.top(), titleRight - titleLeft, row.height()),
                      title_, colors.textPrimary, Qt::AlignLeft | Qt::AlignVCenter, colors.content);
    }
}

}  // namespace corvanta
