#include "arbab_harness.h"
#include "core/national_code.h"
#include "platform/db/dialect.h"
#include "platform/db/query.h"
#include "platform/ui/widgets.h"
#include "registers/arbab/arbabrojo_select.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/arbab_texts.h"
#include "registers/shared/mask_inputs.h"
#include "support/typing.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace gctest::arbab;
using gctest::Backend;
namespace ar = gc::registers::arbab;

namespace {

class ArbabEntry : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        addRoom("مالي", "2", "21");
        addRoom("فني", "3", "34");
        addPreset("مقصد ارباب رجوع", "مالي");
        addPreset("مقصد ارباب رجوع", "فني");
        addPreset("مدرك", "كارت ملي");
        list->prepare();
    }
    // Opens the entry window for a new visit and runs `script` while it is shown.
    void whileNew(const std::function<void()>& script) {
        whileModal(list->insertAction(), entry.get(), [&] {
            QApplication::setActiveWindow(entry.get());
            script();
        });
    }
    void whileEdit(const std::function<void()>& script) {
        whileModal(list->editAction(), entry.get(), [&] {
            QApplication::setActiveWindow(entry.get());
            script();
        });
    }
    void typeInto(QWidget* w, const QString& text) {
        w->setFocus();
        gctest::typeKeys(w, text);
    }
    void leave(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
        entry->findChild<QLineEdit*>("barcod")->setFocus();
        QApplication::processEvents();
    }
};

} // namespace

TEST_P(ArbabEntry, TheCardLookUpRunsOnEachKeyTheGuardTypes) {
    addVisit({{"cart_no", "4411"}, {"name", "قديمي"}, {"dat", kYesterday}, {"gender", "زن"}});
    addVisit({{"cart_no", "4411"},
              {"name", "تازه"},
              {"maghsad", "فني"},
              {"tabaghe", "3"},
              {"otagh", "34"},
              {"madrak", "كارت ملي"},
              {"cmt", "2 نفرند"},
              {"gender", "زن"}});
    whileNew([&] {
        EXPECT_EQ(in("dat"), kToday);
        EXPECT_EQ(in("vorod"), "13:05");
        EXPECT_EQ(in("khoroj"), gc::registers::kBlankTime);
        EXPECT_EQ(in("tabaghe"), "---");
        typeInto(entry->cart_no(), "441");
        EXPECT_EQ(in("name"), "") << "an unseen number empties the visitor";
        EXPECT_EQ(in("gender"), ar::kMale);
        gctest::typeKeys(entry->cart_no(), "1");
        EXPECT_EQ(in("name"), "تازه") << "the latest date's visit";
        EXPECT_EQ(in("maghsad"), "فني");
        EXPECT_EQ(in("tabaghe"), "3");
        EXPECT_EQ(in("otagh"), "34");
        EXPECT_EQ(in("madrak"), "كارت ملي");
        EXPECT_EQ(in("cmt"), "2 نفرند");
        EXPECT_EQ(in("gender"), ar::kFemale);
        EXPECT_EQ(in("dat"), kToday) << "dates and times are not touched";
    });
}

TEST_P(ArbabEntry, TheNameListFollowsTheTypingWithEachEarlierNameOnceInOrder) {
    addVisit({{"name", "ب"}});
    addVisit({{"name", "الف"}});
    addVisit({{"name", "ب"}});
    addVisit({{"name", "بابايي"}});
    const auto names = [&] {
        QStringList out;
        for (int i = 0; i < entry->name()->count(); ++i)
            out << entry->name()->itemText(i);
        return out;
    };
    whileNew([&] {
        EXPECT_EQ(names(), (QStringList{"الف", "ب", "بابايي"}));
        typeInto(entry->name()->lineEdit(), "ب");
        EXPECT_EQ(names(), (QStringList{"ب", "بابايي"}));
        typeInto(entry->name()->lineEdit(), "ا");
        EXPECT_EQ(names(), QStringList{"بابايي"});
        EXPECT_FALSE(entry->src_btn()->isVisible()) << "no visit under the part typed";
        QTest::keyClick(entry->name()->lineEdit(), Qt::Key_Backspace);
        EXPECT_EQ(names(), (QStringList{"ب", "بابايي"}));
        EXPECT_TRUE(entry->src_btn()->isVisible()) << "the namesake look-up on every key";

        // A key typed in the middle keeps the cursor where it was.
        QLineEdit* edit = entry->name()->lineEdit();
        edit->setCursorPosition(0);
        gctest::typeKeys(edit, "ا");
        EXPECT_EQ(edit->text(), "اب");
        EXPECT_EQ(edit->cursorPosition(), 1);
        EXPECT_EQ(names(), QStringList{});
    });
    // A name stored since is offered at the next showing; never more than a screenful.
    for (int i = 0; i < 105; ++i)
        addVisit({{"name", QStringLiteral("پ%1").arg(i, 3, 10, QChar('0'))}});
    whileNew([&] {
        entry->name()->lineEdit()->clear();
        typeInto(entry->name()->lineEdit(), "پ");
        EXPECT_EQ(entry->name()->count(), 100);
        EXPECT_EQ(entry->name()->itemText(0), "پ000");
        typeInto(entry->name()->lineEdit(), "104");
        EXPECT_EQ(names(), QStringList{"پ104"});
    });
}

