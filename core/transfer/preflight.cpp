#include "core/transfer/preflight.h"

#include "platform/db/db_error.h"

#include <QSqlError>
#include <QSqlQuery>

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

Preflight::Preflight(const TransferOptions& options, const QString& namePrefix)
    : options_(options), ends_(options.source, options.destination, namePrefix) {}

QString Preflight::destinationName() const {
    return Ends::describe(options_.destination);
}

QStringList Preflight::missingTables() {
    ends_.destination.forgetSchema();
    QStringList missing;
    for (const Section& s : sectionsFor(options_))
        for (const QString& t : tablesWritten(s))
            if (!ends_.destination.tableInfo(t) && !missing.contains(t))
                missing << t;
    return missing;
}

QStringList Preflight::occupiedSections() {
    QStringList out;
    for (const Section& s : sectionsFor(options_)) {
        QSqlQuery q(ends_.destination.database());
        q.prepare("select count(*) from " + s.table +
                  (s.dateColumn.isEmpty() ? QString() : " where " + s.dateColumn + " >= ?"));
        if (!s.dateColumn.isEmpty())
            q.addBindValue(options_.startDate);
        if (!q.exec() || !q.next())
            throw db::DbError(ends_.destination.errorMessage(q.lastError()));
        if (const int rows = q.value(0).toInt(); rows > 0)
            out << QString("%1: %2").arg(s.label).arg(rows);
    }
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

QString doublingQuestion(const QString& destination, const QStringList& occupied) {
    return QString::fromUtf8("بانک مقصد «%1» در اين بخش ها از قبل اطلاعات دارد و انتقال دوباره "
                             "آنها را دو بار ثبت مي کند:\n%2\nادامه مي دهيد؟")
        .arg(destination, occupied.join("\n"));
}

} // namespace gc::transfer
