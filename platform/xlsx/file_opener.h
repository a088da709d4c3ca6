#pragma once

#include <QString>

namespace gc::xlsx {

// Hands a written file to whatever the desktop uses for its type. Tests replace it.
class FileOpener {
  public:
    virtual ~FileOpener() = default;
    // True only when an application was started for the file.
    virtual bool open(const QString& path) = 0;
};

} // namespace gc::xlsx
