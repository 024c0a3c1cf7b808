// See SpokenKeys.h.
#include "interface/SpokenKeys.h"

#include <QStringList>

namespace corvanta {

namespace {

struct KeyWord {
    const char16_t* key;
    const char* en;
    const char* zh;
};

// Chinese keeps the modifier names its keyboards and documentation print and
// names every other key in Chinese.
constexpr KeyWord kModifiers[] = {
    {u"⌘", "Command", "Command"},
    {u"⌥", "Option", "Option"},
    {u"⇧", "Shift", "Shift"},
    {u"⌃", "Control", "Control"},
};

// Symbols drawn on caps, and the names caps spell out.
constexpr KeyWord kNamedKeys[] = {
    {u"↩", "Return", "回车键"},
    {u"⏎", "Return", "回车键"},
    {u"⌤", "Enter", "回车键"},
    {u"⌫", "Delete", "删除键"},
    {u"⌦", "Forward Delete", "向前删除键"},
    {u"⎋", "Escape", "退出键"},
    {u"⇥", "Tab", "制表键"},
    {u"⇪", "Caps Lock", "大写锁定键"},
    {u"↑", "Up Arrow", "上箭头键"},
    {u"↓", "Down Arrow", "下箭头键"},
    {u"←", "Left Arrow", "左箭头键"},
    {u"→", "Right Arrow", "右箭头键"},
    {u"⇞", "Page Up", "向上翻页键"},
    {u"⇟", "Page Down", "向下翻页键"},
    {u"↖", "Home", "起始键"},
    {u"↘", "End", "结束键"},
    {u"Space", "Space", "空格键"},
    {u"Tab", "Tab", "制表键"},
    {u"Return", "Return", "回车键"},
    {u"Enter", "Enter", "回车键"},
    {u"Delete", "Delete", "删除键"},
    {u"Esc", "Escape", "退出键"},
    {u"Escape", "Escape", "退出键"},
    {u"Home", "Home", "起始键"},
    {u"End", "End", "结束键"},
    {u"Page Up", "Page Up", "向上翻页键"},
    {u"Page Down", "Page Down", "向下翻页键"},
    {u"Numpad", "Numpad", "小键盘"},
};

// Punctuation keys by name: speech engines say few of them at their default
// level, and some (',' '?' '!') not at all.
constexpr KeyWord kPunctuation[] = {
    {u",", "Comma", "逗号"},
    {u".", "Period", "句点"},
    {u"/", "Slash", "斜杠"},
    {u"\\", "Backslash", "反斜杠"},
    {u"[", "Left Bracket", "左方括号"},
    {u"]", "Right Bracket", "右方括号"},
    {u"{", "Left Brace", "左花括号"},
    {u"}", "Right Brace", "右花括号"},
    {u"(", "Left Parenthesis", "左圆括号"},
    {u")", "Right Parenthesis", "右圆括号"},
    {u"<", "Less Than", "小于号"},
    {u">", "Greater Than", "大于号"},
    {u"-", "Minus", "减号"},
    {u"+", "Plus", "加号"},
    {u"=", "Equals", "等号"},
    {u"_", "Underscore", "下划线"},
    {u";", "Semicolon", "分号"},
    {u":", "Colon", "冒号"},
    {u"'", "Apostrophe", "单引号"},
    {u"\"", "Quotation Mark", "双引号"},
    {u"`", "Grave Accent", "反引号"},
    {u"~", "Tilde", "波浪号"},
    {u"?", "Question Mark", "问号"},
    {u"!", "Exclamation Mark", "感叹号"},
    {u"@", "At Sign", "at 符号"},
    {u"#", "Number Sign", "井号"},
    {u"$", "Dollar Sign", "美元符号"},
    {u"%", "Percent", "百分号"},
    {u"^", "Caret", "脱字符"},
    {u"&", "Ampersand", "和号"},
    {u"*", "Asterisk", "星号"},
    {u"|", "Vertical Bar", "竖线"},
};

QString wordOf(const KeyWord& word, AppLanguage language) {
    return QString::fromUtf8(language == AppLanguage::zh ? word.zh : word.en);
}

template <std::size_t N>
const KeyWord* find(const KeyWord (&words)[N], QStringView text) {
    for (const KeyWord& word : words) {
        if (text == QStringView(word.key))
            return &word;
    }
    return nullptr;
}

bool isModifier(QChar c) {
    return find(kModifiers, QStringView(&c, 1)) != nullptr;
}

// Key symbols live in the arrows and technical blocks; each is one key.
bool isKeySymbol(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x2190 && u <= 0x21FF) || (u >= 0x2300 && u <= 0x23FF);
}

// Text between symbols: a named key ("Page Down"), or words of which each
// may be a named key or one punctuation key ("Numpad .").
void appendPlain(QStringList& words, const QString& plain, AppLanguage language) {
    const QString text = plain.simplified();
    if (text.isEmpty())
        return;
    if (const KeyWord* named = find(kNamedKeys, text)) {
        words << wordOf(*named, language);
        return;
    }
    for (const QString& token : text.split(QLatin1Char(' '))) {
        if (const KeyWord* named = find(kNamedKeys, token))
            words << wordOf(*named, language);
        else if (const KeyWord* mark = find(kPunctuation, token))
            words << wordOf(*mark, language);
        else
            words << token;
    }
}

QString spokenCap(const QString& cap, AppLanguage language) {
    QStringList words;
    QString plain;
    for (const QChar c : cap) {
        const KeyWord* word = find(kModifiers, QStringView(&c, 1));
        if (!word && isKeySymbol(c))
            word = find(kNamedKeys, QStringView(&c, 1));
        if (!word) {
            plain += c;
            continue;
        }
        appendPlain(words, plain, language);
        plain.clear();
        words << wordOf(*word, language);
    }
    appendPlain(words, plain, language);
    return words.join(QLatin1Char(' '));
}

// A cap that holds modifiers and the key they go with is a whole step of a
// chord; whatever follows it is pressed after it is let go.
bool isWholeStep(const QString& cap) {
    bool modifier = false;
    bool key = false;
    for (const QChar c : cap) {
        if (isModifier(c))
            modifier = true;
        else if (!c.isSpace())
            key = true;
    }
    return modifier && key;
}

}  // namespace

QString spokenKeys(const std::vector<QString>& keys, AppLanguage language) {
    const QString pause =
        language == AppLanguage::zh ? QStringLiteral("，然后 ") : QStringLiteral(", then ");
    QString spoken;
    bool stepEnded = false;
    for (const QString& key : keys) {
        const QString word = spokenCap(key, language);
        if (word.isEmpty())
            continue;
        if (!spoken.isEmpty())
            spoken += stepEnded ? pause : QStringLiteral(" ");
        spoken += word;
        stepEnded = isWholeStep(key);
    }
    return spoken;
}

}  // namespace corvanta
