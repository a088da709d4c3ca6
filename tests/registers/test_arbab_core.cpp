#include "arbab_harness.h"
#include "khodro_rows.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/visit_pictures.h"
#include "registers/arbab/core/visit_register.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

using namespace gctest::arbab;
using gctest::Backend;
namespace ar = gc::registers::arbab;

namespace {

QByteArray pngBytes(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

ar::VisitColumns visit(const QString& name, const QString& barcode) {
    ar::VisitColumns v;
    for (const QString& c : ar::visitColumnNames())
        v.emplace_back(c, QString());
    for (auto& [column, value] : v) {
        if (column == "name")
            value = name;
        else if (column == "barcod")
            value = barcode;
        else if (column == "dat")
            value = kToday;
        else if (column == "khoroj")
            value = ar::kInside;
    }
    return v;
}

class ArbabCore : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        dm->ADOQ_arbabrojo.openSql({"select * from arbabrojo"});
    }
    ar::RegisterResult registerVisit(const QString& name, const QString& barcode,
                                     std::optional<QByteArray> snapshot = std::nullopt) {
        return ar::RegisterVisit(dm->ADOQ_arbabrojo, dm->ADOQuery1, visit(name, barcode), snapshot);
    }
    // Makes the engine refuse a statement on `table`, as a failure between two steps would.
    void refuse(const QString& table, const QString& event) {
        if (GetParam() == Backend::SQLite) {
            exec("create trigger refuse before " + event + " on " + table +
                 " begin select raise(abort, 'refused'); end");
            return;
        }
        exec("create function refuse() returns trigger language plpgsql as "
             "$$ begin raise exception 'refused'; end $$");
        exec("create trigger refuse before " + event + " on " + table +
             " for each row execute function refuse()");
    }
};

} // namespace

TEST_P(ArbabCore, AnEmptyBarcodeBecomesTheVisitsOwnNumberAndIsNeverInUse) {
    addVisit({{"barcod", ""}}); // an odd stored row with no barcode, still inside
    const ar::RegisterResult first = registerVisit("رضايي", "");
    ASSERT_EQ(first.status, ar::RegisterStatus::Saved) << first.error.toStdString();
    // Behind a zero, which no printed card number has.
    const QString own = "0" + QString::number(first.id);
    EXPECT_EQ(column(first.id, "barcod"), own);
    EXPECT_EQ(dm->ADOQ_arbabrojo.fieldByName("barcod").asString(), own)
        << "the list shows the stored barcode at once";
    EXPECT_EQ(count("arbabrojo_pic"), 0);
}

TEST_P(ArbabCore, ABarcodeInUseIsRefusedUntilItsVisitorLeaves) {
    const qint64 inside = addVisit({{"barcod", "777"}});
    EXPECT_EQ(registerVisit("رضايي", "777").status, ar::RegisterStatus::BarcodeInUse);
    EXPECT_EQ(count("arbabrojo"), 1);
    exec("update arbabrojo set khoroj='10:00' where id=" + QString::number(inside));
    const ar::RegisterResult again = registerVisit("رضايي", "777");
    ASSERT_EQ(again.status, ar::RegisterStatus::Saved);
    EXPECT_EQ(column(again.id, "barcod"), "777");
}

TEST_P(ArbabCore, ASnapshotIsStoredWithItsVisit) {
    const QByteArray bytes = pngBytes(8);
    const ar::RegisterResult r = registerVisit("رضايي", "55", bytes);
    ASSERT_EQ(r.status, ar::RegisterStatus::Saved);
    EXPECT_EQ(scalar("select arbabrojo_id||'|'||cmt||'|'||ext from arbabrojo_pic"),
              QString::number(r.id) + "|" + ar::kCameraPicture + "|.bmp");
}

TEST_P(ArbabCore, AFailureAfterTheVisitRowLeavesNothing) {
    // Between the visit row and its barcode update.
    refuse("arbabrojo", "update");
    const ar::RegisterResult r = registerVisit("رضايي", "");
    EXPECT_EQ(r.status, ar::RegisterStatus::Failed);
    EXPECT_TRUE(r.error.contains("refused")) << r.error.toStdString();
    EXPECT_EQ(count("arbabrojo"), 0);
    EXPECT_EQ(dm->ADOQ_arbabrojo.recordCount(), 0) << "the list drops the unsaved row";
}

