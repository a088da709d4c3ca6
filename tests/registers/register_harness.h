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
class QComboBox;
class QDialog;
class QWidget;

// A register's windows over a fresh database of either engine, with the questions
// scripted, the clock fixed and the preview writing a PDF. A register's fixture makes its
// windows on `ctx` after SetUp.
namespace gctest {

class OpenerFake : public gc::xlsx::FileOpener {
  public:
    bool open(const QString& path) override {
        opened << path;
        return false;
    }
    QStringList opened;
};

class PdfPreview : public gc::report::PrintUi {
  public:
    explicit PdfPreview(QString path) : path_(std::move(path)) {}
    NoPrinterChoice askNoPrinter(const QString&) override { return NoPrinterChoice::Cancel; }
    QString choosePdfPath(const QString&) override { return {}; }
    void preview(gc::report::Report& report) override {
        result = gc::report::writePdf(report, path_);
    }
    const QString& path() const { return path_; }
    gc::report::RenderResult result;

  private:
    QString path_;
};

class RegisterHarness : public ::testing::TestWithParam<Backend> {
  protected:
    // Leaves `dm` null (and skips) when the engine is not available.
    void SetUp() override;

    // One value of the database read by the engine's own command-line client.
    QString scalar(const QString& sql);
    void exec(const QString& sql);
    void addPreset(const QString& listName, const QString& value, bool isDefault = false);
    // Another workstation saving columns of one row through its own connection, as the
    // program's edits save them.
    void otherWorkstationSaves(const QString& table, qint64 id,
                               const QList<QPair<QString, QString>>& columns);

    // Runs `script` while `trigger` shows `dialog` modally, then closes it if still open.
    void whileModal(QAction* trigger, QDialog* dialog, const std::function<void()>& script);
    // The guard's pick of an item, and typing into an input.
    static void pick(QComboBox* box, const QString& text);
    static void type(QWidget* input, const QString& text);
    void clickLabel(QWidget* window, const QString& caption, int index = 0);

    QTemporaryDir dir;
    std::unique_ptr<gc::Tdm> dm;
    gc::test::FakeClock clock;
    gc::CurrentPersianDate date{clock};
    OpenerFake opener;
    PdfPreview printUi{dir.filePath("preview.pdf")};
    std::unique_ptr<gc::registers::RegisterContext> ctx;
    ScriptedDialogs dialogs;
};

// Names the engine in the test names.
std::string engineName(const ::testing::TestParamInfo<Backend>& info);

inline const QString kGuard = QStringLiteral("نگهبان يك");

} // namespace gctest
