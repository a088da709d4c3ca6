#include "app/startup.h"

#include "core/connection_settings.h"
#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "windows/shell/server_window.h"

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
        RunApplication = false;
        showServerModal();
    } else if (missingFile) {
        ui::dialogs().message(ui::MsgIcon::Warning, missingFileMessage(*missingFile), ui::Yes);
        RunApplication = false;
        showServerModal();
    } else {
        db::Connection& connection = dm_.ADOConnection1;
        if (connection.connected())
            connection.close();
        // A settings form that builds no string fails the attempt; an older string is
        // never tried in its place.
        const auto text = BuildConnectionString(*settings);
        connection.setConnectionString(text.value_or(QString()));
        if (text) {
            if (settings->Authentication == "SQL Server")
                server_.RadioGroup1->setItemIndex(1);
            else if (settings->Authentication == "Windows")
                server_.RadioGroup1->setItemIndex(0);
        }
        try {
            if (!text)
                throw db::DbError(QString());
            connection.open();
            KeepTrying = false;
            RunApplication = true;
        } catch (const db::DbError&) {
            ui::dialogs().message(ui::MsgIcon::Warning, failedMessage(), ui::Yes);
            RunApplication = false;
            showServerModal();
        }
    }
    if (server_.Button2->text() == "end")
        KeepTrying = false;
}

bool ConnectionLoop::run() {
    while (KeepTrying)
        attempt();
    return RunApplication;
}

} // namespace gc
