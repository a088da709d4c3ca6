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

// What the connection windows propose when the kind of database is chosen.
inline const QString kServerPassword = "kimrod$#!";
inline const QString kFilePassword = "507913";
struct ConnectionProposal {
    QString database;
    QString user;
    QString password;
};
ConnectionProposal ProposedConnection(bool fileDatabase);
// The file a file database is proposed in: "gatecontrol.db" in the user's data folder, so it
// stays where the program finds it whatever folder it is started from.
QString ProposedDatabaseFile();
// Makes the folder of `file` when it is the proposed file's folder; other folders are the
// user's to make. Opening the file says when the folder could not be made.
void PrepareDatabaseFolder(const QString& file);
// The database name for a file format (1: the 2003 format, else 2007) or a server.
QString ProposedDatabaseName(bool fileDatabase, int fileFormat);

struct ConnectionSettings {
    QString SystemType;
    QString SqlServerName;
    QString DataBase;
    QString UserName;
    QString Authentication;
    QString Password; // unscrambled
};

// Reverse the text and lower every character code by one (8-bit code-page text). The text is
// first mapped into the code page as everything stored is (Persian digits and yeh); nullopt,
// with `bad` set to it, when a character is still outside.
std::optional<QString> ScramblePassword(const QString& typed, QString* bad = nullptr);
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