TEST_P(ArbabEntry, PickingADestinationBringsItsRoomAndANameShowsItsNamesakes) {
    addVisit({{"name", "سعيدي"}, {"cart_no", "1"}});
    addVisit({{"name", "سعيدي"}, {"cart_no", "2"}, {"maghsad", "فني"}});
    whileNew([&] {
        pick(entry->maghsad(), "فني");
        EXPECT_EQ(in("tabaghe"), "3");
        EXPECT_EQ(in("otagh"), "34");
        typeInto(entry->maghsad(), "x");
        EXPECT_EQ(in("tabaghe"), "") << "no room of that title";
        EXPECT_TRUE(entry->src_btn()->isHidden());
        typeInto(entry->name()->lineEdit(), "سعيدي");
        EXPECT_FALSE(entry->src_btn()->isHidden());
        EXPECT_EQ(in("maghsad"), "");

        // Two visitors under the name: the picker offers both; a click takes the row's card.
        QTimer::singleShot(0, &entry->picker(), [&] {
            QTableView* grid = entry->picker().grid();
            ASSERT_EQ(grid->model()->rowCount(), 2);
            const int row = grid->model()->index(0, 0).data() == "2" ? 0 : 1;
            const QRect cell = grid->visualRect(grid->model()->index(row, 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        });
        click(entry->src_btn());
        EXPECT_EQ(in("cart_no"), "2");
        EXPECT_EQ(in("maghsad"), "فني");
        EXPECT_EQ(in("cmt"), "");
    });
}

TEST_P(ArbabEntry, RegisteringGivesAnEmptyBarcodeTheVisitNumberAndNeverFakesTheSlip) {
    whileNew([&] {
        typeInto(entry->name()->lineEdit(), "نوري");
        dialogs.answers = {gc::ui::No};
        click(entry->insButton());
    });
    const qint64 first = entry->lastVisitId();
    ASSERT_GT(first, 0);
    EXPECT_EQ(column(first, "barcod"), "0" + QString::number(first));
    EXPECT_EQ(column(first, "negahban"), kGuard);
    EXPECT_EQ(column(first, "'['||khoroj||']'"), "[  :  ]");
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kPrintQuestion});
    EXPECT_EQ(list->query().recordCount(), 1) << "the list shows the new visit at once";

    // Yes with no slip layout in this version, then with a print that fails.
    dialogs.messages.clear();
    clock.set(QDateTime(QDate(2024, 3, 20), QTime(13, 6)));
    whileNew([&] {
        typeInto(entry->name()->lineEdit(), "نوري");
        click(entry->insButton());
        EXPECT_TRUE(entry->isVisible()) << "the window stays for the next visitor";
    });
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(ar::kSlipNotPrinted));
    QList<int> printed;
    gc::registers::VisitPrintHooks hooks;
    hooks.printSlip = [&](int id) {
        printed << id;
        return false;
    };
    list->setPrintHooks(hooks);
    dialogs.messages.clear();
    clock.set(QDateTime(QDate(2024, 3, 20), QTime(13, 7)));
    whileNew([&] {
        typeInto(entry->name()->lineEdit(), "نوري");
        click(entry->insButton());
    });
    EXPECT_EQ(printed, QList<int>{int(entry->lastVisitId())});
    EXPECT_EQ(dialogs.texts().last(), ar::kSlipNotPrinted);
    EXPECT_EQ(count("arbabrojo"), 3) << "a failed print keeps the visit";
}

