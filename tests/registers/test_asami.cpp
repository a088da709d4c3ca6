#include "core/national_code.h"
#include "platform/db/sql_text.h"
#include "platform/ui/widgets.h"
#include "register_harness.h"
#include "registers/asami/asami.h"
#include "registers/asami/asami_page.h"
#include "registers/asami/core/asami_pictures.h"
#include "support/clicking.h"
#include "support/typing.h"
#include "windows/shell/page.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSqlQuery>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTest>

using gc::db::quoted;
using namespace gctest;
namespace asami = gc::registers::asami;

namespace {

const QString kSurnameQuestion =
    QStringLiteral("اين نام خانوادگي تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kCardQuestion =
    QStringLiteral("اين شماره كارت تكراري است، آيا مي خواهيد ادامه دهيد؟");

QByteArray picture(Qt::GlobalColor colour, const char* format = "JPEG") {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Asami : public RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        w = std::make_unique<gc::registers::Tasami>(*ctx);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override { w.reset(); }

    QString addPerson(const QString& surname, const QString& card, const QString& name = {}) {
        exec("insert into asami (surname, name, card_no, uniq_code, nation) values (" +
             quoted(surname) + ", " + quoted(name) + ", " + quoted(card) + ", '7', '')");
        return scalar("select max(id) from asami");
    }
    QString addPicture(const QString& personId, const QByteArray& bytes,
                       const QString& ext = ".jpg") {
        gc::db::Query& q = dm->ADOQuery1;
        q.close();
        q.openSql({"select * from per_pic where id=-1"});
        q.append();
        q.fieldByName("per_id").setAsString(personId);
        q.fieldByName("ext").setAsString(ext);
        q.fieldByName("pic").setBytes(bytes);
        q.post();
        return scalar("select max(id) from per_pic");
    }
    // A click on the grid's row showing `surname`, as the guard picks a person.
    void clickRow(const QString& surname) {
        EXPECT_TRUE(gctest::clickCellShowing(w->grid(), surname))
            << "no row " << surname.toStdString();
    }
    void click(QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    QColor shownColour() const {
        const QPixmap p = w->Image1->pixmap();
        return p.isNull() ? QColor() : p.toImage().pixelColor(8, 8);
    }

    std::unique_ptr<gc::registers::Tasami> w;
};

TEST_P(Asami, SearchFiltersCountAndTheMainWindowsRights) {
    addPerson("رضايي", "1001");
    addPerson("رضوي", "2002");
    addPerson("كريمي", "3003");
    gc::registers::AsamiPage page(*w);
    const gc::PageCommands commands = page.commands();
    EXPECT_EQ(commands.insert, QList<QObject*>{w->ins_btn});
    EXPECT_EQ(commands.edit, QList<QObject*>{w->popup(0)});
    EXPECT_EQ(commands.remove, QList<QObject*>{w->popup(1)});
    EXPECT_EQ(w->popup(0)->text(), "ويرايش");
    EXPECT_EQ(w->popup(1)->text(), "حذف اطلاعات");
    w->surname1->setText("left over");
    w->prepare();
    EXPECT_EQ(w->countLabel()->text(), "3");
    EXPECT_TRUE(w->surname1->text().isEmpty());
    EXPECT_FALSE(w->edit_btn->isEnabled());

    // The filter lists hold the directory's values when the window is shown.
    w->hide();
    w->show();
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(w->card_no->count(), 3);
    EXPECT_FALSE(w->surname->isEnabled());
    QStyleOptionButton option;
    option.initFrom(w->CheckBox(1));
    QTest::mouseClick(w->CheckBox(1), Qt::LeftButton, {},
                      w->CheckBox(1)
                          ->style()
                          ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, w->CheckBox(1))
                          .center());
    ASSERT_TRUE(w->surname->isEnabled());
    EXPECT_TRUE(w->surname->hasFocus());
    typeKeys(w->surname->lineEdit(), "ض");
    QTest::keyClick(w->surname->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->countLabel()->text(), "2");
    EXPECT_EQ(w->grid()->model()->rowCount(), 2);
}

TEST_P(Asami, ManyNamesakesAreEachListedOnce) {
    QStringList values;
    for (int i = 0; i < 700; ++i)
        values << QStringLiteral("(%1, %2)")
                      .arg(quoted(i % 3 ? "رضايي" : "احمدي"), quoted(QString::number(i)));
    exec("insert into asami (surname, card_no) values " + values.join(','));
    w->prepare();
    EXPECT_EQ(w->countLabel()->text(), "700");
    gc::db::Query& q = dm->ADOQ_asami;
    QSet<QString> cards;
    QStringList surnames;
    for (q.first(); !q.eof(); q.next()) {
        cards.insert(q.fieldByName("card_no").asString());
        surnames << q.fieldByName("surname").asString();
    }
    EXPECT_EQ(cards.size(), 700);
    EXPECT_EQ(surnames.size(), 700);
    EXPECT_EQ(surnames.front(), "احمدي");
    EXPECT_EQ(surnames.back(), "رضايي");
}

TEST_P(Asami, SaveEditWritesThePersonLoadedWhateverRowIsCurrent) {
    addPerson("الف", "1001");
    addPerson("ب", "2002");
    w->prepare();
    clickRow("الف");
    w->popup(0)->trigger();
    EXPECT_EQ(w->surname1->text(), "الف");
    EXPECT_TRUE(w->edit_btn->isEnabled());
    EXPECT_FALSE(w->ins_btn->isEnabled());
    clickRow("ب");
    w->mobile1->setText("0912");
    click(w->edit_btn);
    EXPECT_EQ(scalar("select surname || '|' || mobile from asami where card_no='1001'"),
              "الف|0912");
    EXPECT_EQ(scalar("select coalesce(mobile, '') from asami where card_no='2002'"), "");

    // Loaded, then searched away from the list: still the same person.
    w->CheckBox(2)->setChecked(true);
    w->card_no->setEditText("2002");
    w->search();
    w->mobile1->setText("0935");
    click(w->edit_btn);
    EXPECT_EQ(scalar("select mobile from asami where card_no='1001'"), "0935");
    EXPECT_EQ(scalar("select coalesce(mobile, '') from asami where card_no='2002'"), "");

    // Deleted at another workstation meanwhile: said so, nothing written.
    exec("delete from asami where card_no='1001'");
    dialogs.messages.clear();
    w->mobile1->setText("0999");
    click(w->edit_btn);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
    EXPECT_EQ(scalar("select count(*) from asami where mobile='0999'"), "0");
}

TEST_P(Asami, AStaleEditKeepsAnotherWorkstationsSaveAndRefusesARealConflict) {
    addPerson("الف", "1001");
    w->prepare();
    clickRow("الف");
    w->popup(0)->trigger();
    const qint64 id = scalar("select id from asami where card_no='1001'").toLongLong();
    otherWorkstationSaves("asami", id, {{"vahed_tabe", "مالي"}});
    w->mobile1->setText("0912");
    click(w->edit_btn);
    EXPECT_EQ(
        scalar("select mobile || '|' || vahed_tabe from asami where id=" + QString::number(id)),
        "0912|مالي");

    otherWorkstationSaves("asami", id, {{"mobile", "0911"}});
    dialogs.messages.clear();
    w->mobile1->setText("0935");
    click(w->edit_btn);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("«mobile»"));
    EXPECT_EQ(w->mobile1->text(), "0935");
    EXPECT_EQ(scalar("select mobile from asami where id=" + QString::number(id)), "0911");

    // Searched away from the list, the person is read again: the same check holds.
    w->CheckBox(2)->setChecked(true);
    w->card_no->setEditText("none");
    w->search();
    click(w->edit_btn);
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(scalar("select mobile from asami where id=" + QString::number(id)), "0911");
}

// Copied into the fields again, the person is what the guard sees: a field another
// workstation changed is then edited like any other.
TEST_P(Asami, APersonCopiedAgainAfterASaveIsEditedFromWhatItShows) {
    addPerson("الف", "1001");
    w->prepare();
    clickRow("الف");
    w->popup(0)->trigger();
    const QString id = scalar("select id from asami where card_no='1001'");
    otherWorkstationSaves("asami", id.toLongLong(), {{"vahed_tabe", "مالي"}});
    w->mobile1->setText("0912");
    click(w->edit_btn);
    dialogs.messages.clear();
    w->vahed_tabe->setText("فني");
    click(w->edit_btn);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("«vahed_tabe»"));
    EXPECT_EQ(scalar("select mobile || '|' || vahed_tabe from asami where id=" + id), "0912|مالي");

