#include "arbab_harness.h"
#include "platform/db/query.h"
#include "platform/text/bidi.h"
#include "platform/ui/widgets.h"
#include "registers/arbab/arbabrojo_select.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/arbab_texts.h"
#include "registers/shared/list_grid_model.h"
#include "registers/shared/mask_inputs.h"
#include "registers/shared/picture_box.h"
#include "support/typing.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace gctest::arbab;
using gctest::Backend;
namespace ar = gc::registers::arbab;

namespace {

QByteArray pngBytes() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class ArbabList : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        list->prepare();
    }
    void scan(const QString& barcode) {
        list->CheckBox(7)->setChecked(true);
        list->barcod()->clear();
        gctest::typeKeys(list->barcod(), barcode);
        QTest::keyClick(list->barcod(), Qt::Key_Return);
    }
    QAction* item(const char* name) { return list->menuItem(QString::fromLatin1(name)); }
    void addPicture(qint64 visitId, const QString& ext, const QByteArray& bytes) {
        gc::db::Query& pics = dm->ADOQ_arbabrojo_pic;
        pics.openSql({"select * from arbabrojo_pic"});
        pics.append();
        pics.fieldByName("arbabrojo_id").setAsInteger(visitId);
        pics.fieldByName("cmt").setAsString(ar::kCameraPicture);
        pics.fieldByName("ext").setAsString(ext);
        pics.fieldByName("pic").setBytes(bytes);
        pics.post();
    }
    void clickRow(int row) {
        QTableView* grid = list->grid();
        int column = 0;
        while (grid->isColumnHidden(column))
            ++column;
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

} // namespace

TEST_P(ArbabList, ScanningTheCardRecordsTheExitOnceAndAnEmptyScanDoesNothing) {
    addVisit({{"name", "ديروزي"}, {"barcod", "41"}, {"dat", kYesterday}});
    const qint64 id = addVisit({{"name", "امروزي"}, {"barcod", "41"}, {"vorod", "08:00"}});
    addVisit({{"name", "ديگري"}, {"barcod", "42"}});
    list->search();
    ASSERT_EQ(list->countLabel()->text(), "2");

    const QString before = dm->ADOQuery1.sql().text();
    scan("");
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_EQ(dm->ADOQuery1.sql().text(), before) << "no search ran";

    scan("۴۱"); // through the Persian keyboard
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kExitRecorded + "امروزي"});
    EXPECT_EQ(column(id, "khoroj"), "13:05");
    EXPECT_FALSE(list->CheckBox(7)->isChecked());
    EXPECT_FALSE(list->barcod()->isEnabled());
    EXPECT_EQ(list->countLabel()->text(), "2") << "searched again without the barcode";

    dialogs.messages.clear();
    scan("41");
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kExitNotFound})
        << "the visit has its exit; yesterday's open visit is outside today's dates";
}

// A card and a visit of before the cardless barcodes had their zero, both inside under one
// barcode: the scan lets the guard pick whose exit it records.
TEST_P(ArbabList, AScanHeldByTwoVisitorsInsideRecordsOnlyTheOneTheGuardPicks) {
    const qint64 card = addVisit({{"name", "كارت دار"}, {"cart_no", "11"}, {"barcod", "41"}});
    const qint64 old = addVisit({{"name", "بي كارت"}, {"cart_no", "22"}, {"barcod", "41"}});
    const auto pickRow = [&](const QString& name) {
        QTimer::singleShot(0, &list->picker(), [&, name] {
            QTableView* grid = list->picker().grid();
            ASSERT_EQ(grid->model()->rowCount(), 2);
            if (name.isEmpty()) {
                list->picker().reject();
                return;
            }
            const int row = grid->model()->index(0, 1).data() == name ? 0 : 1;
            const QRect cell = grid->visualRect(grid->model()->index(row, 2));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        });
    };
    pickRow({});
    scan("41");
    EXPECT_TRUE(dialogs.texts().isEmpty()) << "closed without a pick: nothing recorded";
    EXPECT_EQ(column(card, "'['||khoroj||']'"), "[  :  ]");
    EXPECT_EQ(column(old, "'['||khoroj||']'"), "[  :  ]");

    pickRow("بي كارت");
    scan("41");
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kExitRecorded + "بي كارت"});
    EXPECT_EQ(column(old, "khoroj"), "13:05");
    EXPECT_EQ(column(card, "'['||khoroj||']'"), "[  :  ]");

    dialogs.messages.clear();
    scan("41"); // one left: no question
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kExitRecorded + "كارت دار"});
    EXPECT_EQ(column(card, "khoroj"), "13:05");
}

