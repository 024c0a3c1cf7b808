// A one-line field that stays quick with a text of any length. A line edit
// lays out and paints its whole text on every change: with a pasted megabyte,
// each keystroke takes a quarter of a second. Past a few thousand characters
// this field therefore shows a window of the text around the caret; edits in
// the window are carried into the whole text, and the keys that reach past
// it (line start and end, select all, a selection wider than the window) are
// carried out on the whole text. Shorter texts are shown whole, as by any
// line edit.
#pragma once

#include <optional>

#include <QString>

#include "interface/PasteSafe.h"

namespace corvanta {

class WindowedLineEdit : public PasteSafeLineEdit {
    Q_OBJECT
public:
    // Texts up to this many UTF-16 units are shown whole.
    static constexpr qsizetype kWholeTextLimit = 4096;
    // How much of a longer text is shown, and how close the caret may come to
    // an edge of the window that is not an end of the text.
    static constexpr qsizetype kWindowLength = 4096;
    static constexpr qsizetype kWindowMargin = 512;

    explicit WindowedLineEdit(QWidget* parent = nullptr);

    const QString& fullText() const { return full_; }
    // Replaces the text (not an edit by the user) with the caret at its end.
    void setFullText(const QString& text);
    // Selects the whole text, however long.
    void selectFullText();
    // Where the shown window starts in the whole text (for tests).
    qsizetype windowStart() const { return offset_; }

Q_SIGNALS:
    // Every edit by the user, with the whole text.
    void fullTextEdited(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Selection {
        qsizetype anchor = 0;
        qsizetype position = 0;
    };

    bool isWindowed() const { return full_.size() > kWholeTextLimit; }
    Selection selectionInText() const;
    // Takes keys whose meaning reaches past the window; true when done.
    bool takeLongTextKey(QKeyEvent* event);
    bool takeWideSelectionKey(QKeyEvent* event);
    bool takePaste();
    // Replaces the selection (or inserts at the caret) and reports the edit.
    void replaceSelection(const QString& text);
    // Shows the window that holds `selection`'s position away from its edges.
    void showAround(Selection selection, bool force = false);
    void carryWindowEdit();
    void reportEdit();

    QString full_;
    qsizetype offset_ = 0;
    // The window's text as last shown or carried into `full_`.
    QString shown_;
    // A selection reaching past the window; the window shows its part of it.
    std::optional<Selection> wideSelection_;
    bool showing_ = false;
};

}  // namespace corvanta
