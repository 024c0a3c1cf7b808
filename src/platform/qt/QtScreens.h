// Screens from QGuiApplication: converts QScreen geometry and available geometry
// to y-up and forwards Qt's screen notifications as parametersChanged.
#pragma once

#include <QObject>

#include "platform/qt/Screens.h"

class QScreen;

namespace corvanta::platform {

class QtScreens final : public QObject, public Screens {
    Q_OBJECT
public:
    explicit QtScreens(QObject* parent = nullptr);

    std::vector<ScreenInfo> screens() const override;
    std::optional<ScreenInfo> mainScreen() const override;

    // One screen as a snapshot (y-up against the current primary screen).
    static ScreenInfo info(const QScreen* screen);
    // The primary screen's y-down geometry; 1440 × 900 at the origin when the
    // platform has no screen, so conversions stay defined.
    static Rect primaryGeometry();

private:
    void watch(QScreen* screen);
    void announce();
};

}  // namespace corvanta::platform
