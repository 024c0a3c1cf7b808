// The software-request and feedback sheets: a frameless window-modal dialog at
// the panel's top centre that follows the panel. Its texts are bound to the
// interface state per keystroke; it is shown while its flag is set and the
// panel is on screen and expanded, so it hides with the panel and comes back
// with what was typed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "interface/RenderContext.h"
#include "interface/SubmissionSheetForm.h"

class QPlainTextEdit;

namespace corvanta {

class SubmissionSheet final : public QWidget {
    Q_OBJECT
public:
    enum class Kind { softwareRequest, feedback };
    static constexpr int kWidth = 380;

    // What the sheet's fields and buttons ask for.
    struct Actions {
        std::function<void(const std::string&)> writeFirstField;
        std::function<void(const std::string&)> writeContact;
        std::function<void(bool focused)> setFirstFieldFocused;
        std::function<void()> submit;
        std::function<void()> dismiss;
        // The panel came back on screen: a wanted sheet comes back with it.
        std::function<void()> panelShown;
    };

    // `panel` is the panel's root view; the sheet belongs to its window.
    SubmissionSheet(const RenderContextSource& source, Kind kind, Actions actions, QWidget* panel);
    Kind kind() const { return kind_; }
    // Presents, fills or dismisses the sheet as the state says. A submission
    // that could not be stored shows a short notice until the sheet closes or
    // a later submission succeeds.
    void render(const RenderContext& context);
    bool showsSubmissionError() const { return form_.error->isVisibleTo(this); }

    // The controls, for tests.
    QWidget* firstField() const;
    QPlainTextEdit* contactField() const { return form_.contactField; }
    PlainButton* submitButton() const { return form_.submitButton; }
    PlainButton* closeButton() const { return form_.closeButton; }
    QLabel* headerLabel() const { return form_.header; }
    QLabel* errorLabel() const { return form_.error; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildContent();
    // Texts and colours for the language and theme; false when they were
    // already those.
    bool relabel(const RenderContext& context);
    void syncTexts(const CorvantaViewState& state);
    void syncFocus(const CorvantaViewState& state);
    void syncPresentation();
    void refreshSubmitButton();
    void fitHeight();
    void place();
    void watchPanel();
    void writeFirstField(const QString& text);
    void writeContact(const QString& text);
    void setFirstFieldFocused(bool focused);
    bool firstFieldIsBlank() const;
    bool isRequested() const;
    void submit();
    void dismiss();

    const RenderContextSource& source_;
    Actions actions_;
    QWidget* panel_;
    Kind kind_;
    SubmissionSheetForm form_;
    QPointer<QWidget> watchedPanel_;
    QColor background_;
    QColor border_;
    std::optional<std::pair<AppLanguage, AppTheme>> labelledFor_;
    // Set while the sheet writes a field itself, so the change is not taken
    // for typing.
    bool syncing_ = false;
};

}  // namespace corvanta