    dialogs.messages.clear();
    w->popup(0)->trigger();
    EXPECT_EQ(w->vahed_tabe->text(), "مالي");
    w->vahed_tabe->setText("فني");
    click(w->edit_btn);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().value(0).toStdString();
    EXPECT_EQ(scalar("select mobile || '|' || vahed_tabe from asami where id=" + id), "0912|فني");
}

// The Persian keyboard types the Persian yeh, stored as the Arabic one: the window stays
// open, and each further edit of that field is stored, not taken for another
// workstation's.
TEST_P(Asami, EachEditOfAFieldTypedOnThePersianKeyboardIsStored) {
    addPerson("الف", "1001");
    w->prepare();
    clickRow("الف");
    w->popup(0)->trigger();
    for (const char* typed : {"کریمی", "رضایی", "کریمی"}) {
        const QString text = QString::fromUtf8(typed);
        w->surname1->clear();
        w->surname1->setFocus();
        gctest::typeKeys(w->surname1, text);
        click(w->edit_btn);
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join("\n").toStdString();
        EXPECT_EQ(scalar("select surname from asami"),
                  QString(text).replace(QChar(0x06CC), QChar(0x064A)));
    }
}

TEST_P(Asami, NationalCodeTakesDigitsOnlyAndIsChecked) {
    const auto leaveWith = [&](const QString& typed) {
        w->nation->clear();
        w->nation->setFocus();
        typeKeys(w->nation, typed);
        dialogs.messages.clear();
        w->surname1->setFocus();
        return dialogs.texts();
    };
    EXPECT_EQ(leaveWith("1111111111"), QStringList{});
    EXPECT_EQ(leaveWith("1111111112"), QStringList{gc::kNationalCodeInvalidMessage});
    EXPECT_TRUE(w->surname1->hasFocus());
    EXPECT_EQ(leaveWith("0000000401"), QStringList{});
    EXPECT_EQ(leaveWith("۱۱۱۱۱۱۱۱۱۱"), QStringList{});
    EXPECT_EQ(w->nation->text(), "1111111111");
    EXPECT_EQ(leaveWith("12ab3"), QStringList{gc::kNationalCodeLengthMessage});
    EXPECT_EQ(w->nation->text(), "123");
    EXPECT_TRUE(w->nation->hasFocus());
    EXPECT_EQ(leaveWith(""), QStringList{});

    w->nation->clear();
    QApplication::clipboard()->setText("12x4567890");
    w->nation->paste();
    EXPECT_EQ(w->nation->text(), "");
    QApplication::clipboard()->setText("٠٠٠٠٠٠٠٤٠١");
    w->nation->paste();
    EXPECT_EQ(w->nation->text(), "0000000401");

    w->surname1->setText("ملي");
    click(w->ins_btn);
    EXPECT_EQ(scalar("select nation from asami where surname='ملي'"), "0000000401");
}