TEST_P(ArbabEntry, ABarcodeHeldInsideIsRefusedAndTheDuplicateQuestionStillAsked) {
    addVisit({{"name", "نوري"}, {"cart_no", "1111111111"}, {"vorod", "13:05"}, {"barcod", "321"}});
    whileNew([&] {
        typeInto(entry->barcod(), "321");
        QTest::keyClick(entry->barcod(), Qt::Key_Return);
        EXPECT_EQ(dialogs.texts(), QStringList{ar::kBarcodeInUseMessage});
        EXPECT_EQ(in("barcod"), "");

        typeInto(entry->cart_no(), "1111111111");
        typeInto(entry->barcod(), "321");
        dialogs.messages.clear();
        dialogs.answers = {gc::ui::Ok, gc::ui::Yes};
        click(entry->insButton());
        EXPECT_EQ(dialogs.texts(), (QStringList{ar::kBarcodeInUseMessage, ar::kDuplicateQuestion}));

        entry->barcod()->clear();
        dialogs.messages.clear();
        dialogs.answers = {gc::ui::Cancel};
        click(entry->insButton());
        EXPECT_EQ(dialogs.texts(), QStringList{ar::kDuplicateQuestion});
    });
    EXPECT_EQ(count("arbabrojo"), 1) << "refusals write nothing";
}

TEST_P(ArbabEntry, TheNationalCodeIsCheckedOnLeavingTheCardNumber) {
    const auto check = [&](const QString& typed) {
        dialogs.messages.clear();
        entry->cart_no()->clear();
        typeInto(entry->cart_no(), typed);
        leave(entry->cart_no());
        return dialogs.texts();
    };
    whileNew([&] {
        EXPECT_EQ(check("1111111111"), QStringList{});
        EXPECT_EQ(check("0000000401"), QStringList{});
        EXPECT_EQ(check("۱۱۱۱۱۱۱۱۱۱"), QStringList{}) << "Persian digits count as digits";
        EXPECT_EQ(check("١١١١١١١١١٢"), QStringList{gc::kNationalCodeInvalidMessage});
        EXPECT_EQ(check("1111111112"), QStringList{gc::kNationalCodeInvalidMessage});
        EXPECT_EQ(check("12345678a0"), QStringList{gc::kNationalCodeInvalidMessage});
        EXPECT_EQ(check("12345678901"), QStringList{gc::kNationalCodeLengthMessage});
        EXPECT_TRUE(entry->cart_no()->hasFocus()) << "eleven characters keep the focus";
        entry->nation_check()->setChecked(false);
        EXPECT_EQ(check("12345678901"), QStringList{});
        entry->nation_check()->setChecked(true);
    });
}

TEST_P(ArbabEntry, TheBarcodeTakesDigitsOnlyAndGuardsAgainstADoubleRead) {
    whileNew([&] {
        typeInto(entry->barcod(), "1a۲٣b");
        EXPECT_EQ(in("barcod"), "123") << "letters never appear; Persian digits become ASCII";
        typeInto(entry->barcod(), "4567890123456");
        EXPECT_EQ(in("barcod"), "") << "the same card read twice";
        EXPECT_EQ(dialogs.texts(), QStringList{ar::kDoubleReadMessage});
    });
}

TEST_P(ArbabEntry, AnEditChangesOnlyWhatTheGuardChanges) {
    // The old visit's card was used later under another name; its room was renamed since.
    const qint64 old = addVisit({{"name", "كريمي"},
                                 {"cart_no", "900"},
                                 {"maghsad", "انبار"},
                                 {"tabaghe", "1"},
                                 {"otagh", "7"},
                                 {"dat", kYesterday},
                                 {"barcod", "12345678901234567890"},
                                 {"gender", "زن"}});
    addVisit({{"name", "كريم زاده"}, {"cart_no", "900"}});
    list->CheckBox(3)->setChecked(false);
    list->search();
    ASSERT_TRUE(list->query().locate("id", old));
    list->showQueryRow();
    whileEdit([&] {
        EXPECT_EQ(in("name"), "كريمي");
        EXPECT_EQ(in("tabaghe"), "1");
        EXPECT_EQ(in("otagh"), "7");
        EXPECT_EQ(in("gender"), ar::kFemale);
        EXPECT_EQ(in("barcod"), "12345678901234567890") << "a stored barcode is no double read";
        EXPECT_TRUE(entry->insButton()->isHidden());
        clickLabel(entry.get(), "ساعت خروج");
        click(entry->editButton());
    });
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_EQ(column(old, "name"), "كريمي");
    EXPECT_EQ(column(old, "maghsad"), "انبار");
    EXPECT_EQ(column(old, "tabaghe||'/'||otagh"), "1/7");
    EXPECT_EQ(column(old, "khoroj"), "13:05");
    EXPECT_EQ(column(old, "barcod"), "12345678901234567890");

    ASSERT_TRUE(list->query().locate("id", old));
    whileEdit([&] {
        entry->barcod()->clear();
        click(entry->editButton());
    });
    EXPECT_EQ(column(old, "barcod"), "0" + QString::number(old))
        << "an emptied barcode takes the visit's own, as a cardless register does";
}

