// The panel's root view. It composes: it builds the collapsed bar and the
// expanded panel's areas, wires what they emit to the interface model's
// operations, and renders them from the model's state when the model asks.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QWidget>

#include "catalog/AppTheme.h"
#include "interface/BackdropCache.h"
#include "interface/CorvantaViewModel.h"

namespace corvanta {

class CategoryTabsView;
class CollapsedBar;
class FooterView;
class HeaderView;
class ResultBarView;
class ShortcutListView;
class ShortcutStore;
class SoftwarePickerPopover;
class SubmissionSheet;
class SubmissionToastView;
class ToolbarView;
class WindowCommands;

class CorvantaView final : public QWidget {
    Q_OBJECT
public:
    CorvantaView(ShortcutStore& store, WindowCommands& commands, QWidget* parent = nullptr);
    ~CorvantaView() override;

    // The brand logo the footer draws (the bundle's "CorvantaLogo" image); set
    // once at start-up.
    static void setLogoFile(const QString& path);

    CorvantaViewModel& model() { return *model_; }
    const CorvantaViewModel& model() const { return *model_; }

    // The areas. The expanded panel's areas, the picker and the sheets are
    // built the first time they are needed (or asked for here), so start-up
    // pays only for the collapsed bar.
    CollapsedBar* collapsedBar() const { return collapsedBar_; }
    HeaderView* header();
    ToolbarView* toolbar();
    CategoryTabsView* categoryTabs();
    ResultBarView* resultBar();
    ShortcutListView* shortcutList();
    FooterView* footer();
    SubmissionToastView* toast() const { return toast_; }
    SoftwarePickerPopover* softwarePicker();
    SubmissionSheet* softwareRequestDialog();
    SubmissionSheet* feedbackDialog();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void render();
    void layoutAreas();
    void ensureExpandedAreas();
    void installKeyboardCommands();
    void orderFocusChain();
    void moveFocusWithFace(bool expanded, bool focusInBar, bool focusInPanel);
    SubmissionSheet* makeSheet(bool softwareRequest);
    void paintPlate(QPainter& painter, AppTheme theme) const;

    std::unique_ptr<CorvantaViewModel> model_;
    BackdropCache backdrop_;
    bool lastExpanded_ = false;
    std::optional<AppTheme> paintedTheme_;
    std::vector<QWidget*> focusChain_;

    CollapsedBar* collapsedBar_ = nullptr;
    QWidget* expandedPanel_ = nullptr;
    HeaderView* header_ = nullptr;
    ToolbarView* toolbar_ = nullptr;
    CategoryTabsView* categoryTabs_ = nullptr;
    ResultBarView* resultBar_ = nullptr;
    ShortcutListView* shortcutList_ = nullptr;
    FooterView* footer_ = nullptr;
    SubmissionToastView* toast_ = nullptr;
    SoftwarePickerPopover* softwarePicker_ = nullptr;
    SubmissionSheet* softwareRequestDialog_ = nullptr;
    SubmissionSheet* feedbackDialog_ = nullptr;
};

}  // namespace corvanta