TEST_P(ArbabList, TheGenderChoiceNarrowsOnlyForAManOrAWoman) {
    addVisit({{"gender", "مرد"}});
    addVisit({{"gender", "زن"}});
    addVisit({{"gender", "زن"}});
    list->show();
    const auto countFor = [&](int index) {
        QTest::mouseClick(list->gender()->button(index), Qt::LeftButton);
        list->search();
        return list->countLabel()->text();
    };
    EXPECT_EQ(countFor(2), "3");
    EXPECT_EQ(countFor(0), "1");
    EXPECT_EQ(countFor(1), "2");
    list->hide();
}

TEST_P(ArbabList, CommandsOnACurrentVisitSayWhenThereIsNone) {
    gc::registers::VisitPrintHooks hooks;
    int calls = 0;
    hooks.previewSlip = [&](int) { ++calls; };
    hooks.printReceipt = [&](int) { ++calls; };
    list->setPrintHooks(hooks);
    const QString picturesSql = dm->ADOQ_arbabrojo_pic.sql().text();
    for (const char* name : {"N2", "N18", "N7", "N11"}) {
        dialogs.messages.clear();
        item(name)->trigger();
        EXPECT_EQ(dialogs.texts(), QStringList{ar::kNoVisitSelected}) << name;
    }
    dialogs.messages.clear();
    list->N19Click();
    list->DBImage1Click();
    EXPECT_EQ(dialogs.texts(), (QStringList{ar::kNoVisitSelected, ar::kNoVisitSelected}));
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(entry->isVisible());
    EXPECT_EQ(dm->ADOQ_arbabrojo_pic.sql().text(), picturesSql) << "no SQL ran";
}

TEST_P(ArbabList, EveryPrintGoesThroughItsHookOrSaysItIsNotAvailable) {
    const qint64 id = addVisit({});
    list->search();
    for (const char* name : {"N7", "N6", "N8", "N11", "N16", "N17", "N14"}) {
        dialogs.messages.clear();
        item(name)->trigger();
        ASSERT_EQ(dialogs.messages.size(), 1) << name;
        EXPECT_TRUE(dialogs.messages[0].text.endsWith("در اين نسخه برنامه موجود نيست")) << name;
    }
    QStringList calls;
    gc::registers::VisitPrintHooks hooks;
    hooks.previewSlip = [&](int v) { calls << "slip " + QString::number(v); };
    hooks.previewList = [&] { calls << "list"; };
    hooks.printBlankCards = [&] { calls << "cards"; };
    hooks.printReceipt = [&](int v) { calls << "receipt " + QString::number(v); };
    hooks.printSketch = [&] { calls << "sketch"; };
    hooks.previewCounts = [&](bool byName, bool dateOn, QString from, QString to) {
        calls << QString("counts %1 %2 %3 %4").arg(int(byName)).arg(int(dateOn)).arg(from, to);
    };
    list->setPrintHooks(hooks);
    for (const char* name : {"N7", "N6", "N8", "N11", "N16"})
        item(name)->trigger();
    list->CheckBox(3)->setChecked(false);
    item("N17")->trigger();
    EXPECT_EQ(item("N14")->shortcut(), QKeySequence(Qt::Key_F1));
    item("N14")->trigger();
    const QString v = QString::number(id);
    EXPECT_EQ(calls, (QStringList{"slip " + v, "list", "cards", "receipt " + v,
                                  "counts 0 1 " + kToday + " " + kToday,
                                  "counts 1 0 " + kToday + " " + kToday, "sketch"}));
}

