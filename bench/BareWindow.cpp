// The yardstick for start-up: a bare frameless Qt window of the collapsed
// panel's size and place, painted in one colour, started like the app.
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class BareWindow final : public QWidget {
public:
    BareWindow() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(0x14, 0x14, 0x14));
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    BareWindow window;
    window.setGeometry(1188, 110, 230, 62);
    window.show();
    return application.exec();
}
