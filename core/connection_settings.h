#pragma once

#include <QString>
#include <optional>

namespace gc {

// The registry key and value names under which each user's connection settings live.
inline const QString kSettingsKey = "\\SOFTWARE\\kelvaristoun";
inline const QString kValSystemType = "tovarmeskSystemType";
inline const QString kValSqlServerName = "tovarmeskSqlServerName";
inline const QString kValDataBase = "tovarmeskDataBase";
inline const QString kValUserName = "tovarmeskUserName";
inline const QString kValAuthentication = "tovarmeskAuthentication";
inline const QString kValPassword = "tovarmeskPassword";

struct ConnectionSettings {
    QString SystemType;
    QString SqlServerName;
    QString DataBase;
    QString UserName;
    QString Authentication;
    QString Password; // unscrambled
};

// Reverse the text and lower every character code by one (8-bit code-page text).
// nullopt when the text has a character the code page cannot hold.
std::optional<QString> ScramblePassword(const QString& typed);
// The inverse: reverse and raise every code by one.
QString UnscramblePassword(const QString& stored);

// The connection string for the settings (a value with a ';' or a quote in quotes), or
// nullopt when Authentication and SystemType name no known form.
std::optional<QString> BuildConnectionString(const ConnectionSettings& s);

// The absolute path of the database file the settings name when that file does not exist;
// nullopt for a server or an existing file.
std::optional<QString> MissingDatabaseFile(const ConnectionSettings& s);

// The stored settings, nullopt when the key does not exist.
std::optional<ConnectionSettings> ReadConnectionSettings();

} // namespace gc
