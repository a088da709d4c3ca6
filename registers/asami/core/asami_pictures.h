#pragma once

#include "registers/shared/core/search_sql.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace gc::db {
class Connection;
class Query;
} // namespace gc::db

// What the directory does with people's pictures: import a file, delete a person together
// with their pictures, and save every picture to files.
namespace gc::registers::asami {

inline const QString kSaved = QStringLiteral("ثبت شد");

// A picture file's bytes and its extension with the dot.
struct PictureFile {
    QString ext;
    QByteArray bytes;
};

// Reads a file for the directory; nullopt, with `error` set, when it cannot be read or is
// not a picture.
std::optional<PictureFile> ReadPictureFile(const QString& path, QString* error);

// Removes the source of an imported picture; false, with `error` set, when it stays.
using RemoveFile = std::function<bool(const QString& path, QString* error)>;
bool RemoveSourceFile(const QString& path, QString* error);

enum class ImportStatus { Stored, StoredNotRemoved, Refused, Failed };
struct ImportOutcome {
    ImportStatus status = ImportStatus::Failed;
    QString message; // for the user
};

// Stores the picture at `path` for person `personId` through `perPic` (left holding the
// person's pictures), and only once the row is written removes the file: the picture moves
// into the database. A file that is no picture is refused and kept.
ImportOutcome ImportPicture(db::Query& perPic, qint64 personId, const QString& path,
                            const RemoveFile& remove);

// Deletes the current person of `list` and all their pictures together: a failure leaves
// both. Throws db::DbError.
void DeletePersonWithPictures(db::Query& list, db::Query& scratch);

// A part of a saved picture's name with everything that could leave the chosen folder or
// that a file name cannot hold made "_".
QString CleanNamePart(const QString& part);

struct SavedPerson {
    QString surname;
    QString name;
    QString code;
    QString card;
};
// prefix + number + surname "_" name "_" code "_" card "_" ext.
QString SavedPictureName(const QString& prefix, int number, const SavedPerson& person,
                         const QString& ext);

struct SaveAllOutcome {
    int written = 0;
    int withoutPicture = 0; // persons who have none
    int notPicture = 0;     // stored bytes that are no picture
    int existing = 0;       // names already taken; never overwritten
    int failed = 0;
    QString error; // the first failure
};

// Writes every picture of the persons that the directory's filters keep, one file each,
// next to `prefix` (the path and start of name chosen in the save dialog). Rows are read one
// at a time. Throws db::DbError when reading fails.
SaveAllOutcome SaveAllPictures(db::Connection& connection, const std::vector<FilterInput>& filters,
                               const QString& prefix);
QString SaveAllMessage(const SaveAllOutcome& outcome);

} // namespace gc::registers::asami
