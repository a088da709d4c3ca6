#include "platform/db/connection_string.h"

#include "platform/db/db_error.h"

#include <QDir>

namespace gc::db {

QMap<QString, QString> parseConnectionString(const QString& text) {
    QMap<QString, QString> out;
    for (const QString& part : text.split(';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf('=');
        if (eq <= 0)
            continue;
        out.insert(part.left(eq).trimmed().toLower(), part.mid(eq + 1));
    }
    return out;
}

namespace {

// "host", "host,port", "host\instance", "host\instance,port"
void parseDataSource(const QString& source, ConnectionTarget& t) {
    QString hostPart = source.trimmed();
    const qsizetype comma = hostPart.indexOf(',');
    if (comma >= 0) {
        t.port = hostPart.mid(comma + 1).trimmed().toInt();
        hostPart = hostPart.left(comma);
    }
    const qsizetype slash = hostPart.indexOf('\\');
    if (slash >= 0)
        hostPart = hostPart.left(slash);
    t.host = hostPart.trimmed();
    if (t.host == "." || t.host.compare("(local)", Qt::CaseInsensitive) == 0)
        t.host = "localhost";
}

} // namespace

ConnectionTarget connectionTarget(const QString& connectionString) {
    const auto parts = parseConnectionString(connectionString);
    ConnectionTarget t;
    t.provider = parts.value("provider").trimmed();
    if (t.provider.compare("SQLOLEDB.1", Qt::CaseInsensitive) == 0) {
        t.engine = Engine::PostgreSQL;
        parseDataSource(parts.value("data source"), t);
        t.database = parts.value("initial catalog").trimmed();
        t.integratedSecurity =
            parts.value("integrated security").trimmed().compare("SSPI", Qt::CaseInsensitive) == 0;
        if (!t.integratedSecurity) {
            t.user = parts.value("user id");
            t.password = parts.value("password");
        }
        return t;
    }
    if (t.provider.compare("Microsoft.ACE.OLEDB.12.0", Qt::CaseInsensitive) == 0 ||
        t.provider.compare("Microsoft.Jet.OLEDB.4.0", Qt::CaseInsensitive) == 0) {
        t.engine = Engine::SQLite;
        const QString file = parts.value("data source").trimmed();
        t.file = file.isEmpty() ? QString() : QDir::current().absoluteFilePath(file);
        return t;
    }
    if (t.provider.isEmpty())
        throw DbError(QString::fromUtf8("رشته اتصال به بانک اطلاعاتي خالي است"));
    throw DbError(QString::fromUtf8("نوع اتصال «%1» پشتيباني نمي شود").arg(t.provider));
}

} // namespace gc::db
