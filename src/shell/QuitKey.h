// The platform's Quit key wherever the keyboard is in the application: in the
// panel, in the pack picker (a popup that holds the keyboard while it is open)
// and in a sheet (modal to the panel, so a shortcut of the panel never fires).
#pragma once

#include <functional>

#include <QKeySequence>
#include <QList>
#include <QObject>

namespace corvanta {

class QuitKey final : public QObject {
public:
    // Watches every key press of the application until destroyed; `quit` runs
    // for each press of the key, which goes no further.
    explicit QuitKey(std::function<void()> quit);
    ~QuitKey() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> quit_;
    QList<QKeySequence> keys_;
};

}  // namespace corvanta