TEST_P(ArbabCore, AFailedSnapshotRowTakesTheVisitWithIt) {
    refuse("arbabrojo_pic", "insert");
    EXPECT_EQ(registerVisit("رضايي", "12", pngBytes(4)).status, ar::RegisterStatus::Failed);
    EXPECT_EQ(count("arbabrojo"), 0);
    EXPECT_EQ(count("arbabrojo_pic"), 0);
    // The connection is usable again afterwards.
    exec("drop trigger refuse" + QString(GetParam() == Backend::SQLite ? "" : " on arbabrojo_pic"));
    EXPECT_EQ(registerVisit("رضايي", "12", pngBytes(4)).status, ar::RegisterStatus::Saved);
    EXPECT_EQ(count("arbabrojo_pic"), 1);
}

TEST_P(ArbabCore, AnotherWorkstationCannotWriteVisitsWhileARegisterHoldsTheLock) {
    // Another workstation's insert, by the engine's own client, giving up after 200 ms.
    const auto otherInsert = [&] {
        const QString cs = dm->ADOConnection1.connectionString();
        const QString insert = "insert into arbabrojo (name) values ('other')";
        QProcess p;
        if (GetParam() == Backend::SQLite) {
            p.start("sqlite3", {"-cmd", ".timeout 200", gctest::khodro::sqliteFile(cs), insert});
        } else {
            const QStringList host = gctest::postgresDataSource().split(',');
            const QString db = cs.section("Initial Catalog=", 1).section(';', 0, 0);
            p.start("psql", {"-h", host.value(0), "-p", host.value(1), "-U", "gc", "-d", db, "-v",
                             "ON_ERROR_STOP=1", "-c", "set lock_timeout = 200", "-c", insert});
        }
        p.waitForFinished(30000);
        return p.exitCode() == 0;
    };
    dm->ADOConnection1.beginWriteTransaction("arbabrojo");
    EXPECT_FALSE(otherInsert());
    dm->ADOConnection1.rollback();
    EXPECT_TRUE(otherInsert());
    EXPECT_EQ(count("arbabrojo"), 1);
}

TEST_P(ArbabCore, TheSlipHasOneRowPerVisitWhenTwoRoomsShareATitle) {
    addRoom("مالي", "2", "21");
    addRoom("مالي", "3", "31");
    const qint64 id = addVisit({{"maghsad", "مالي"}});
    dm->ADOQ_resid.openSql({ar::slipSql(id)});
    EXPECT_EQ(dm->ADOQ_resid.recordCount(), 1);
    EXPECT_EQ(dm->ADOQ_resid.fieldByName("tabaghe2").asString(), "2");
    EXPECT_EQ(dm->ADOQ_resid.fieldByName("id1").asInteger(), id);
}

TEST_P(ArbabCore, CountsFollowOnlyTheDatesAndFallingCount) {
    addVisit({{"maghsad", "مالي"}, {"name", "الف"}});
    addVisit({{"maghsad", "اداري"}, {"name", "الف"}});
    addVisit({{"maghsad", "اداري"}, {"name", "ب"}, {"gender", "زن"}});
    addVisit({{"maghsad", "مالي"}, {"dat", kYesterday}});
    addVisit({{"maghsad", "مالي"}, {"dat", kYesterday}});
    const auto rows = [&](bool byName, std::optional<ar::DateRange> dates) {
        dm->ADOQuery1.openSql(ar::countsSql(byName, dates));
        QStringList out;
        for (dm->ADOQuery1.first(); !dm->ADOQuery1.eof(); dm->ADOQuery1.next())
            out << dm->ADOQuery1.field(1).asString() + "=" +
                       dm->ADOQuery1.fieldByName("c").asString();
        return out;
    };
    EXPECT_EQ(rows(false, std::nullopt), (QStringList{"مالي=3", "اداري=2"}));
    EXPECT_EQ(rows(false, ar::DateRange{kToday, kToday}), (QStringList{"اداري=2", "مالي=1"}));
    EXPECT_EQ(rows(true, ar::DateRange{kToday, kToday}), (QStringList{"الف=2", "ب=1"}));
}