TEST_P(Asami, InsertAsksAboutDuplicatesAndDecliningInsertsNothing) {
    addPerson("رضايي", "1001");
    addPerson("كريمي", "2002");
    w->prepare();
    w->surname1->setText("رضايي");
    w->card_no1->setText("2002");
    dialogs.answers = {gc::ui::No};
    click(w->ins_btn);
    EXPECT_EQ(dialogs.texts(), QStringList{kSurnameQuestion});
    EXPECT_EQ(scalar("select count(*) from asami"), "2");
    // The card's namesakes are shown.
    EXPECT_EQ(w->grid()->model()->rowCount(), 1);

    dialogs.messages.clear();
    dialogs.answers = {gc::ui::Yes, gc::ui::Cancel};
    click(w->ins_btn);
    EXPECT_EQ(dialogs.texts(), (QStringList{kSurnameQuestion, kCardQuestion}));
    EXPECT_EQ(scalar("select count(*) from asami"), "2");

    dialogs.messages.clear();
    w->name->setText("علي");
    w->vahed_tabe->setText("مالي");
    click(w->ins_btn);
    EXPECT_EQ(dialogs.texts(), (QStringList{kSurnameQuestion, kCardQuestion, "ثبت شد"}));
    EXPECT_EQ(scalar("select count(*) from asami"), "3");
    EXPECT_EQ(scalar("select name || '|' || vahed_tabe from asami where card_no='2002' and "
                     "surname='رضايي'"),
              "علي|مالي");
}

