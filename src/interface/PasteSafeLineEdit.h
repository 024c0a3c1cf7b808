// A one-line field whose pastes never hang on a clipboard owner that does not
// answer and never disturb the text when the clipboard holds no text.
#pragma once

#include <QLineEdit>

namespace corvanta {

class PasteSafeLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PasteSafeLineEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace corvanta
