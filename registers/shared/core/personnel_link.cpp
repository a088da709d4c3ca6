#include "registers/shared/core/personnel_link.h"

#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"

namespace gc::registers::link {

using db::quoted;

namespace {

void assign(db::Query& target, const ColumnValues& values) {
    for (const auto& [column, value] : values)
        target.fieldByName(column).setAsString(value);
}

void postOrCancel(db::Query& target, const ColumnValues& values) {
    try {
        assign(target, values);
        target.post();
    } catch (const db::DbError&) {
        target.cancel();
        throw;
    }
}

} // namespace

bool AddUnlessMatched(db::Query& scratch, const QStringList& match, db::Query& target,
                      const ColumnValues& row) {
    scratch.openSql(match);
    if (!scratch.isEmpty())
        return false;
    if (!target.isActive())
        target.open();
    target.append();
    postOrCancel(target, row);
    return true;
}

std::optional<qint64> FirstMatch(db::Query& scratch, const QStringList& match) {
    scratch.openSql(match);
    if (scratch.isEmpty())
        return std::nullopt;
    scratch.first();
    return scratch.fieldByName(QStringLiteral("id")).asInteger();
}

void CloseRow(db::Query& target, const QString& table, qint64 id, const ColumnValues& values,
              const QString& note) {
    target.openSql(
        {QStringLiteral("select * from %1 where id=%2").arg(table, QString::number(id))});
    if (target.isEmpty())
        throw db::DbError(QStringLiteral("رديف %1 در %2 ديگر نيست؛ چيزي ثبت نشد")
                              .arg(QString::number(id), table));
    const QString comment = target.fieldByName(QStringLiteral("cmt")).asString();
    target.edit();
    postOrCancel(target, ColumnValues(values) << qMakePair(QStringLiteral("cmt"),
                                                           comment + QStringLiteral(" * ") + note));
}

QStringList personnelRowOfCar(const CarMovement& car) {
    return {QStringLiteral("select * from prs where exit_dat=") + quoted(car.entryDate),
            QStringLiteral(" and cart_no=") + quoted(car.cardNo),
            QStringLiteral(" and nam=") + quoted(car.driver),
            QStringLiteral(" and exit_tim=") + quoted(kOpenTime)};
}

ColumnValues personnelValuesOfCar(const CarMovement& car) {
    return {{QStringLiteral("cart_no"), car.cardNo},
            {QStringLiteral("nam"), car.driver},
            {QStringLiteral("semat"), car.department},
            {QStringLiteral("exit_tim"), car.exitTime},
            {QStringLiteral("exit_dat"), car.entryDate},
            {QStringLiteral("elat"), car.reason},
            {QStringLiteral("vorod_tim"), car.entryTime},
            {QStringLiteral("cmt"), kPersonnelWithCar},
            {QStringLiteral("negahban1"), car.exitGuard},
            {QStringLiteral("negahban2"), car.entryGuard}};
}

bool AddPersonnelRowForCar(Tdm& dm, const CarMovement& car) {
    return AddUnlessMatched(dm.ADOQuery1, personnelRowOfCar(car), dm.ADOQ_prs,
                            personnelValuesOfCar(car));
}

QStringList openPersonnelRowSql(const QString& exitDate, const QString& driver) {
    return {QStringLiteral("select * from prs where exit_dat=") + quoted(exitDate),
            QStringLiteral(" and nam=") + quoted(driver),
            QStringLiteral(" and exit_tim=") + quoted(kOpenTime)};
}

std::optional<qint64> FindOpenPersonnelRow(Tdm& dm, const QString& exitDate,
                                           const QString& driver) {
    return FirstMatch(dm.ADOQuery1, openPersonnelRowSql(exitDate, driver));
}

void ClosePersonnelRow(Tdm& dm, qint64 id, const QString& exitTime) {
    CloseRow(dm.ADOQ_prs, QStringLiteral("prs"), id, {{QStringLiteral("exit_tim"), exitTime}},
             kLeftWithCar);
}

} // namespace gc::registers::link
