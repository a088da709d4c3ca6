#pragma once

#include <QByteArray>
#include <QString>

// Pictures kept in the database beside their file extension.
namespace gc::pictures {

// A stored extension safe to put on a file name: a dot and one to eight ASCII letters
// or digits.
bool IsSafeExtension(const QString& ext);

// True when both the extension and the bytes name a raster picture type, so that the
// desktop hands the file to a picture viewer and nothing else.
bool IsPicture(const QString& ext, const QByteArray& bytes);

// Writes a picture to a new file: an existing file is never replaced, and a write that
// fails part-way leaves no file behind. `error` receives the reason when not Written.
enum class NewFile { Written, Existed, Failed };
NewFile WriteNewFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace gc::pictures
