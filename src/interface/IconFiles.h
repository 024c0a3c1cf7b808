// Icon image files, read safely: every file goes through the guarded open
// (regular files only, a size limit) and is decoded from the bytes read, and
// the freedesktop icon theme is walked here rather than by the toolkit, which
// would open a FIFO in a theme folder and wait on it for ever.
#pragma once

#include <vector>

#include <QImage>
#include <QString>

namespace corvanta {

// One image file (SVG only when it names no other file), fitted into the
// 256-pixel square the caches keep; a null image when it cannot be read.
QImage readImageFile(const QString& path);
// `name` (already known to name no folder) in the current icon theme, the
// themes it inherits, hicolor, then the unthemed pixmaps folders.
QImage readThemeIcon(const QString& name);
// The XDG data folders, the user's first.
std::vector<QString> dataDirectories();

}  // namespace corvanta
