#include "core/connection_settings.h"

#include "platform/db/connection_string.h"
#include "platform/settings/registry.h"
#include "platform/text/codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace gc {

namespace {

const QString kWorkstationLabel = "GATECONTROL";

QString tail() {
    return ";Use Procedure for Prepare=1;Auto Translate=True;Packet Size=4096;Workstation ID=" +
           kWorkstationLabel +
           ";Use Encryption for Data=False;Tag with column collation when possible=False";
}

QByteArray shifted(QByteArray bytes, int delta) {
    std::reverse(bytes.begin(), bytes.end());
    for (char& c : bytes)
        c = char((static_cast<unsigned char>(c) + delta) & 0xFF);
    return bytes;
}

} // namespace

std::optional<QString> ScramblePassword(const QString& typed, QString* bad) {
    const auto mapped = codepage::toRepertoire(typed, bad);
    const auto bytes = mapped ? codepage::encode(*mapped) : std::nullopt;
    if (!bytes)
        return std::nullopt;
    return codepage::decode(shifted(*bytes, -1));
}

QString UnscramblePassword(const QString& stored) {
    // Stored text always comes from the code page; anything else is taken as Latin-1.
    const QByteArray bytes = codepage::encode(stored).value_or(stored.toLatin1());
    return codepage::decode(shifted(bytes, +1));
}

std::optional<QString> BuildConnectionString(const ConnectionSettings& s) {
    // A ';' or quote in a value is quoted, so that no value adds a keyword of its own.
    const auto v = db::connectionStringValue;
    if (s.Authentication == "SQL Server")
        return "Provider=SQLOLEDB.1;Password=" + v(s.Password) +
               ";Persist Security Info=True;User ID=" + v(s.UserName) +
               ";Initial Catalog=" + v(s.DataBase) + ";Data Source=" + v(s.SqlServerName) + tail();
    if (s.Authentication == "Windows")
        return "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;User ID=" +
               v(s.UserName) + ";Initial Catalog=" + v(s.DataBase) +
               ";Data Source=" + v(s.SqlServerName) + tail();
    if (s.Authentication == "Access" && s.SystemType == "32-bit")
        return "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + v(s.SqlServerName) +
               ";User Id=" + v(s.UserName) + ";Jet OLEDB:Database Password=" + v(s.Password) + ";";
    if (s.Authentication == "Access" && s.SystemType == "64-bit")
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + v(s.SqlServerName) +
               ";Persist Security Info=False";
    return std::nullopt;
}

std::optional<ConnectionSettings> ReadConnectionSettings() {
    const auto key = platform::RegistryKey::open(kSettingsKey, false);
    if (!key)
        return std::nullopt;
    ConnectionSettings s;
    s.SystemType = key->readString(kValSystemType);
    s.SqlServerName = key->readString(kValSqlServerName);
    s.DataBase = key->readString(kValDataBase);
    s.UserName = key->readString(kValUserName);
    s.Authentication = key->readString(kValAuthentication);
    s.Password = UnscramblePassword(key->readString(kValPassword));
    return s;
}

std::optional<QString> MissingDatabaseFile(const ConnectionSettings& s) {
    if (s.Authentication != "Access")
        return std::nullopt;
    const QFileInfo file(s.SqlServerName);
    if (file.exists())
        return std::nullopt;
    return file.absoluteFilePath();
}

ConnectionProposal ProposedConnection(bool fileDatabase) {
    if (fileDatabase)
        return {"Tovarmesk.accdb", "admin", kFilePassword};
    return {"Tovarmesk", "sa", kServerPassword};
}

QString ProposedDatabaseFile() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath("gatecontrol/gatecontrol.db");
}

void PrepareDatabaseFolder(const QString& file) {
    const QString folder = QFileInfo(ProposedDatabaseFile()).absolutePath();
    if (QFileInfo(file).absolutePath() == folder)
        QDir().mkpath(folder);
}

QString ProposedDatabaseName(bool fileDatabase, int fileFormat) {
    if (!fileDatabase)
        return "Tovarmesk";
    return fileFormat == 1 ? "Tovarmesk.mdb" : "Tovarmesk.accdb";
}

} // namespace gc
