#pragma once

#include "core/data_module.h"
#include "core/persian_date.h"
#include "fakes/fake_clock.h"
#include "platform/report/output.h"
#include "platform/xlsx/file_opener.h"
#include "registers/shared/register_context.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class QAction;
class QDialog;
class QWidget;

// What a register's window tests share: a fresh database of either engine, a register
// context of fakes (fixed clock, no spreadsheet application, no preview), scripted
// questions that also record the input boxes asked, and the engine's own client to read
// what was stored.
namespace gctest::registers {

class Opener : public gc::xlsx::FileOpener {
  public:
    bool open(const QString& path) override {
        opened << path;
        return false;
    }
    QStringList opened;
};

class NoPreview : public gc::report::PrintUi {
  public:
    NoPrinterChoice askNoPrinter(const QString&) override { return NoPrinterChoice::Cancel; }
    QString choosePdfPath(const QString&) override { return {}; }
    void preview(gc::report::Report&) override {}
};

class Dialogs : public ScriptedDialogs {
  public:
    struct Asked {
        QString caption, prompt, initial;
    };
    std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                     const QString& initial, bool secret) override {
        asked.push_back({caption, prompt, initial});
        return ScriptedDialogs::inputText(caption, prompt, initial, secret);
    }
    QList<Asked> asked;
};

class Harness : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;

    // One value (or rows joined by newlines, columns by '|') as the engine's own client
    // reads it.
    QString stored(const QString& sql);
    void exec(const QString& sql);
    void addPreset(const QString& listName, const QString& value);

    // Runs `script` while `trigger` shows `dialog` modally, then closes it if still open.
    static void whileModal(const std::function<void()>& trigger, QDialog* dialog,
                           const std::function<void()>& script);
    // Typing into an edit or a drop-down's edit part, key by key.
    static void type(QWidget* input, const QString& text);

    QTemporaryDir dir;
    std::unique_ptr<gc::Tdm> dm;
    gc::test::FakeClock clock;
    gc::CurrentPersianDate date{clock};
    Opener opener;
    NoPreview printUi;
    std::unique_ptr<gc::registers::RegisterContext> ctx;
    Dialogs dialogs;
};

std::string engineName(const ::testing::TestParamInfo<Backend>& info);

} // namespace gctest::registers

#define GC_REGISTER_ON_BOTH_ENGINES(Suite)                                                         \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, Suite, ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),   \
        gctest::registers::engineName)