TEST_P(ArbabEntry, AStaleEditKeepsAnotherWorkstationsExitAndRefusesARealConflict) {
    const qint64 id = addVisit({{"cmt", "اول"}});
    list->search();
    ASSERT_TRUE(list->query().locate("id", id));
    // Scanned out at the second workstation while this list still shows the visitor inside.
    otherWorkstationSaves("arbabrojo", id, {{"khoroj", "06:46"}});
    whileEdit([&] {
        EXPECT_EQ(in("khoroj"), "  :  ");
        typeInto(entry->findChild<QComboBox*>("cmt")->lineEdit(), " دوم");
        click(entry->editButton());
    });
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(column(id, "khoroj"), "06:46");
    EXPECT_EQ(column(id, "cmt"), "اول دوم");
    EXPECT_EQ(column(id, "negahban"), kGuard);

    // The same field saved at both: the later save is refused and keeps what was typed.
    otherWorkstationSaves("arbabrojo", id, {{"cmt", "از ايستگاه دوم"}});
    whileEdit([&] {
        typeInto(entry->findChild<QComboBox*>("cmt")->lineEdit(), " سوم");
        click(entry->editButton());
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
        EXPECT_TRUE(dialogs.messages[0].text.contains("cmt"));
        EXPECT_TRUE(dialogs.messages[0].text.contains("ثبت نشد"));
        EXPECT_TRUE(entry->isVisible());
        EXPECT_EQ(in("cmt"), "اول دوم سوم");
    });
    EXPECT_EQ(column(id, "cmt"), "از ايستگاه دوم");
    EXPECT_EQ(column(id, "khoroj"), "06:46");
}

TEST_P(ArbabEntry, PersianDigitsAreStoredAsAsciiDigits) {
    whileNew([&] {
        typeInto(entry->cart_no(), "۱۱۱۱۱۱۱۱۱۱");
        typeInto(entry->barcod(), "٧٧");
        dialogs.answers = {gc::ui::No};
        click(entry->insButton());
    });
    EXPECT_EQ(column(entry->lastVisitId(), "cart_no||'/'||barcod"), "1111111111/77");
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kPrintQuestion});
}

TEST_P(ArbabEntry, ANewVisitTakesTodayWhenTheWindowIsPrepared) {
    clock.set(QDateTime(QDate(2024, 3, 21), QTime(0, 10)));
    whileNew([&] { EXPECT_EQ(in("dat"), "1403/01/02"); });
}

TEST_P(ArbabEntry, TheSnapshotIsTheShownFrameAsABitmap) {
    whileNew([&] {
        entry->findChild<QCheckBox*>("CheckBox_Crosshair")->setChecked(true);
        entry->camera()->click();
        ASSERT_TRUE(entry->camera()->isChecked());
        // Ticked, but no frame has come yet: saved without a picture, and the guard is told.
        typeInto(entry->name()->lineEdit(), "بي تصوير");
        dialogs.answers = {gc::ui::Ok, gc::ui::No};
        click(entry->insButton());
        EXPECT_EQ(dialogs.texts().value(0), ar::kNoFrameMessage);
        EXPECT_EQ(count("arbabrojo_pic"), 0);

        // Frames are handed over only while the window system's loop has been idle.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                QEventLoop idle;
                QTimer::singleShot(20, &idle, &QEventLoop::quit);
                idle.exec();
                return !entry->frameBitmap().isNull();
            },
            5000));
        const QImage shown = entry->frameBitmap().convertToFormat(QImage::Format_RGB888);
        dialogs.answers = {gc::ui::No};
        entry->setText("cart_no", "1");
        click(entry->insButton());
        gc::db::Query& pics = dm->ADOQ_arbabrojo_pic;
        pics.openSql({"select * from arbabrojo_pic"});
        ASSERT_EQ(pics.recordCount(), 1);
        EXPECT_EQ(pics.fieldByName("ext").asString(), ".bmp");
        EXPECT_EQ(pics.fieldByName("cmt").asString(), ar::kCameraPicture);
        const QByteArray bytes = pics.fieldByName("pic").asBytes();
        EXPECT_TRUE(bytes.startsWith("BM"));
        const QImage stored = QImage::fromData(bytes, "BMP");
        EXPECT_EQ(stored.size(), QSize(320, 240));
        EXPECT_EQ(stored.pixel(160, 120), qRgb(255, 0, 0)) << "the cross-hair is kept";
        Q_UNUSED(shown);

        entry->camera()->click();
        EXPECT_FALSE(entry->camera()->isChecked());
        dialogs.answers = {gc::ui::No};
        entry->setText("cart_no", "2");
        click(entry->insButton());
        EXPECT_EQ(count("arbabrojo_pic"), 1) << "no picture without the camera";
    });
}

