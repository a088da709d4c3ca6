#pragma once

#include <QString>

namespace gc::capture {

// Where a fixed exchange file lives: a folder of this user's own in the
// temporary directory, and a name unique to this run of the program, e.g.
// exchangeFilePath("Pelzorvatin", "bmp"). The folder is created (mode 0700);
// an empty result means it could not be.
QString exchangeFilePath(const QString& stem, const QString& extension);

} // namespace gc::capture
