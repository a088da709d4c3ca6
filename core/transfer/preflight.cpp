#include "core/transfer/preflight.h"

#include "core/transfer/statements.h"
#include "core/transfer/users.h"
#include "platform/db/db_error.h"

#include <QSqlError>

namespace gc::transfer {

namespace {

QStringList tablesWritten(const Section& s) {
    QStringList out{s.table};
    if (s.kind == SectionKind::Owners)
        out << s.pictures.table;
    if (s.kind == SectionKind::Pictures)
        out << "asami";
    return out;
}

QString labels(const TransferOptions& options) {
    QStringList out;
    for (const Section& s : sectionsFor(options))
        out << s.label;
    return out.join(QString::fromUtf8("، "));
}

} // namespace

Preflight::Preflight(const TransferOptions& options, const QString& namePrefix, bool create)
    : options_(options), ends_(options.source, options.destination, namePrefix, create) {}

QStringList Preflight::missingTables() {
    ends_.destination.forgetSchema();
    QStringList missing;
    for (const Section& s : sectionsFor(options_))
        for (const QString& t : tablesWritten(s))
            if (!ends_.destination.tableInfo(t) && !missing.contains(t))
                missing << t;
    return missing;
}

QStringList Preflight::missingColumns() {
    QStringList missing;
    for (const Section& s : sectionsFor(options_)) {
        QList<std::pair<QString, QStringList>> written{{s.table, s.columns}};
        if (s.kind == SectionKind::Owners)
            written.append(
                {s.pictures.table, QStringList{s.pictures.ownerColumn} + s.pictures.columns});
        for (const auto& [table, columns] : written)
            if (const db::TableInfo* info = ends_.destination.tableInfo(table))
                for (const QString& c : columns)
                    if (!info->column(c) && !missing.contains(table + "." + c))
                        missing << table + "." + c;
    }
    return missing;
}

QStringList Preflight::otherTables() {
    QStringList out = ends_.destination.tables();
    for (const TableSpec& t : SchemaTables())
        out.removeAll(t.name);
    return out;
}

QStringList Preflight::occupiedSections() {
    QStringList out;
    for (const Section& s : sectionsFor(options_)) {
        // Users are never doubled (sameNameUsers), and so neither are their rights.
        if (s.kind == SectionKind::Users || s.kind == SectionKind::Rights)
            continue;
        db::Connection& destination = ends_.destination;
        db::Statement q(destination);
        q.prepare("select count(*) from " + s.table +
                  (s.dateColumn.isEmpty() ? QString() : " where " + s.dateColumn + " >= ?"));
        if (!s.dateColumn.isEmpty())
            q.addBindValue(options_.startDate);
        if (!q.exec() || !q.next())
            throw db::DbError(ends_.destination.errorMessage(q.lastError()));
        if (const int rows = q.value(0).toInt(); rows > 0)
            out << QString("%1: %2").arg(s.label, QString::number(rows));
    }
    return out;
}

QStringList Preflight::sameNameUsers() {
    if (!options_.other)
        return {};
    const ExistingUsers destination = existingUsers(ends_.destination);
    if (destination.seededAdmin > 0)
        return {};
    QStringList out;
    db::Statement q = runStatement(ends_.source, "select us from users order by id");
    while (q.next())
        if (destination.named.contains(q.value(0).toString()) &&
            !out.contains(q.value(0).toString()))
            out << q.value(0).toString();
    return out;
}

QString schemaQuestion(const QString& destination) {
    return QString::fromUtf8("جدول هاي برنامه در بانک مقصد «%1» ساخته نشده اند. ساخته شوند؟")
        .arg(destination);
}

QString deleteQuestion(const QString& destination, const TransferOptions& options) {
    QString text = QString::fromUtf8("اطلاعات قبلي اين بخش ها در بانک مقصد «%1» پاک مي شود:\n%2")
                       .arg(destination, labels(options));
    if (!isBlankDate(options.startDate))
        text +=
            QString::fromUtf8("\n(بخش هاي تاريخ دار از تاريخ %1 به بعد)").arg(options.startDate);
    return text + QString::fromUtf8("\nادامه مي دهيد؟");
}

QString upgradeQuestion(const QString& destination, const QStringList& columns) {
    return QString::fromUtf8("بانک مقصد «%1» اين ستون هاي برنامه را ندارد:\n%2\nافزوده شوند؟")
        .arg(destination, columns.join("\n"));
}

QString doublingQuestion(const QString& destination, const QStringList& occupied,
                         const QStringList& sameNameUsers) {
    QStringList parts;
    if (!occupied.isEmpty())
        parts << QString::fromUtf8("بانک مقصد «%1» در اين بخش ها از قبل اطلاعات دارد و انتقال "
                                   "دوباره آنها را دو بار ثبت مي کند:\n%2")
                     .arg(destination, occupied.join("\n"));
    if (!sameNameUsers.isEmpty())
        parts << QString::fromUtf8("اين کاربران بانک مقصد «%1» با رمز و دسترسي هاي کاربر هم نام "
                                   "مبدا جايگزين مي شوند: %2")
                     .arg(destination, sameNameUsers.join(QString::fromUtf8("، ")));
    return parts.join("\n") + QString::fromUtf8("\nادامه مي دهيد؟");
}

} // namespace gc::transfer
