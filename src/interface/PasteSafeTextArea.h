// A multi-line plain-text field whose pastes never hang on a clipboard owner
// that does not answer, and that takes nothing from a clipboard without text.
// Handed data that has no format at all, the toolkit's text fields crash.
#pragma once

#include <QPlainTextEdit>

namespace corvanta {

class PasteSafeTextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PasteSafeTextArea(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace corvanta