TEST_P(ArbabCore, TheBarcodeFilterFindsOnlyTheLatestDaysOpenVisit) {
    const auto search = [&](const QString& barcode, bool today) {
        std::vector<gc::registers::FilterInput> in(8);
        in[ar::Barcode] = {true, {barcode}};
        in[ar::Dates] = {today, {kToday, kToday}};
        in[ar::Gender] = {true, {"هر دو"}, 2};
        const auto sql = gc::registers::buildSearch(ar::listSearch(), in);
        dm->ADOQuery1.openSql(sql.select);
        QList<qint64> ids;
        for (dm->ADOQuery1.first(); !dm->ADOQuery1.eof(); dm->ADOQuery1.next())
            ids << dm->ADOQuery1.fieldByName("id").asInteger();
        return ids;
    };
    const qint64 older = addVisit({{"barcod", "9"}, {"dat", kYesterday}});
    EXPECT_EQ(search("9", false), QList<qint64>{older});
    EXPECT_TRUE(search("9", true).isEmpty()) << "used yesterday, not found under today";
    const qint64 left = addVisit({{"barcod", "9"}, {"khoroj", "11:00"}});
    EXPECT_TRUE(search("9", false).isEmpty()) << "the latest use already left";
    Q_UNUSED(left);
}

TEST_P(ArbabCore, PicturesToFilesStayInTheFolderAndNeverOverwrite) {
    QTemporaryDir out;
    const QByteArray png = pngBytes(6);
    const qint64 slash = addVisit({{"name", "a/b"}, {"vorod", "08:30"}});
    const qint64 plain = addVisit({{"name", "احمدي"}, {"vorod", "09:15"}});
    addVisit({{"name", "بي تصوير"}}); // a visit without a picture
    gc::db::Query& pics = dm->ADOQ_arbabrojo_pic;
    pics.openSql({"select * from arbabrojo_pic"});
    const auto addPicture = [&](qint64 visitId, const QString& ext, const QByteArray& bytes) {
        pics.append();
        pics.fieldByName("arbabrojo_id").setAsInteger(visitId);
        pics.fieldByName("ext").setAsString(ext);
        pics.fieldByName("pic").setBytes(bytes);
        pics.post();
    };
    addPicture(slash, ".png", png);
    addPicture(slash, "/../x", png);
    addPicture(plain, ".png", png);
    addPicture(plain, ".png", "not a picture");

    // An existing file of the same name stays as it was.
    QFile existing(out.filePath("Z3احمدي_1403_01_01_09_15.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();

    const ar::PictureFiles r =
        ar::WritePictureFiles(dm->ADOConnection1, out.path(), "Z", ar::DateRange{kToday, kToday});
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.written, 1);
    EXPECT_EQ(r.skipped, 4) << "a bad extension, a file that exists, a non-picture, no picture";
    EXPECT_EQ(r.failed, 0);
    QStringList files = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"Z1a_b_1403_01_01_08_30.png", "Z3احمدي_1403_01_01_09_15.png"}));
    QFile kept(out.filePath("Z3احمدي_1403_01_01_09_15.png"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep");
    QFile written(out.filePath("Z1a_b_1403_01_01_08_30.png"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), png);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

TEST(ArbabFileNames, EveryPartIsCleanedAndTheNamingKept) {
    EXPECT_EQ(ar::pictureFileName("../up", 3, "x\\y", "1403/01/02", "07:05", ".jpg"),
              ".._up3x_y_1403_01_02_07_05.jpg");
    EXPECT_EQ(ar::pictureFileName("Z", 1, "نام", "1403/12/29", "  :  ", ".bmp"),
              "Z1نام_1403_12_29_  _  .bmp");
}

INSTANTIATE_TEST_SUITE_P(Engines, ArbabCore,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), engineName);
