// Icon image files, read safely: every file goes through the guarded open
// (regular files only, a size limit) and is decoded from the bytes read, and
// the freedesktop icon theme is walked here rather than by the toolkit, which
// would open a FIFO in a theme folder and wait on it for ever.
#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>

namespace corvanta {

// One image file (SVG only when it names no other file), fitted into the
// 256-pixel square the caches keep; a null image when it cannot be read.
QImage readImageFile(const QString& path);

// Where theme icons are looked for. The toolkit's theme settings are read on
// the main thread; the look-up itself may then run on any thread.
struct IconThemeSearch {
    QStringList bases;          // folders holding one folder per theme
    QStringList themes;         // the current theme and the toolkit's fallback
    QStringList pixmapFolders;  // unthemed icons, searched last
    static IconThemeSearch current();
};

// `name` (already known to name no folder) in the themes of `where`, the
// themes they inherit, hicolor, then the unthemed pixmaps folders; every
// file goes through `read`.
QImage readThemeIcon(const QString& name, const IconThemeSearch& where,
                     const std::function<QImage(const QString&)>& read = readImageFile);
// The XDG data folders, the user's first.
std::vector<QString> dataDirectories();

}  // namespace corvanta
