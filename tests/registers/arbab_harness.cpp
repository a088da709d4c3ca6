#include "arbab_harness.h"

#include "platform/db/sql_text.h"
#include "registers/shared/input_text.h"

#include <QPushButton>
#include <QTest>

namespace gctest::arbab {

using gc::db::quoted;

void Harness::SetUp() {
    RegisterHarness::SetUp();
    if (!dm)
        return;
    gc::capture::SyntheticCamera camera;
    camera.name = QStringLiteral("Gate camera");
    camera.width = 320;
    camera.height = 240;
    camera.fps = 100;
    cameras = std::make_unique<gc::capture::SyntheticKernel>(
        std::vector<gc::capture::SyntheticCamera>{camera});
    gc::capture::KernelTable kernel = cameras->table();
    kernel.listNodes = [this, all = kernel.listNodes] {
        return cameraPluggedIn ? all() : std::vector<std::string>{};
    };
    entry = std::make_unique<gc::registers::Tarbabrojo>(*ctx, kernel);
    list = std::make_unique<gc::registers::Tarbabrojo_list>(*ctx, *entry);
    pictures = std::make_unique<gc::registers::Tarbabrojo_pic>(*ctx);
    list->setPicturesWindow(pictures.get());
}

void Harness::TearDown() {
    pictures.reset();
    list.reset();
    entry.reset();
    cameras.reset();
}

qint64 Harness::addVisit(QMap<QString, QString> columns) {
    const QMap<QString, QString> plain{{"name", "احمدي"}, {"maghsad", "مالي"}, {"tabaghe", "1"},
                                       {"otagh", "12"},   {"cart_no", "100"},  {"madrak", "كارت"},
                                       {"dat", kToday},   {"vorod", "09:00"},  {"khoroj", "  :  "},
                                       {"gender", "مرد"}, {"cmt", ""},         {"negahban", kGuard},
                                       {"barcod", ""},    {"nazar", ""}};
    for (auto it = plain.begin(); it != plain.end(); ++it)
        if (!columns.contains(it.key()))
            columns.insert(it.key(), it.value());
    QStringList names, values;
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        names << it.key();
        values << quoted(it.value());
    }
    exec("insert into arbabrojo (" + names.join(',') + ") values (" + values.join(',') + ")");
    return scalar("select max(id) from arbabrojo").toLongLong();
}

void Harness::addRoom(const QString& title, const QString& floor, const QString& room) {
    exec("insert into otaghha (title, tabaghe, otagh) values (" + quoted(title) + "," +
         quoted(floor) + "," + quoted(room) + ")");
}

qint64 Harness::count(const QString& table) {
    return scalar("select count(*) from " + table).toLongLong();
}

QString Harness::column(qint64 id, const QString& name) {
    return scalar("select " + name + " from arbabrojo where id=" + QString::number(id));
}

QString Harness::in(const QString& name) const {
    return gc::registers::inputText(entry->input(name));
}

void Harness::click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

} // namespace gctest::arbab
