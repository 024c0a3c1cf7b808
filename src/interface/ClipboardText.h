// What the text fields ask before they paste: whether the clipboard holds
// text, learnt without hanging on a clipboard owner that never answers.
#pragma once

#include <QClipboard>

class QMimeData;

namespace corvanta::clipboard {

// Whether the owner of the clipboard answers within the time a paste may take
// at most; pasting from an owner that does not is given up.
bool ownerAnswers(QClipboard::Mode mode);
// Whether pasting from the clipboard would insert text: the owner answers and
// offers text. An empty clipboard, or one holding only an image, does not.
bool holdsText(QClipboard::Mode mode);
// Whether dropped or pasted data carries any format at all; the toolkit's
// text fields must never be handed data without one.
bool hasAnyFormat(const QMimeData* data);

}  // namespace corvanta::clipboard
