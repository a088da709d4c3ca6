#pragma once

#include "platform/xlsx/file_opener.h"

namespace gc::xlsx {

// Opens a file with the desktop's default application for its type.
class DesktopOpener : public FileOpener {
  public:
    bool open(const QString& path) override;
};

} // namespace gc::xlsx
