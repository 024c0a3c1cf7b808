// The sheets' form: the header with its close button, two labelled fields on
// rounded plates, the error notice and the submit button, in one column, with
// the texts and colours of a language and theme. The sheet around it owns the
// flow: binding, focus, presentation and submission.
#pragma once

#include <QString>

#include "interface/RenderContext.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace corvanta {

class PlainButton;
class WindowedLineEdit;

struct SubmissionSheetForm {
    QLabel* header = nullptr;
    QLabel* firstLabel = nullptr;
    QLabel* contactLabel = nullptr;
    QLabel* error = nullptr;
    QWidget* firstFrame = nullptr;
    QWidget* contactFrame = nullptr;
    WindowedLineEdit* nameField = nullptr;   // request sheet
    QPlainTextEdit* messageField = nullptr;  // feedback sheet
    QPlainTextEdit* contactField = nullptr;
    PlainButton* closeButton = nullptr;
    PlainButton* submitButton = nullptr;

    // Lays the form out in `sheet`; the caller connects the controls.
    static SubmissionSheetForm build(QWidget* sheet, bool request);
    // Texts and colours for the context's language and theme.
    void relabel(const RenderContext& context, bool request);
    // The submit button's state and colours.
    void setSubmitEnabled(bool enabled, const ThemeColors& colors);
    QWidget* firstField() const;
};

}  // namespace corvanta
