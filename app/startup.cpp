#include "app/startup.h"

#include "core/connection_settings.h"
#include "core/data_module.h"
#include "platform/db/connection_string.h"
#include "platform/db/db_error.h"
#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "windows/shell/server_window.h"

#include <QFileInfo>
#include <QPushButton>

namespace gc {

namespace {

QString noSettingsMessage() {
    return QString::fromUtf8("لطفا\" ابتدا تنظيمات اتصال به بانک اطلاعاتي را انجام دهيد");
}

QString failedMessage() {
    return QString::fromUtf8(
        "تنظيمات اتصال به بانک اطلاعاتي اشتباه انجام شده است، لطفا با مدير شبکه تماس حاصل کنيد");
}

QString missingFileMessage(const QString& path) {
    return QString::fromUtf8("فايل بانک اطلاعاتي پيدا نشد:") + '\n' + text::isolatedLtr(path);
}

bool isFile(const ConnectionSettings& s) {
    return s.Authentication == "Access";
}

// The database as the user named it: the file's path, or the server's database.
QString named(const ConnectionSettings& s) {
    const QString name = isFile(s) ? QFileInfo(s.SqlServerName).absoluteFilePath() : s.DataBase;
    return text::quotedLtr(name);
}

QString noTablesMessage(const ConnectionSettings& s, const DatabaseCheck& check) {
    const bool empty = check.state == DatabaseState::Empty;
    const QString what = empty
                             ? QString::fromUtf8("بانک اطلاعاتي %1 خالي است و جدول هاي اين "
                                                 "برنامه را ندارد.")
                             : QString::fromUtf8("بانک اطلاعاتي %1 جدول هاي اين برنامه را ندارد.");
    return what.arg(named(s)) + '\n' + (empty ? QString() : OtherTablesNote(check.tables) + '\n') +
           QString::fromUtf8("جدول ها اکنون ساخته شوند؟ (همان کار «- - -» در پنجره تنظيمات)");
}

QString unreadableMessage(const ConnectionSettings& s, const QString& reason) {
    return QString::fromUtf8("بانک اطلاعاتي %1 خوانده نمي شود:").arg(named(s)) + '\n' + reason;
}

} // namespace

ConnectionLoop::ConnectionLoop(Tdm& dm, Tserver& server)
    : showServerModal([&server] { server.exec(); }), dm_(dm), server_(server) {}

void ConnectionLoop::attempt() {
    const auto settings = ReadConnectionSettings();
    const auto missingFile =
        settings && !mayCreateFile_ ? MissingDatabaseFile(*settings) : std::nullopt;
    if (!settings) {
        mayCreateFile_ = true;
        ui::dialogs().message(ui::MsgIcon::Warning, noSettingsMessage(), ui::Yes);
        backToSettings();
    } else if (missingFile) {
        ui::dialogs().message(ui::MsgIcon::Warning, missingFileMessage(*missingFile), ui::Yes);
        backToSettings();
    } else if (open(*settings)) {
        settle(*settings);
    }
    if (server_.Button2->text() == "end")
        KeepTrying = false;
}

// Opens the shared connection on the settings, or says why not. A file's own reason (damaged,
// of another kind, its path) and a mistyped server name are shown; a server's reason stays the
// administrator's.
bool ConnectionLoop::open(const ConnectionSettings& settings) {
    db::Connection& connection = dm_.ADOConnection1;
    if (connection.connected())
        connection.close();
    // A settings form that builds no string fails the attempt; an older string is
    // never tried in its place.
    const auto text = BuildConnectionString(settings);
    connection.setConnectionString(text.value_or(QString()));
    if (text) {
        if (settings.Authentication == "SQL Server")
            server_.RadioGroup1->setItemIndex(1);
        else if (settings.Authentication == "Windows")
            server_.RadioGroup1->setItemIndex(0);
    }
    QString refusal;
    try {
        if (!text)
            throw db::DbError(QString());
        connection.open();
        return true;
    } catch (const db::DataSourceError& e) {
        refusal = e.message();
    } catch (const db::DbError& e) {
        const bool ownReason = text && isFile(settings) && !e.message().isEmpty();
        refusal = ownReason ? e.message() : failedMessage();
    }
    ui::dialogs().message(ui::MsgIcon::Warning, refusal, ui::Yes);
    backToSettings();
    return false;
}

// Login reads the users first: a database without them is set up, or given back to the
// settings with the reason, before the login window is shown.
void ConnectionLoop::settle(const ConnectionSettings& settings) {
    const DatabaseCheck check = CheckDatabase(dm_);
    const bool ready = check.state == DatabaseState::Ready ||
                       (check.state != DatabaseState::Unreadable && setUpTables(settings, check));
    if (ready) {
        KeepTrying = false;
        RunApplication = true;
        return;
    }
    if (check.state == DatabaseState::Unreadable)
        ui::dialogs().message(ui::MsgIcon::Warning, unreadableMessage(settings, check.reason),
                              ui::Yes);
    backToSettings();
}

// A new, empty file chosen at the first start is the program's own: set up without asking.
bool ConnectionLoop::setUpTables(const ConnectionSettings& settings, const DatabaseCheck& check) {
    const bool fresh = mayCreateFile_ && isFile(settings) && check.state == DatabaseState::Empty;
    if (!fresh && ui::dialogs().message(ui::MsgIcon::Question, noTablesMessage(settings, check),
                                        ui::Yes | ui::No) != ui::Yes)
        return false;
    return SetUpSchema(dm_);
}

// The settings window works on what it shows: "- - -" there opens the typed database, not
// the one this attempt left open.
void ConnectionLoop::backToSettings() {
    dm_.ADOConnection1.close();
    RunApplication = false;
    showServerModal();
}

bool ConnectionLoop::run() {
    while (KeepTrying)
        attempt();
    return RunApplication;
}

} // namespace gc
