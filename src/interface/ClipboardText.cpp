// See ClipboardText.h.
#include "interface/ClipboardText.h"

#include <chrono>

#include <QGuiApplication>
#include <QMimeData>

#include "platform/qt/SelectionOwner.h"

namespace corvanta::clipboard {
namespace {

// A live owner answers in milliseconds; the bound keeps a frozen one from
// holding the panel for more than half a second.
constexpr std::chrono::milliseconds kOwnerPatience{500};

}  // namespace

bool ownerAnswers(QClipboard::Mode mode) {
    return platform::selectionOwnerAnswers(mode, kOwnerPatience);
}

bool holdsText(QClipboard::Mode mode) {
    if (!ownerAnswers(mode))
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode);
    return data && data->hasText();
}

bool hasAnyFormat(const QMimeData* data) {
    return data && !data->formats().isEmpty();
}

}  // namespace corvanta::clipboard