TEST_P(ArbabList, TheMenuHoldsItsSubmenus) {
    const auto under = [&](const char* submenu) {
        QStringList names;
        for (QAction* a : item(submenu)->menu()->actions())
            names << a->objectName();
        return names;
    };
    EXPECT_EQ(under("N12"), (QStringList{"N6", "N4", "N8", "N11"}));
    EXPECT_EQ(under("N15"), (QStringList{"N16", "N17", "N20"}));
    EXPECT_EQ(under("N13"), QStringList{"N14"});
    EXPECT_EQ(item("N20")->text(), "ذخيره تصاوير دوربين بين دو تاريخ");
}

TEST_P(ArbabList, F1PrintsTheSketch) {
    int sketches = 0;
    gc::registers::VisitPrintHooks hooks;
    hooks.printSketch = [&] { ++sketches; };
    list->setPrintHooks(hooks);
    list->show();
    QApplication::setActiveWindow(list.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    QTest::keyClick(list->grid(), Qt::Key_F1);
    EXPECT_EQ(sketches, 1);
    list->hide();
}

TEST_P(ArbabList, TheFirstPictureShowsBesideTheGridAndOpensOnlyAsAPicture) {
    const qint64 id = addVisit({});
    addPicture(id, ".png", pngBytes());
    const qint64 fake = addVisit({{"vorod", "08:00"}});
    addPicture(fake, ".png", "MZ not a picture");
    list->search();
    list->show();
    clickRow(0);
    EXPECT_TRUE(list->DBImage1()->hasPicture());
    QTest::mouseClick(list->DBImage1(), Qt::LeftButton);
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(opener.opened[0].endsWith(".png"));
    QFile shown(opener.opened[0]);
    ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
    EXPECT_EQ(shown.readAll(), pngBytes());
    dialogs.messages.clear(); // the fake desktop has no viewer and said so

    clickRow(1);
    EXPECT_FALSE(list->DBImage1()->hasPicture());
    list->N19Click();
    EXPECT_EQ(opener.opened.size(), 1) << "a stored file that is not a picture is not handed over";
    EXPECT_EQ(dialogs.messages.size(), 1);
    list->hide();
}

TEST_P(ArbabList, ThePicturesWindowAddsOnlyPictures) {
    const qint64 id = addVisit({{"name", "تصويري"}});
    list->search();
    QTemporaryDir files;
    const QString good = files.filePath("face.png");
    QFile g(good);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(pngBytes());
    g.close();
    const QString bad = files.filePath("face.bmp");
    QFile b(bad);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write("not a bitmap");
    b.close();

    whileModal(item("N18"), pictures.get(), [&] {
        EXPECT_EQ(pictures->nam()->text(), "تصويري");
        pictures->ins_btnClick(); // cancelled
        EXPECT_TRUE(dialogs.texts().isEmpty());
        dialogs.files = {bad};
        pictures->ins_btnClick();
        EXPECT_EQ(dialogs.messages.size(), 1);
        dialogs.files = {good};
        pictures->ins_btnClick();
        EXPECT_EQ(dialogs.texts().last(), ar::kSaved);
        EXPECT_EQ(pictures->grid()->model()->rowCount(), 1);
        pictures->showPicture(0);
        EXPECT_EQ(opener.opened.size(), 1);
        const auto* model = static_cast<gc::registers::ListGridModel*>(pictures->grid()->model());
        EXPECT_EQ(model->index(0, model->gridToField(3)).data().toString(),
                  QString(QChar(0x2066)) + ".png" + QChar(0x2069))
            << "the extension keeps its dot in front between right-to-left texts";
    });
    EXPECT_EQ(scalar("select arbabrojo_id||ext from arbabrojo_pic"), QString::number(id) + ".png");

    // Delete from the pop-up: no question, no password.
    dialogs.messages.clear();
    whileModal(item("N18"), pictures.get(), [&] {
        pictures->grid()->setCurrentIndex(pictures->grid()->model()->index(0, 2));
        pictures->grid()->findChild<QAction*>("N1")->trigger();
        EXPECT_EQ(pictures->grid()->model()->rowCount(), 0);
    });
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kDeleted});
    EXPECT_EQ(count("arbabrojo_pic"), 0);
}

