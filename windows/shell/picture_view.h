#pragma once

#include <QByteArray>
#include <QString>

namespace gc {
namespace xlsx {
class FileOpener;
}

// Shows a stored picture in the desktop's viewer: only a picture type, written to a
// new file of its own in the user's temporary folder. Returns the message for the user
// when it cannot be shown, an empty text when the viewer was started.
QString ShowStoredPicture(const QByteArray& bytes, const QString& ext, xlsx::FileOpener& viewer);

} // namespace gc
