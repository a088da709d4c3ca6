#pragma once

#include "registers/arbab/core/arbab_sql.h"

#include <QString>
#include <optional>

namespace gc::db {
class Connection;
}

// Writing the pictures of visits to files in a folder the guard chose.
namespace gc::registers::arbab {

// A part of a file name with every character that could leave the folder or that a file
// system refuses turned into "_".
QString cleanFilePart(const QString& part);

// prefix + counter + name + "_yyyy_mm_dd_hh_mm" + extension, each part cleaned.
QString pictureFileName(const QString& prefix, int counter, const QString& name,
                        const QString& date, const QString& entryTime, const QString& ext);

struct PictureFiles {
    int written = 0;
    int skipped = 0; // no picture, not a picture, or a file of that name already there
    int failed = 0;
    QString error; // a database error that ended the run
};

// Writes the pictures of the visits (between the dates, when given) into `folder`, reading
// the rows forward one at a time. The counter numbers the rows of this run.
PictureFiles WritePictureFiles(db::Connection& connection, const QString& folder,
                               const QString& prefix, const std::optional<DateRange>& dates);

} // namespace gc::registers::arbab