TEST_P(ArbabList, ZoomWidensEveryColumnButTheLast) {
    addVisit({});
    list->search();
    QTableView* grid = list->grid();
    const int nameField = list->gridModel()->gridToField(1);
    const int nazarField = list->gridModel()->gridToField(14);
    const int font = grid->font().pointSize();
    item("N9")->trigger();
    EXPECT_EQ(grid->font().pointSize(), font + 1);
    EXPECT_EQ(grid->columnWidth(nameField), 105);
    EXPECT_EQ(grid->columnWidth(nazarField), 80);
    item("N10")->trigger();
    EXPECT_EQ(grid->columnWidth(nameField), 100);
}

TEST_P(ArbabList, PicturesToFilesWriteIntoTheChosenFolderAndSayHowMany) {
    const qint64 id = addVisit({{"name", "a/b"}, {"vorod", "08:30"}});
    addPicture(id, ".png", pngBytes());
    addPicture(id, "/../x", pngBytes());
    QTemporaryDir out;
    dialogs.files = {out.filePath("visit")};
    item("N20")->trigger();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files),
              QStringList{"visit1a_b_1403_01_01_08_30.png"});
    EXPECT_EQ(dialogs.texts(),
              QStringList{ar::kPicturesWritten.arg(
                  "1", gc::text::isolatedLtr(QDir::toNativeSeparators(out.path())), "1", "0")});
}

// A folder's name is shown as it is, whatever marks it holds.
TEST_P(ArbabList, PicturesToFilesNameAFolderHoldingPercentMarksAsItIs) {
    const qint64 id = addVisit({{"vorod", "08:30"}});
    addPicture(id, ".png", pngBytes());
    QTemporaryDir out;
    const QString folder = out.filePath("pics %3 %1");
    ASSERT_TRUE(QDir().mkdir(folder));
    dialogs.files = {folder + "/visit"};
    item("N20")->trigger();
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_EQ(dialogs.texts()[0],
              QString::fromUtf8("1 فايل تصوير در ") + gc::text::isolatedLtr(folder) +
                  QString::fromUtf8(" نوشته شد، 0 رديف بدون تصوير يا با فايل موجود رد شد و 0 "
                                    "فايل نوشته نشد"));
}

TEST_P(ArbabList, PicturesToFilesWithACancelledDialogGoToTheCurrentFolderAsZ) {
    const qint64 id = addVisit({{"vorod", "07:45"}});
    addPicture(id, ".png", pngBytes());
    QTemporaryDir out;
    const QString before = QDir::currentPath();
    QDir::setCurrent(out.path());
    item("N20")->trigger();
    QDir::setCurrent(before);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"Z1احمدي_1403_01_01_07_45.png"});
}

TEST_P(ArbabList, ExportHeadsTheColumnsWithItsCaptionMap) {
    addVisit({{"cart_no", "0012"}});
    list->search();
    item("N4")->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject sheet = gctest::readXlsx(opener.opened.front());
    const QStringList heads = {"id",         "name",    "maghsad",  "tabaghe", "otagh",
                               "شماره كارت", "madrak",  "dat",      "vorod",   "khoroj",
                               "gender",     "توضيحات", "negahban", "barcod",  "nazar"};
    const auto cell = [&](const QString& name) {
        return sheet["cells"].toObject()[name].toObject()["value"].toString();
    };
    for (int i = 0; i < heads.size(); ++i)
        EXPECT_EQ(cell(QString(QChar('A' + i)) + "1"), heads[i]) << i;
    EXPECT_EQ(cell("F2"), "0012") << "a card number keeps its leading zeros";
}

TEST_P(ArbabList, DeleteTakesTheDeletePasswordAndLeavesThePictures) {
    addPreset("رمز حذف", "123");
    const qint64 id = addVisit({});
    addPicture(id, ".png", pngBytes());
    list->search();
    dialogs.inputs = {"12"};
    item("N3")->trigger();
    EXPECT_EQ(count("arbabrojo"), 1);
    EXPECT_TRUE(dialogs.texts().isEmpty());
    dialogs.inputs = {"123"};
    item("N3")->trigger();
    EXPECT_EQ(count("arbabrojo"), 0);
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kDeleted});
    EXPECT_EQ(count("arbabrojo_pic"), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, ArbabList,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), engineName);
