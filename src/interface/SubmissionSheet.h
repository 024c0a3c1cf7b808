// The software-request and feedback sheets: a frameless window-modal dialog at
// the panel's top centre that follows the panel. Its texts are bound to the
// root view's state per keystroke; it is shown while its flag is set and the
// panel is on screen and expanded, so it hides with the panel and comes back
// with what was typed.
#pragma once

#include <optional>
#include <utility>

#include <QPointer>
#include <QWidget>

#include "interface/RenderContext.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace corvanta {

class CorvantaView;
class PlainButton;

class SubmissionSheet final : public QWidget {
    Q_OBJECT
public:
    enum class Kind { softwareRequest, feedback };
    static constexpr int kWidth = 380;

    SubmissionSheet(CorvantaView& root, Kind kind);
    Kind kind() const { return kind_; }
    // Presents, fills or dismisses the sheet as the state says.
    void render(const RenderContext& context);
    // A submission that could not be stored: a short notice stays in the sheet
    // until it closes or a later submission succeeds.
    void setSubmissionFailed(bool failed);
    bool showsSubmissionError() const { return submissionFailed_; }

    // The controls, for tests.
    QWidget* firstField() const;
    QPlainTextEdit* contactField() const { return contactField_; }
    PlainButton* submitButton() const { return submitButton_; }
    PlainButton* closeButton() const { return closeButton_; }
    QLabel* headerLabel() const { return header_; }
    QLabel* errorLabel() const { return error_; }

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

    CorvantaView& root_;
    Kind kind_;
    QLabel* header_ = nullptr;
    QLabel* firstLabel_ = nullptr;
    QLabel* contactLabel_ = nullptr;
    QLabel* error_ = nullptr;
    QWidget* firstFrame_ = nullptr;
    QWidget* contactFrame_ = nullptr;
    QLineEdit* nameField_ = nullptr;          // request sheet
    QPlainTextEdit* messageField_ = nullptr;  // feedback sheet
    QPlainTextEdit* contactField_ = nullptr;
    PlainButton* closeButton_ = nullptr;
    PlainButton* submitButton_ = nullptr;
    QPointer<QWidget> watchedPanel_;
    QColor background_;
    QColor border_;
    bool submissionFailed_ = false;
    std::optional<std::pair<AppLanguage, AppTheme>> labelledFor_;
    // Set while the sheet writes a field itself, so the change is not taken
    // for typing.
    bool syncing_ = false;
};

}  // namespace corvanta
