#include "register_harness.h"

#include "khodro_rows.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/ui/widgets.h"
#include "support/spawn.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace gctest {

using gc::db::quoted;

std::string engineName(const ::testing::TestParamInfo<Backend>& info) {
    return backendName(info.param).toStdString();
}

void RegisterHarness::SetUp() {
    dm = khodro::freshModule(GetParam());
    if (!dm)
        GTEST_SKIP() << "no PostgreSQL test server";
    clock.set(QDateTime(QDate(2024, 3, 20), QTime(13, 5)));
    ctx = std::make_unique<gc::registers::RegisterContext>(gc::registers::RegisterContext{
        *dm, date, clock, [] { return kGuard; }, opener, printUi, dir.path()});
}

QString RegisterHarness::scalar(const QString& sql) {
    const QString cs = dm->ADOConnection1.connectionString();
    if (GetParam() == Backend::SQLite)
        return khodro::sqlite3(khodro::sqliteFile(cs), sql);
    static const QRegularExpression catalog(QStringLiteral("Initial Catalog=([^;]+)"));
    const QStringList host = postgresDataSource().split(',');
    return QString::fromUtf8(runProgram(QStringLiteral("psql"),
                                        {"-h", host.value(0), "-p", host.value(1), "-U", "gc", "-d",
                                         catalog.match(cs).captured(1), "-At", "-c", sql})
                                 .out)
        .trimmed();
}

void RegisterHarness::exec(const QString& sql) {
    dm->ADOConnection1.execute(sql);
}

void RegisterHarness::addPreset(const QString& listName, const QString& value, bool isDefault) {
    exec("insert into setting (component, cmt, def) values (" + quoted(listName) + ", " +
         quoted(value) + ", " + (isDefault ? quoted("1") : QStringLiteral("NULL")) + ")");
}

void RegisterHarness::otherWorkstationSaves(const QString& table, qint64 id,
                                            const QList<QPair<QString, QString>>& columns) {
    gc::db::Connection other(QStringLiteral("other workstation"));
    other.setConnectionString(dm->ADOConnection1.connectionString());
    other.open();
    {
        gc::db::Query q(other, QStringLiteral("q"));
        q.openSql({QStringLiteral("select * from %1 where id=%2").arg(table).arg(id)});
        q.edit();
        for (const auto& [column, value] : columns)
            q.fieldByName(column).setAsString(value);
        q.post();
    }
    other.close();
}

void RegisterHarness::whileModal(QAction* trigger, QDialog* dialog,
                                 const std::function<void()>& script) {
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        script();
        ran = true;
        // Closed by the test, not by the guard: the question about unsaved typing is
        // tested on its own.
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
    trigger->trigger();
    EXPECT_TRUE(ran);
}

void RegisterHarness::pick(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
    emit box->textActivated(box->currentText());
}

void RegisterHarness::type(QWidget* input, const QString& text) {
    auto* combo = qobject_cast<QComboBox*>(input);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(input);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Keys by their text: the test library maps only ASCII characters to key codes.
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void RegisterHarness::clickLabel(QWidget* window, const QString& caption, int index) {
    int seen = 0;
    for (auto* label : window->findChildren<gc::ui::ClickableLabel*>())
        if (label->text() == caption && seen++ == index) {
            QTest::mouseClick(label, Qt::LeftButton);
            return;
        }
    ADD_FAILURE() << "no label " << caption.toStdString();
}

} // namespace gctest
