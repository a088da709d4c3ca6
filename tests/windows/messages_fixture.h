#pragma once

#include "core/services.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_host_resolver.h"
#include "fakes/fake_platform.h"
#include "platform/xlsx/file_opener.h"
#include "support/dm_fixture.h"
#include "support/scripted_dialogs.h"

#include <QStringList>
#include <memory>

namespace gctest {

// Records the files handed to the desktop instead of opening them.
class RecordingViewer : public gc::xlsx::FileOpener {
  public:
    QStringList opened;
    bool succeed = true;
    bool open(const QString& path) override {
        opened << path;
        return succeed;
    }
};

// A data module with the schema, services on a clock standing at 1403/01/01, and
// scripted message boxes.
class ServicesTest : public DmTest {
  protected:
    void SetUp() override {
        DmTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        gc::PlatformServices platform;
        auto clockOwned =
            std::make_unique<gc::test::FakeClock>(QDateTime(QDate(2024, 3, 20), QTime(9, 30)));
        clock = clockOwned.get();
        platform.clock = std::move(clockOwned);
        platform.resolver = std::make_unique<gc::test::FakeHostResolver>();
        platform.keyboard = std::make_unique<gc::test::FakeKeyboardLayout>();
        platform.sound = std::make_unique<gc::test::FakeSystemSound>();
        platform.opener = std::make_unique<RecordingViewer>();
        services = std::make_unique<gc::Services>(std::move(platform));
    }

    RecordingViewer& viewer() { return static_cast<RecordingViewer&>(services->opener()); }

    // Adds a user and returns its id as text.
    QString addUser(const QString& name) {
        EXPECT_TRUE(raw("insert into users (us, ps, ver) values ('" + name + "', 'p', '')"));
        return scalar("select id from users where us='" + name + "'").toString();
    }
    void logIn(const QString& name) {
        services->user().set(scalar("select id from users where us='" + name + "'").toString(),
                             name);
    }

    ScriptedDialogs dialogs;
    gc::test::FakeClock* clock = nullptr;
    std::unique_ptr<gc::Services> services;
};

} // namespace gctest
