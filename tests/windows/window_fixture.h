#pragma once

#include "app/forms.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "core/services.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_host_resolver.h"
#include "fakes/fake_platform.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"
#include "windows/shell/change_pass_window.h"
#include "windows/shell/login_window.h"
#include "windows/shell/main_window.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace gctest {

// Counts the close events a window receives.
class CloseSpy : public QObject {
  public:
    explicit CloseSpy(QObject& watched) { watched.installEventFilter(this); }
    int closes = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

// The program's windows on a fresh database of either engine, with fake platform
// layers and scripted message boxes.
class WindowTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (GetParam() == Backend::PostgreSQL && !postgresAvailable())
            GTEST_SKIP() << "no PostgreSQL test server";
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        gc::PlatformServices platform;
        auto clockOwned =
            std::make_unique<gc::test::FakeClock>(QDateTime(QDate(2024, 3, 20), QTime(9, 30)));
        auto keyboardOwned = std::make_unique<gc::test::FakeKeyboardLayout>();
        auto soundOwned = std::make_unique<gc::test::FakeSystemSound>();
        clock = clockOwned.get();
        keyboard = keyboardOwned.get();
        sound = soundOwned.get();
        platform.clock = std::move(clockOwned);
        platform.resolver = std::make_unique<gc::test::FakeHostResolver>();
        platform.keyboard = std::move(keyboardOwned);
        platform.sound = std::move(soundOwned);
        forms = std::make_unique<gc::Forms>(std::move(platform));
        forms->login->showServerModal = [this] { ++serverShown; };
        forms->dm->ADOConnection1.setConnectionString(freshDatabase(GetParam()));
        forms->dm->ADOConnection1.open();
    }
    void TearDown() override {
        if (forms) {
            forms->main->Timer1->stop();
            forms->main->hide();
            forms->change_pass->hide();
            forms->login->hide();
        }
    }

    void createSchema() { ASSERT_TRUE(gc::EnsureSchema(*forms->dm).complete()); }

    void exec(const QString& sql) {
        QSqlQuery q(forms->dm->ADOConnection1.database());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " in "
                                 << sql.toStdString();
    }
    QVariant scalar(const QString& sql) {
        QSqlQuery q(forms->dm->ADOConnection1.database());
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }
    QString adminId() { return scalar("select id from users where us='admin'").toString(); }

    // Types into the login window and presses its login button.
    void logIn(const QString& name, const QString& password) {
        forms->login->us->setEditText(name);
        forms->login->ps->setText(password);
        forms->login->BitBtn1Click();
    }

    QTemporaryDir config;
    ScriptedDialogs dialogs;
    gc::test::FakeClock* clock = nullptr;
    gc::test::FakeKeyboardLayout* keyboard = nullptr;
    gc::test::FakeSystemSound* sound = nullptr;
    std::unique_ptr<gc::Forms> forms;
    int serverShown = 0;
};

inline std::string backendParamName(const ::testing::TestParamInfo<Backend>& info) {
    return backendName(info.param).toStdString();
}

} // namespace gctest

#define GC_INSTANTIATE_BACKENDS(suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, suite, ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),   \
        gctest::backendParamName)
