#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace gc {
namespace db {
class Query;
}

// The rooms visitors are sent to (table `otaghha`), found by their title.
namespace rooms {

// True when a room already carries the title.
bool TitleExists(db::Query& scratch, const QString& title);

// A room's sketch: the file's bytes and its extension with the dot.
struct Sketch {
    QString ext;
    QByteArray bytes;
};

// Reads the chosen sketch file. nullopt, with `error` set, when it cannot be read or
// is no picture (the sketch is shown in a viewer and printed on visit slips).
std::optional<Sketch> ReadSketch(const QString& path, QString* error);

// Deletes room `id`.
void Delete(db::Query& scratch, qint64 id);

} // namespace rooms
} // namespace gc
