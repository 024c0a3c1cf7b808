// Whether the application that holds the clipboard answers at all. The
// toolkit's own clipboard read waits seconds for an owner that never replies,
// once per format it asks for; asking first, with a short bound, keeps a hung
// owner from freezing a paste.
#pragma once

#include <chrono>

#include <QClipboard>

namespace corvanta::platform {

// True when the owner of the clipboard (or of the primary selection) answers
// a request for its formats within `budget`, and when there is nothing to wait
// for: no owner, this application is the owner, or the platform is not X11.
bool selectionOwnerAnswers(QClipboard::Mode mode, std::chrono::milliseconds budget);

}  // namespace corvanta::platform