TEST_P(ArbabEntry, TheCameraStopsWhenTheWindowHides) {
    whileNew([&] {
        entry->camera()->click();
        EXPECT_TRUE(entry->camera()->isChecked());
        EXPECT_EQ(entry->findChild<QComboBox*>("ComboBox1")->currentText(), "Gate camera");
    });
    EXPECT_FALSE(entry->camera()->isChecked());
    EXPECT_EQ(cameras->openDescriptors(), 0);
}

TEST_P(ArbabEntry, ACameraThatCannotStartIsUntickedWithTheReason) {
    gc::capture::SyntheticCamera busy;
    busy.name = QStringLiteral("Busy camera");
    busy.busyError = EBUSY;
    gc::capture::SyntheticKernel busyKernel({busy});
    gc::registers::Tarbabrojo window(*ctx, busyKernel.table());
    window.show();
    window.camera()->click();
    EXPECT_FALSE(window.camera()->isChecked());
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kCameraFailedMessage.arg("Busy camera")});

    gc::capture::SyntheticKernel none(std::vector<gc::capture::SyntheticCamera>{});
    gc::registers::Tarbabrojo bare(*ctx, none.table());
    bare.show();
    dialogs.messages.clear();
    bare.camera()->click();
    EXPECT_FALSE(bare.camera()->isChecked());
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kNoCameraMessage});
}

// The refusal names the field as the guard sees it, on a new visit and on an edit.
TEST_P(ArbabEntry, AValueTooLongForItsColumnIsRefusedByTheFieldsCaption) {
    entry->nation_check()->setChecked(false);
    whileNew([&] {
        entry->setText("name", QString(101, QChar(0x0628)));
        click(entry->insButton());
        EXPECT_EQ(dialogs.texts(), QStringList{gc::db::widthMessage("نام", 100)});
        entry->setText("name", "كوتاه");
        entry->setText("cart_no", QString(71, '1'));
        dialogs.messages.clear();
        click(entry->insButton());
        EXPECT_EQ(dialogs.texts(), QStringList{gc::db::widthMessage("شماره ملي/کارت", 70)});
    });
    EXPECT_EQ(count("arbabrojo"), 0);

    const qint64 id = addVisit({{"cmt", "قبلي"}});
    list->search();
    ASSERT_TRUE(list->query().locate("id", id));
    dialogs.messages.clear();
    whileEdit([&] {
        entry->setText("cmt", QString(151, 'x'));
        click(entry->editButton());
        EXPECT_EQ(dialogs.texts(), QStringList{gc::db::widthMessage("توضيحات", 150)});
    });
    EXPECT_EQ(column(id, "cmt"), "قبلي");
}

TEST_P(ArbabEntry, TheBarcodePictureIsABarcodeThatScansAndFocusesTheField) {
    auto* image = entry->findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->text().isEmpty());
    const QString png = dir.filePath("image1.png");
    const QPixmap picture = image->pixmap();
    ASSERT_TRUE(picture.scaled(picture.size() * 3).save(png));
    QProcess zbar;
    zbar.start("zbarimg", {"-q", "--raw", png});
    ASSERT_TRUE(zbar.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), "1234");
    whileNew([&] {
        click(image);
        EXPECT_TRUE(entry->barcod()->hasFocus());
    });
}

