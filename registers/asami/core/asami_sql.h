#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>

// The personnel directory's SQL texts: its search and count, the filter lists, the
// duplicate questions, the person's pictures and saving all pictures.
namespace gc::registers::asami {

// Surname, card, plate, mobile, personnel code; by surname.
SearchSpec directorySearch();
// How many of the search's filters saving all pictures takes: all but the personnel code.
inline constexpr int kSaveAllFilters = 4;

// The distinct values of a column for a filter's list, in alphabetical order (completion takes
// the first that matches): card_no, surname, khodro_num, mobile.
QString distinctSql(const QString& column);

QString sameSurnameSql(const QString& surname);
QString sameCardSql(const QString& cardNo);
QString personSql(qint64 id);

// The person's pictures, the first written first, so every engine shows the same one.
QString picturesSql(qint64 personId);
QString deletePicturesSql(qint64 personId);

// One row per picture of each person the filters keep, and one without picture columns for
// a person who has none; the person's key comes as "person_key" whatever the engine.
QStringList saveAllSql(const std::vector<FilterInput>& inputs);

} // namespace gc::registers::asami
