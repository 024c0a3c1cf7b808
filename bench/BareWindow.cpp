// The yardstick for start-up: a bare frameless Qt window of the collapsed
// panel's size and place, painted in one colour, started like the app. With
// --text it also draws one line of text, so it pays for loading a font as
// every window that shows words does.
#include <QApplication>
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
    BareWindow window(application.arguments().contains(QStringLiteral("--text")));
    window.setGeometry(1188, 110, 230, 62);
    window.show();
    return application.exec();
}
