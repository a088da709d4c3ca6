#include "platform/db/connection_string.h"

#include "platform/db/db_error.h"
#include "platform/text/bidi.h"

#include <QDir>

namespace gc::db {

namespace {

// A value in quotes, its own quote doubled inside; `i` stands on the opening quote and
// ends on the closing one.
QString readQuoted(const QString& text, qsizetype& i) {
    const QChar quote = text[i];
    QString value;
    for (++i; i < text.size(); ++i) {
        if (text[i] == quote) {
            if (i + 1 >= text.size() || text[i + 1] != quote)
                break;
            ++i;
        }
        value += text[i];
    }
    return value;
}

// The value that starts at `pos`, just after its '='; `pos` then stands after the ';'
// that ends it.
QString readValue(const QString& text, qsizetype& pos) {
    qsizetype i = pos;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const bool quoted = i < text.size() && (text[i] == '"' || text[i] == '\'');
    QString value;
    if (quoted)
        value = readQuoted(text, i);
    else
        i = pos;
    const qsizetype end = text.indexOf(';', i);
    if (!quoted)
        value = text.mid(pos, (end < 0 ? text.size() : end) - pos);
    pos = end < 0 ? text.size() : end + 1;
    return value;
}

} // namespace

QMap<QString, QString> parseConnectionString(const QString& text) {
    QMap<QString, QString> out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf('=', pos);
        const qsizetype semi = text.indexOf(';', pos);
        if (eq < 0)
            break;
        if (semi >= 0 && semi < eq) { // a part without a value
            pos = semi + 1;
            continue;
        }
        const QString key = text.mid(pos, eq - pos).trimmed().toLower();
        pos = eq + 1;
        const QString value = readValue(text, pos);
        if (!key.isEmpty())
            out.insert(key, value);
    }
    return out;
}

QString connectionStringValue(const QString& value) {
    if (!value.contains(';') && !value.contains('"') && !value.contains('\''))
        return value;
    if (!value.contains('"'))
        return '"' + value + '"';
    if (!value.contains('\''))
        return '\'' + value + '\'';
    return '"' + QString(value).replace("\"", "\"\"") + '"';
}

namespace {

// The server field's caption, the same in the settings and the transfer windows.
QString serverFieldCaption() {
    return QString::fromUtf8("نام سرور sql /محل قرارگيري فايل اكسس");
}

// A port that is not one would reach the default port, perhaps another server's database
// of the same name.
int parsePort(const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    if (ok && port >= 1 && port <= 65535)
        return port;
    throw DataSourceError(
        QString::fromUtf8("شماره درگاه %1 در «%2» درست نيست: پس از ويرگول نام سرور عددي از 1 تا "
                          "65535 بنويسيد، مانند %3")
            .arg(text::quotedLtr(text), serverFieldCaption(),
                 text::isolatedLtr(QStringLiteral("127.0.0.1,5432"))));
}

// "host", "host,port", "host\instance", "host\instance,port"
void parseDataSource(const QString& source, ConnectionTarget& t) {
    QString hostPart = source.trimmed();
    const qsizetype comma = hostPart.indexOf(',');
    if (comma >= 0) {
        t.port = parsePort(hostPart.mid(comma + 1).trimmed());
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
