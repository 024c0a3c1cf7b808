// The yardstick for start-up: a bare frameless Qt window of the collapsed
// panel's size and place, painted in one colour, started like the app. With
// --text it also draws one line of text, so it pays for loading a font as
// every window that shows words does. With --line-edit it is instead a lone
// focused line edit beside the expanded panel's place, the yardstick for a
// keystroke's way to the screen.
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>

namespace {

class BareWindow final : public QWidget {
public:
    explicit BareWindow(bool withText)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), withText_(withText) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x14, 0x14, 0x14));
        if (withText_) {
            painter.setPen(Qt::white);
            painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Corvanta"));
        }
    }

private:
    bool withText_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (application.arguments().contains(QStringLiteral("--line-edit"))) {
        QLineEdit field;
        field.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        field.setGeometry(100, 110, 432, 44);
        field.show();
        field.setFocus();
        return application.exec();
    }
    BareWindow window(application.arguments().contains(QStringLiteral("--text")));
    window.setGeometry(1188, 110, 230, 62);
    window.show();
    return application.exec();
}
