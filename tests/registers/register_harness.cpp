#include "register_harness.h"

#include "khodro_rows.h"
#include "platform/db/sql_text.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace gctest::registers {

using gc::db::quoted;

std::string engineName(const ::testing::TestParamInfo<Backend>& info) {
    return backendName(info.param).toStdString();
}

void Harness::SetUp() {
    dm = khodro::freshModule(GetParam());
    if (!dm)
        GTEST_SKIP() << "no PostgreSQL test server";
    clock.set(QDateTime(QDate(2024, 3, 20), QTime(9, 30)));
    ctx = std::make_unique<gc::registers::RegisterContext>(gc::registers::RegisterContext{
        *dm, date, clock, [] { return QStringLiteral("ورود"); }, opener, printUi, dir.path()});
}

QString Harness::stored(const QString& sql) {
    const QString cs = dm->ADOConnection1.connectionString();
    if (GetParam() == Backend::SQLite)
        return khodro::sqlite3(khodro::sqliteFile(cs), sql);
    static const QRegularExpression catalog(QStringLiteral("Initial Catalog=([^;]+)"));
    const QStringList host = postgresDataSource().split(',');
    QProcess p;
    p.start(QStringLiteral("psql"), {"-h", host.value(0), "-p", host.value(1), "-U", "gc", "-d",
                                     catalog.match(cs).captured(1), "-At", "-c", sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void Harness::exec(const QString& sql) {
    dm->ADOConnection1.execute(sql);
}

void Harness::addPreset(const QString& listName, const QString& value) {
    exec("insert into setting (component, cmt) values (" + quoted(listName) + ", " + quoted(value) +
         ")");
}

void Harness::whileModal(const std::function<void()>& trigger, QDialog* dialog,
                         const std::function<void()>& script) {
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        script();
        ran = true;
        if (dialog->isVisible())
            dialog->reject();
    });
    trigger();
    EXPECT_TRUE(ran);
}

void Harness::type(QWidget* input, const QString& text) {
    auto* combo = qobject_cast<QComboBox*>(input);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(input);
    edit->setFocus();
    // Keys by their text: the test library maps only ASCII characters to key codes.
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace gctest::registers
