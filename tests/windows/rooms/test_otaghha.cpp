#include "app/payam_otagh_pages.h"
#include "core/data_module.h"
#include "core/picture_file.h"
#include "platform/ui/query_grid.h"
#include "platform/xlsx/temp_files.h"
#include "support/clicking.h"
#include "windows/messages_fixture.h"
#include "windows/rooms/otaghha_window.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc;

namespace {

const QString kSaved = QString::fromUtf8("ثبت شد");
const QString kDuplicate = QString::fromUtf8("خطا! مقصد تكراريست");

QByteArray pngBytes() {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class Otaghha : public gctest::ServicesTest {
  protected:
    void SetUp() override {
        ServicesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        window = std::make_unique<Totaghha>(*dm, viewer());
        window->prepare();
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(files.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    void insert(const QString& title, const QString& floor, const QString& room,
                const QString& file = {}) {
        window->maghsad->setEditText(title);
        window->tabaghe->setEditText(floor);
        window->otagh->setEditText(room);
        dialogs.files.push_back(file);
        window->ins_btnClick();
    }
    int rooms() { return scalar("select count(*) from otaghha").toInt(); }
    QStringList titles() {
        QStringList out;
        db::Query& q = dm->ADOQ_otagh;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName("title").asString();
        return out;
    }

    QTemporaryDir files;
    std::unique_ptr<Totaghha> window;
};

} // namespace

TEST_P(Otaghha, CancelledPictureStillStoresTheRoomAsTyped) {
    insert(QString::fromUtf8("حسابداري"), QString::fromUtf8("طبقه نهم"), "11");
    EXPECT_EQ(dialogs.texts(), QStringList{kSaved});
    EXPECT_EQ(dialogs.fileRequests.size(), 1);
    QSqlQuery q(dm->ADOConnection1.database());
    ASSERT_TRUE(q.exec("select title, tabaghe, otagh, ext, koroki from otaghha"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QString::fromUtf8("حسابداري"));
    EXPECT_EQ(q.value(1).toString(), QString::fromUtf8("طبقه نهم"));
    EXPECT_EQ(q.value(2).toString(), "11");
    EXPECT_EQ(q.value(3).toString(), "");
    EXPECT_TRUE(q.value(4).toByteArray().isEmpty());
    EXPECT_EQ(titles(), QStringList{QString::fromUtf8("حسابداري")});
}

TEST_P(Otaghha, ADuplicateTitleIsRefusedBeforeAnyFileDialog) {
    insert("A", "", "1");
    dialogs.messages.clear();
    dialogs.fileRequests.clear();
    insert("A", QString::fromUtf8("دوم"), "2", writeFile("a.png", pngBytes()));
    EXPECT_EQ(dialogs.texts(), QStringList{kDuplicate});
    EXPECT_TRUE(dialogs.fileRequests.isEmpty());
    EXPECT_EQ(rooms(), 1);
}

TEST_P(Otaghha, ThePictureIsStoredWithItsExtension) {
    const QByteArray png = pngBytes();
    insert("B", QString::fromUtf8("همكف"), "3", writeFile("sketch.png", png));
    EXPECT_EQ(dialogs.texts(), QStringList{kSaved});
    QSqlQuery q(dm->ADOConnection1.database());
    ASSERT_TRUE(q.exec("select ext, koroki from otaghha"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), ".png");
    EXPECT_EQ(q.value(1).toByteArray(), png);
}

TEST_P(Otaghha, AFileThatIsNoPictureIsRefusedAndNothingIsLost) {
    insert("C", "", "4", writeFile("tool.bmp", QByteArray("#!/bin/sh\nrm -rf ~\n")));
    insert("C", "", "4", writeFile("noext", pngBytes()));
    insert("C", "", "4", files.filePath("missing.png"));
    EXPECT_EQ(rooms(), 0);
    ASSERT_EQ(dialogs.messages.size(), 3);
    for (const auto& shown : dialogs.messages)
        EXPECT_EQ(shown.icon, ui::MsgIcon::Error);
    EXPECT_FALSE(dialogs.texts().contains(kSaved));
    EXPECT_EQ(window->maghsad->currentText(), "C");
    EXPECT_EQ(window->otagh->currentText(), "4");
    EXPECT_EQ(dm->ADOQ_otagh.state(), db::Query::State::Browse);
}

TEST_P(Otaghha, DeleteLeavesTheRowInTheInputs) {
    insert("D", QString::fromUtf8("اول"), "5");
    insert("E", QString::fromUtf8("دوم"), "6");
    window->maghsad->setEditText("");
    ASSERT_TRUE(dm->ADOQ_otagh.locate("title", "D"));
    window->N1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("حذف شد"));
    EXPECT_EQ(window->maghsad->currentText(), "D");
    EXPECT_EQ(window->tabaghe->currentText(), QString::fromUtf8("اول"));
    EXPECT_EQ(window->otagh->currentText(), "5");
    EXPECT_EQ(titles(), QStringList{"E"});
}

TEST_P(Otaghha, ASketchOpensFromAFileOfItsOwnEachClick) {
    const QByteArray png = pngBytes();
    insert("F", "", "", writeFile("f.png", png));
    dialogs.messages.clear();
    ASSERT_TRUE(dm->ADOQ_otagh.locate("title", "F"));
    window->DBGrid1CellClick();
    window->DBGrid1CellClick();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_EQ(viewer().opened.size(), 2);
    EXPECT_NE(viewer().opened[0], viewer().opened[1]);
    QString error;
    const QString folder = xlsx::userTempFolder(&error);
    for (const QString& path : viewer().opened) {
        EXPECT_EQ(QFileInfo(path).absolutePath(), folder);
        EXPECT_TRUE(path.endsWith(".png"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), png);
        f.remove();
    }
}

TEST_P(Otaghha, NoSketchOrAStoredNonPictureIsNeverHandedOver) {
    insert("G", "", "");
    ASSERT_TRUE(raw("insert into otaghha (title, tabaghe, otagh, ext) values "
                    "('H', '', '', '.sh')"));
    ASSERT_TRUE(raw("insert into otaghha (title, tabaghe, otagh, ext) values "
                    "('I', '', '', '/../x')"));
    window->prepare();
    dialogs.messages.clear();
    ASSERT_TRUE(dm->ADOQ_otagh.locate("title", "G"));
    window->DBGrid1CellClick();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    for (const char* title : {"H", "I"}) {
        ASSERT_TRUE(dm->ADOQ_otagh.locate("title", title));
        window->DBGrid1CellClick();
    }
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(viewer().opened.isEmpty());

    // No viewer for the type: the user learns where the file is.
    insert("J", "", "", writeFile("j.png", pngBytes()));
    viewer().succeed = false;
    ASSERT_TRUE(dm->ADOQ_otagh.locate("title", "J"));
    window->DBGrid1CellClick();
    ASSERT_EQ(viewer().opened.size(), 1);
    EXPECT_TRUE(dialogs.texts().last().contains(viewer().opened[0]));
    QFile::remove(viewer().opened[0]);
}

TEST_P(Otaghha, ATitleClickSortsUpThenDownBoldsItsTitleAndLastsUntilTheNextOpening) {
    for (const char* t : {"b", "c", "a"})
        insert(t, "", "");
    window->show();
    const int column = dm->ADOQ_otagh.fieldIndex("title");
    gctest::clickTitle(window->DBGrid1, column);
    EXPECT_EQ(titles(), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(gctest::boldTitle(window->DBGrid1, column));
    gctest::clickTitle(window->DBGrid1, column);
    EXPECT_EQ(titles(), (QStringList{"c", "b", "a"}));
    window->hide();
    window->prepare();
    EXPECT_EQ(titles(), (QStringList{"b", "c", "a"}));
    EXPECT_FALSE(gctest::boldTitle(window->DBGrid1, column));
}

TEST_P(Otaghha, ShowingOffersTheVisitorDestinationsSorted) {
    for (const char* t : {"z", "m", "a"})
        ASSERT_TRUE(raw(QString::fromUtf8("insert into setting (component, cmt, def) values "
                                          "('مقصد ارباب رجوع', '%1', '')")
                            .arg(t)));
    window->maghsad->setEditText("typed");
    window->FormShow();
    ASSERT_EQ(window->maghsad->count(), 3);
    EXPECT_EQ(window->maghsad->itemText(0), "a");
    EXPECT_EQ(window->maghsad->itemText(2), "z");
    EXPECT_EQ(window->maghsad->currentText(), "typed");
}

TEST_P(Otaghha, ThePageSwitchesInsertAndDeleteAndTakesTheMainHeight) {
    OtaghPage page(*window);
    const PageCommands commands = page.commands();
    EXPECT_EQ(commands.insert, QList<QObject*>{window->ins_btn});
    EXPECT_TRUE(commands.edit.isEmpty());
    EXPECT_EQ(commands.remove, QList<QObject*>{window->N1});
    window->maghsad->setEditText("x");
    window->otagh->setEditText("y");
    CurrentPersianDate date(*clock);
    page.prepare(PageContext(QSize(900, 700), date));
    EXPECT_EQ(window->height(), 650);
    EXPECT_EQ(window->maghsad->currentText(), "");
    EXPECT_EQ(window->otagh->currentText(), "");
    EXPECT_EQ(dm->ADOQ_otagh.sql().text(), "Select * from otaghha");
}

GC_ON_BOTH_BACKENDS(Otaghha);

TEST(PictureFile, AcceptsOnlyADotAndUpToEightLettersOrDigits) {
    using pictures::IsSafeExtension;
    EXPECT_TRUE(IsSafeExtension(".bmp"));
    EXPECT_TRUE(IsSafeExtension(".JPEG2000"));
    EXPECT_FALSE(IsSafeExtension(""));
    EXPECT_FALSE(IsSafeExtension("."));
    EXPECT_FALSE(IsSafeExtension("bmp"));
    EXPECT_FALSE(IsSafeExtension(".abcdefghi"));
    EXPECT_FALSE(IsSafeExtension("./../x"));
    EXPECT_FALSE(IsSafeExtension(".b mp"));
    EXPECT_FALSE(IsSafeExtension(QString::fromUtf8(".بمپ")));
}

TEST(PictureFile, NeedsAPictureExtensionAndPictureBytes) {
    using pictures::IsPicture;
    const QByteArray png = pngBytes();
    EXPECT_TRUE(IsPicture(".png", png));
    EXPECT_TRUE(IsPicture(".bmp", png)); // the viewer reads the content
    EXPECT_FALSE(IsPicture(".exe", png));
    EXPECT_FALSE(IsPicture(".png", QByteArray("MZ\x90\x00", 4)));
    EXPECT_FALSE(IsPicture(".png", QByteArray()));
    EXPECT_FALSE(IsPicture(".svg", QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>")));
}
