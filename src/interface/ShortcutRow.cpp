// See ShortcutRow.h.
#include "interface/ShortcutRow.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "catalog/ShortcutItem.h"
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

struct KeyWord {
    char16_t symbol;
    const char* en;
    const char* zh;
};

// Chinese keeps the modifier names its keyboards print and names the rest.
constexpr KeyWord kKeyWords[] = {
    {u'⌘', "Command", "Command"},
    {u'⌥', "Option", "Option"},
    {u'⇧', "Shift", "Shift"},
    {u'⌃', "Control", "Control"},
    {u'↩', "Return", "回车"},
    {u'⏎', "Return", "回车"},
    {u'⌤', "Enter", "回车"},
    {u'⌫', "Delete", "删除"},
    {u'⌦', "Forward Delete", "向前删除"},
    {u'⎋', "Escape", "Esc"},
    {u'⇥', "Tab", "Tab"},
    {u'⇪', "Caps Lock", "大写锁定"},
    {u'↑', "Up Arrow", "上箭头"},
    {u'↓', "Down Arrow", "下箭头"},
    {u'←', "Left Arrow", "左箭头"},
    {u'→', "Right Arrow", "右箭头"},
    {u'⇞', "Page Up", "向上翻页"},
    {u'⇟', "Page Down", "向下翻页"},
    {u'↖', "Home", "Home"},
    {u'↘', "End", "End"},
};

const KeyWord* keyWord(QChar c) {
    for (const KeyWord& word : kKeyWords) {
        if (word.symbol == c.unicode())
            return &word;
    }
    return nullptr;
}

// One cap in words: each symbol becomes its word, text between them stays.
QString spokenCap(const QString& cap, AppLanguage language) {
    QStringList words;
    QString plain;
    for (QChar c : cap) {
        const KeyWord* word = keyWord(c);
        if (!word) {
            plain += c;
            continue;
        }
        if (!plain.trimmed().isEmpty())
            words << plain.trimmed();
        plain.clear();
        words << QString::fromUtf8(language == AppLanguage::zh ? word->zh : word->en);
    }
    if (!plain.trimmed().isEmpty())
        words << plain.trimmed();
    return words.join(QLatin1Char(' '));
}

}  // namespace

QString ShortcutRow::spokenKeys(const std::vector<QString>& keys, AppLanguage language) {
    QStringList words;
    for (const QString& key : keys) {
        if (QString word = spokenCap(key, language); !word.isEmpty())
            words << word;
    }
    return words.join(QLatin1Char(' '));
}

QString ShortcutRow::accessibilityLabel(const ShortcutItem& item, AppLanguage language) {
    std::vector<QString> keys;
    for (const auto& label : item.keysFor(language)) keys.push_back(QString::fromStdString(label));
    const QString title = displayTitle(item, language);
    const QString spoken = spokenKeys(keys, language);
    if (spoken.isEmpty())
        return title;
    return title + (language == AppLanguage::zh ? QStringLiteral("，") : QStringLiteral(", ")) +
           spoken;
}

QFont ShortcutRow::KeyCap::font() {
    return style::font(style::TextRole::keyCap);
}

QSizeF ShortcutRow::KeyCap::size(const QFont& font, const QString& text) {
    const double content = std::ceil(style::textWidth(font, text)) + 2 * kPadding;
    return {std::max(kMinWidth, content), kHeight};
}

void ShortcutRow::KeyCap::paint(QPainter& painter, const QRectF& cap, const QFont& font,
                                const QString& text, const ThemeColors& colors) {
    style::fillRoundedRect(painter, cap, kRadius, colors.surfaceRaised);
    style::drawTextLine(painter, cap.adjusted(kPadding, 0, -kPadding, 0), text, font,
                        colors.textPrimary, Qt::AlignCenter);
    // Inside the cap, so a cap covers exactly its own frame.
    style::strokeRoundedRectInside(painter, cap, kRadius, colors.border);
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
    const QFont capFont = KeyCap::font();
    const double capTop = row.top() + std::round((row.height() - KeyCap::kHeight) / 2);
    double right = star.left() - kSpacing;
    std::vector<QRectF> caps(keys_.size());
    for (std::size_t i = keys_.size(); i-- > 0;) {
        const QSizeF size = KeyCap::size(capFont, keys_[i]);
        caps[i] = QRectF(QPointF(right - size.width(), capTop), size);
        right = caps[i].left() - kKeySpacing;
    }
    const double keysLeft = keys_.empty() ? star.left() - kSpacing : caps.front().left();
    for (std::size_t i = 0; i < keys_.size(); ++i)
        KeyCap::paint(painter, caps[i], capFont, keys_[i], colors);

    const double titleLeft = row.left() + kLeadingPadding;
    const double titleRight = keysLeft - kSpacing - kFillerMinWidth - kSpacing;
    if (titleRight > titleLeft) {
        style::drawTextLine(painter,
                            QRectF(titleLeft, row.top(), titleRight - titleLeft, row.height()),
                            title_, style::font(style::TextRole::rowTitle), colors.textPrimary);
    }
}

}  // namespace corvanta
