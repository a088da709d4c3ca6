#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace gc::transfer {

// What a run copies: the destination, the start date of the dated tables and the
// ticked groups, as the window shows them when the transfer is started.
struct TransferOptions {
    QString source;      // connection string of the database the program works on
    QString destination; // connection string built from the window's fields
    QString startDate;   // "yyyy/mm/dd", or the blank date: every dated row
    bool deleteOld = false;
    bool amval = false;
    bool anbar = false;
    bool khodro = false;
    bool prs = false;
    bool parking = false;
    bool phone = false;
    bool kala = false;
    bool otagh = false;
    bool asami = false;
    bool asamiPic = false;
    bool arbabrojo = false;
    bool arbabrojoPic = false;
    bool other = false;
};

// How a section's rows relate to others.
enum class SectionKind {
    Plain,
    Owners,   // persons or visits: their pictures follow them
    Pictures, // personnel pictures alone, matched to the destination's persons
    Users,    // the destination ids feed the rights
    Rights,   // each right points at a copied user
};

// Pictures of an owner table: copied after the owners, linked through the new ids.
struct PictureTable {
    QString table;
    QString ownerColumn;
    QStringList columns; // without the key and the owner link
};

struct Section {
    QString table;
    QString label;
    QString dateColumn; // empty: the whole table
    QStringList columns;
    SectionKind kind = SectionKind::Plain;
    PictureTable pictures; // Owners only: their pictures, deleted with them
    bool copyPictures = false;
};

// The sections that run for these options, in the order they run: users before rights.
std::vector<Section> sectionsFor(const TransferOptions& options);

// The blank date of the masked input (or nothing at all): the run takes every dated row.
bool isBlankDate(const QString& date);

// The key column the rows are read in order of; empty for the table without a key.
QString keyColumnOf(const QString& table);

// Whether a table holds pictures or files (read in small chunks).
bool hasBlobs(const Section& section);

} // namespace gc::transfer
