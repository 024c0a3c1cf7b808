// The software-request and feedback sheets: a frameless window-modal dialog at
// the panel's top centre.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class SubmissionSheet final : public QWidget {
    Q_OBJECT
public:
    enum class Kind { softwareRequest, feedback };
    SubmissionSheet(CorvantaView& root, Kind kind);
    Kind kind() const { return kind_; }
    // Presents, fills or dismisses the sheet as the state says.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
    Kind kind_;
};

}  // namespace corvanta