TEST_P(Asami, ImportMovesOnlyPicturesAndAFileThatStaysIsNotTheRegistrationError) {
    addPerson("رضايي", "1001");
    w->prepare();
    clickRow("رضايي");
    const QString jpg = dir.filePath("عکس.jpg");
    writeFile(jpg, picture(Qt::red));
    dialogs.files = {jpg};
    w->popup(2)->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{"ثبت شد"});
    EXPECT_FALSE(QFile::exists(jpg));
    EXPECT_EQ(scalar("select count(*) from per_pic"), "1");
    EXPECT_EQ(scalar("select ext from per_pic"), ".jpg");
    EXPECT_GT(shownColour().red(), 200);

    // Not a picture: refused, kept.
    const QString text = dir.filePath("note.jpg");
    writeFile(text, "not a picture");
    dialogs.messages.clear();
    dialogs.files = {text};
    w->popup(2)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
    EXPECT_TRUE(QFile::exists(text));
    EXPECT_EQ(scalar("select count(*) from per_pic"), "1");

    // A read-only file: stored once, and the message says the file stayed.
    const QString locked = dir.filePath("locked.png");
    writeFile(locked, picture(Qt::blue, "PNG"));
    QFile::setPermissions(locked, QFile::ReadOwner);
    w->setSourceRemover([](const QString&, QString* error) {
        *error = QStringLiteral("Permission denied");
        return false;
    });
    dialogs.messages.clear();
    dialogs.files = {locked};
    w->popup(2)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Warning);
    EXPECT_TRUE(dialogs.messages[0].text.contains("حذف نشد"));
    EXPECT_FALSE(dialogs.messages[0].text.contains("خطايي در ثبت"));
    EXPECT_TRUE(QFile::exists(locked));
    EXPECT_EQ(scalar("select count(*) from per_pic where ext='.png'"), "1");

    // Cancelled dialog: nothing.
    dialogs.messages.clear();
    w->popup(2)->trigger();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_P(Asami, TheFirstPictureByIdIsShownAndViewedThroughAFileOfItsOwn) {
    const QString id = addPerson("رضايي", "1001");
    const QString red = addPicture(id, picture(Qt::red));
    addPicture(id, picture(Qt::blue));
    // Rewriting the first row moves it behind the second in a server's table.
    exec("update per_pic set ext='.jpg' where id=" + red);
    w->prepare();
    clickRow("رضايي");
    EXPECT_GT(shownColour().red(), 200);
    EXPECT_LT(shownColour().blue(), 60);

    w->popup(3)->trigger();
    w->popup(3)->trigger();
    ASSERT_EQ(opener.opened.size(), 2);
    EXPECT_NE(opener.opened[0], opener.opened[1]);
    EXPECT_TRUE(opener.opened[0].endsWith(".jpg"));
    EXPECT_EQ(readAll(opener.opened[0]), picture(Qt::red));

    // A click on the picture saves it under the chosen name with its own extension.
    dialogs.files = {dir.filePath("saved")};
    QTest::mouseClick(w->Image1, Qt::LeftButton, {}, w->Image1->rect().center());
    EXPECT_EQ(readAll(dir.filePath("saved.jpg")), picture(Qt::red));

    // Stored bytes that are no picture are not handed to the viewer.
    exec("delete from per_pic");
    addPicture(id, "MZ not a picture", ".exe");
    clickRow("رضايي");
    dialogs.messages.clear();
    w->popup(3)->trigger();
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_EQ(dialogs.messages.size(), 1);

    // Deleting only the pictures leaves the person.
    dialogs.messages.clear();
    w->popup(4)->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{"تصوير پرسنلي حذف شد"});
    EXPECT_EQ(scalar("select count(*) from per_pic"), "0");
    EXPECT_EQ(scalar("select count(*) from asami"), "1");
}