// Without a webcam no picture is made up: the guard is told, the visit is stored alone, and
// a webcam plugged in later is found at the next tick.
TEST_P(ArbabEntry, WithoutACameraTheGuardIsToldAndNoPictureIsStored) {
    cameraPluggedIn = false;
    whileNew([&] {
        entry->camera()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{ar::kNoCameraMessage});
        EXPECT_FALSE(entry->camera()->isChecked());
        EXPECT_EQ(entry->findChild<QComboBox*>("ComboBox1")->count(), 0);
        typeInto(entry->name()->lineEdit(), "بي دوربين");
        dialogs.messages.clear();
        dialogs.answers = {gc::ui::No};
        click(entry->insButton());
        EXPECT_EQ(dialogs.texts(), QStringList{ar::kPrintQuestion});
        EXPECT_TRUE(entry->frameBitmap().isNull());

        cameraPluggedIn = true;
        entry->camera()->click();
        EXPECT_TRUE(entry->camera()->isChecked());
        EXPECT_EQ(entry->findChild<QComboBox*>("ComboBox1")->currentText(), "Gate camera");
    });
    EXPECT_EQ(count("arbabrojo"), 1);
    EXPECT_EQ(count("arbabrojo_pic"), 0);
}

// A new installation: the blank cards are numbered 1, 2, 3... like the visits.
TEST_P(ArbabEntry, ACardAndACardlessVisitNeverShareABarcode) {
    const auto registerVisit = [&](const QString& name, const QString& barcode) {
        whileNew([&] {
            typeInto(entry->name()->lineEdit(), name);
            typeInto(entry->barcod(), barcode);
            dialogs.answers = {gc::ui::No};
            click(entry->insButton());
        });
        return entry->lastVisitId();
    };
    const qint64 withCard = registerVisit("الف", "2");
    const qint64 cardless = registerVisit("ب", "");
    const QString own = "0" + QString::number(cardless);
    EXPECT_EQ(column(cardless, "barcod"), own);
    // Someone typed the next cardless barcode by hand: the next one steps aside.
    const qint64 typed = registerVisit("پ", "0" + QString::number(cardless + 2));
    const qint64 next = registerVisit("ت", "");
    ASSERT_EQ(next, cardless + 2);
    EXPECT_EQ(column(next, "barcod"), "00" + QString::number(next));
    EXPECT_EQ(column(typed, "barcod"), "0" + QString::number(next));

    const auto scan = [&](const QString& barcode) {
        dialogs.messages.clear();
        list->CheckBox(7)->setChecked(true);
        list->barcod()->clear();
        gctest::typeKeys(list->barcod(), barcode);
        QTest::keyClick(list->barcod(), Qt::Key_Return);
        return dialogs.texts();
    };
    EXPECT_EQ(scan("2"), QStringList{ar::kExitRecorded + "الف"});
    EXPECT_EQ(column(withCard, "khoroj"), "13:05");
    EXPECT_EQ(column(cardless, "'['||khoroj||']'"), "[  :  ]") << "the cardless one is inside";
    EXPECT_EQ(scan(own), QStringList{ar::kExitRecorded + "ب"});
    EXPECT_EQ(column(cardless, "khoroj"), "13:05");
}

TEST_P(ArbabEntry, AnEditCannotGiveAnOpenVisitABarcodeAnotherOpenVisitHolds) {
    addVisit({{"name", "داخل"}, {"barcod", "55"}});
    const qint64 edited = addVisit({{"name", "ويرايشي"}, {"barcod", "56"}});
    const auto editBarcode = [&](const QString& barcode, bool leave) {
        list->search();
        EXPECT_TRUE(list->query().locate("id", edited));
        dialogs.messages.clear();
        whileEdit([&] {
            entry->barcod()->setText(barcode);
            if (leave)
                clickLabel(entry.get(), "ساعت خروج");
            click(entry->editButton());
            EXPECT_EQ(entry->isVisible(), dialogs.texts() == QStringList{ar::kBarcodeInUseMessage});
        });
        return column(edited, "barcod");
    };
    EXPECT_EQ(editBarcode("55", false), "56") << "refused, nothing written";
    EXPECT_EQ(dialogs.texts(), QStringList{ar::kBarcodeInUseMessage});
    EXPECT_EQ(editBarcode("57", false), "57");
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_EQ(editBarcode("55", true), "55") << "a visitor who left is scanned no more";
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ArbabEntry,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), engineName);
