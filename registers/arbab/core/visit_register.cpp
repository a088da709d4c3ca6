#include "registers/arbab/core/visit_register.h"

#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/db/query.h"
#include "platform/db/statement.h"
#include "platform/text/codepage.h"
#include "registers/arbab/core/arbab_sql.h"

#include <QHash>
#include <QSqlError>
#include <QStringList>

namespace gc::registers::arbab {

namespace {

QString valueOf(const VisitColumns& visit, const QString& column) {
    for (const auto& [name, value] : visit)
        if (name == column)
            return value;
    return {};
}

QString captionOf(const QString& column) {
    static const QHash<QString, QString> captions{{"name", "نام"},
                                                  {"maghsad", "مقصد"},
                                                  {"tabaghe", "طبقه"},
                                                  {"otagh", "شماره اتاق"},
                                                  {"cart_no", "شماره ملي/کارت"},
                                                  {"madrak", "نوع مدرك"},
                                                  {"dat", "تاريخ"},
                                                  {"vorod", "ساعت ورود"},
                                                  {"khoroj", "ساعت خروج"},
                                                  {"gender", "جنسيت"},
                                                  {"cmt", "توضيحات"},
                                                  {"negahban", "نگهبان"},
                                                  {"barcod", "شناسه باركد"},
                                                  {"nazar", "نظرسنجي پاسخگويي"}};
    return captions.value(column, column);
}

// Straight into the table: the picture is not shown here, so it is not read back.
void insertSnapshot(db::Connection& connection, qint64 visitId, const QByteArray& bmp) {
    db::Statement q(connection);
    q.prepare(QStringLiteral("insert into arbabrojo_pic (arbabrojo_id, cmt, ext, pic) values (?, "
                             "?, ?, ?)"));
    q.addBindValue(visitId);
    q.addBindValue(kCameraPicture);
    q.addBindValue(QStringLiteral(".bmp"));
    q.addBindValue(bmp);
    if (!q.exec())
        throw db::DbError(connection.errorMessage(q.lastError()));
}

// Inside the transaction: false when the barcode is held by a visitor still inside.
bool writeVisit(db::Query& visits, db::Query& scratch, const VisitColumns& visit,
                const std::optional<QByteArray>& snapshot, qint64& id) {
    const QString barcode = valueOf(visit, QStringLiteral("barcod"));
    // An empty barcode is never in use: the visit takes its own below.
    if (BarcodeHeld(scratch, barcode))
        return false;
    if (!visits.isActive())
        visits.open();
    visits.append();
    for (const auto& [name, value] : visit)
        visits.fieldByName(name).setAsString(value);
    visits.post();
    id = visits.fieldByName(QStringLiteral("id")).asInteger();
    if (barcode.isEmpty()) {
        visits.edit();
        visits.fieldByName(QStringLiteral("barcod")).setAsString(CardlessBarcode(scratch, id));
        visits.post();
    }
    if (snapshot)
        insertSnapshot(visits.connection(), id, *snapshot);
    return true;
}

// Drops what the failed transaction left in the list's own rows.
void restore(db::Query& visits) {
    try {
        visits.cancel();
        if (visits.isActive()) {
            visits.close();
            visits.open();
        }
    } catch (const db::DbError&) {
        // The list shows the error of its next search instead.
    }
}

} // namespace

const QStringList& visitColumnNames() {
    static const QStringList names{"name",   "maghsad",  "tabaghe", "otagh",  "cart_no",
                                   "madrak", "dat",      "vorod",   "khoroj", "gender",
                                   "cmt",    "negahban", "barcod",  "nazar"};
    return names;
}

std::optional<QString> TooLongValue(db::Connection& connection, const VisitColumns& visit) {
    const db::TableInfo* table = connection.tableInfo(QStringLiteral("arbabrojo"));
    if (table == nullptr)
        return std::nullopt;
    for (const auto& [name, value] : visit) {
        const db::ColumnInfo* column = table->column(name);
        // Measured as stored; a character the code page lacks is refused by the save itself.
        const QString stored = codepage::toRepertoire(value).value_or(value);
        if (column && column->width > 0 && db::textWidth(stored) > column->width)
            return db::widthMessage(captionOf(name), column->width);
    }
    return std::nullopt;
}

bool BarcodeHeld(db::Query& scratch, const QString& barcode, qint64 except) {
    if (barcode.isEmpty())
        return false;
    scratch.openSql({barcodeInUseSql(barcode, except)});
    return !scratch.isEmpty();
}

QString CardlessBarcode(db::Query& scratch, qint64 id) {
    QString barcode = QLatin1Char('0') + QString::number(id);
    while (BarcodeHeld(scratch, barcode, id))
        barcode.prepend(QLatin1Char('0'));
    return barcode;
}

RegisterResult RegisterVisit(db::Query& visits, db::Query& scratch, const VisitColumns& visit,
                             const std::optional<QByteArray>& snapshot) {
    RegisterResult result;
    db::Connection& connection = visits.connection();
    try {
        connection.beginWriteTransaction(QStringLiteral("arbabrojo"));
    } catch (const db::DbError& e) {
        result.error = e.message();
        return result;
    }
    try {
        if (!writeVisit(visits, scratch, visit, snapshot, result.id)) {
            connection.rollback();
            result.status = RegisterStatus::BarcodeInUse;
            return result;
        }
        connection.commit();
        result.status = RegisterStatus::Saved;
    } catch (const db::DbError& e) {
        connection.rollback();
        restore(visits);
        result = {RegisterStatus::Failed, 0, e.message()};
    }
    return result;
}

} // namespace gc::registers::arbab