TEST_P(Asami, DeleteRemovesPersonAndPicturesTogetherOrNeither) {
    const QString id = addPerson("رضايي", "1001");
    addPicture(id, picture(Qt::red));
    addPicture(id, picture(Qt::blue));
    const QString other = addPerson("كريمي", "2002");
    addPicture(other, picture(Qt::green));
    QSqlQuery raw(dm->ADOConnection1.database());
    if (GetParam() == Backend::SQLite) {
        ASSERT_TRUE(raw.exec("create trigger gc_block before delete on asami begin select "
                             "raise(abort, 'blocked'); end"));
    } else {
        ASSERT_TRUE(raw.exec("create function gc_block() returns trigger language plpgsql as "
                             "$$ begin raise exception 'blocked'; end $$"));
        ASSERT_TRUE(raw.exec("create trigger gc_block before delete on asami for each row "
                             "execute function gc_block()"));
    }
    w->prepare();
    clickRow("رضايي");
    w->popup(1)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
    EXPECT_EQ(scalar("select count(*) from asami"), "2");
    EXPECT_EQ(scalar("select count(*) from per_pic where per_id=" + id), "2");

    ASSERT_TRUE(raw.exec(GetParam() == Backend::SQLite ? "drop trigger gc_block"
                                                       : "drop trigger gc_block on asami"));
    dialogs.messages.clear();
    clickRow("رضايي");
    w->popup(1)->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(w->surname1->text(), "رضايي");
    EXPECT_EQ(scalar("select count(*) from asami"), "1");
    EXPECT_EQ(scalar("select count(*) from per_pic"), "1");
    EXPECT_EQ(scalar("select count(*) from per_pic where per_id=" + other), "1");
}

TEST_P(Asami, SaveAllWritesEachPictureOnceInsideTheChosenFolder) {
    const QString two = addPerson("رضايي", "1001", "علي");
    addPicture(two, picture(Qt::red));
    addPicture(two, picture(Qt::blue, "PNG"), ".png");
    addPerson("بي عکس", "2002");
    const QString sneaky = addPerson("../x", "3003", "a/b");
    addPicture(sneaky, picture(Qt::green));
    w->prepare();

    // Cancel writes nothing and says nothing.
    w->popup(6)->trigger();
    EXPECT_TRUE(dialogs.messages.isEmpty());

    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    dialogs.files = {out + "/Personel"};
    w->popup(6)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, "3 فايل تصوير ذخيره شد\n1 نفر تصوير ندارند");
    QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files,
              (QStringList{"Personel1رضايي_علي_7_1001_.jpg", "Personel2رضايي_علي_7_1001_.png",
                           "Personel4.._x_a_b_7_3003_.jpg"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter("x_"), QStringList{});
    EXPECT_EQ(readAll(out + "/" + files[0]), picture(Qt::red));
    EXPECT_EQ(readAll(out + "/" + files[1]), picture(Qt::blue, "PNG"));
    EXPECT_EQ(readAll(out + "/" + files[2]), picture(Qt::green));

    // Again into the same names: nothing is overwritten. The other entry is the same routine.
    writeFile(out + "/" + files[0], "mine");
    dialogs.messages.clear();
    dialogs.files = {out + "/Personel"};
    w->popup(7)->trigger();
    EXPECT_EQ(dialogs.messages[0].text,
              "0 فايل تصوير ذخيره شد\n1 نفر تصوير ندارند\n3 فايل از قبل وجود داشت و رونويسي نشد");
    EXPECT_EQ(readAll(out + "/" + files[0]), "mine");

    // The filters narrow it as they narrow the list.
    w->CheckBox(2)->setChecked(true);
    w->card_no->setEditText("3003");
    dialogs.messages.clear();
    dialogs.files = {out + "/Sql"};
    w->popup(7)->trigger();
    EXPECT_EQ(dialogs.messages[0].text, "1 فايل تصوير ذخيره شد");
    EXPECT_EQ(QDir(out).entryList({"Sql*"}, QDir::Files), QStringList{"Sql1.._x_a_b_7_3003_.jpg"});
}

INSTANTIATE_TEST_SUITE_P(Engines, Asami, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         engineName);

TEST(AsamiNames, CleaningKeepsEveryNameInsideTheFolder) {
    EXPECT_EQ(asami::CleanNamePart("../..\\x:y"), ".._.._x_y");
    EXPECT_EQ(asami::CleanNamePart(QString("a") + QChar(0) + "b\n"), "a_b_");
    EXPECT_EQ(asami::SavedPictureName("D:/p/Personel", 3, {"A", "B", "7", "9"}, ".jpg"),
              "D:/p/Personel3A_B_7_9_.jpg");
}

} // namespace
