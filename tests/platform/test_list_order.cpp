// Lists in Persian alphabetical order, exact on every kind of sort key, at any depth.
#include "platform/db/collation.h"
#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/db/result_pages.h"
#include "support/dm_fixture.h"

#include <QSet>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace gc::db;

namespace {

// The alphabet as a Persian user expects it, one word per letter, then words whose order
// turns on a later letter and on the Arabic forms of kaf and yeh.
const QStringList kAlphabet = QString::fromUtf8("آ ا ب پ ت ث ج چ ح خ د ذ ر ز ژ س ش ص ض ط ظ ع غ ف "
                                                "ق ک گ ل م ن و ه ی")
                                  .split(' ');

QStringList expectedWords() {
    QStringList words;
    for (const QString& letter : kAlphabet)
        words << letter + QString::fromUtf8("ار");
    return words;
}

int compare(const QString& a, const QString& b) {
    return comparePersian(a.toUtf8(), b.toUtf8());
}

TEST(PersianCollation, FollowsTheAlphabetWithBothKafsAndYehsAsOneLetter) {
    const QStringList words = expectedWords();
    for (qsizetype i = 1; i < words.size(); ++i)
        EXPECT_LT(compare(words[i - 1], words[i]), 0) << words[i].toStdString();
    const QString kaf = QString::fromUtf8("ك");
    const QString keheh = QString::fromUtf8("ک");
    // Letter by letter first: the form decides only between texts otherwise equal.
    EXPECT_LT(compare(kaf + "ب", keheh + "ت"), 0);
    EXPECT_LT(compare(keheh + "ب", kaf + "ت"), 0);
    EXPECT_LT(compare(keheh + "ب", kaf + "ب"), 0);
    EXPECT_LT(compare(QString::fromUtf8("يب"), QString::fromUtf8("یت")), 0);
    EXPECT_EQ(compare("x", "x"), 0);
    EXPECT_LT(compare("1403/01/02", "1403/01/10"), 0);
    EXPECT_LT(compare("    /  /  ", "1403/01/02"), 0);
    EXPECT_LT(compare(QString::fromUtf8("لپ تاپ"), QString::fromUtf8("لپتاپ")), 0);
}

class ListOrder : public gctest::DmTest {
  protected:
    // Goods named after the alphabet, shuffled, each name `copies` times.
    void fillWords(int copies) {
        QStringList words = expectedWords();
        std::reverse(words.begin(), words.end());
        QSqlQuery q(dm->ADOConnection1.database());
        q.prepare("insert into kala (cod, cmt, vahed) values (?, ?, 'x')");
        for (int c = 0; c < copies; ++c) {
            for (int i = 0; i < words.size(); ++i) {
                q.addBindValue(QString::number((i * 7 + c) % 5));
                q.addBindValue(words[(i * 5 + c) % words.size()]);
                ASSERT_TRUE(q.exec());
            }
        }
    }
    static QStringList column(Query& q, const QString& name) {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(name).asString();
        return out;
    }
    static QStringList distinctInOrder(const QStringList& values) {
        QStringList out;
        for (const QString& v : values)
            if (out.isEmpty() || out.last() != v)
                out << v;
        return out;
    }
};

TEST_P(ListOrder, WordsSortInAlphabeticalOrderReadByPagesAndWhole) {
    fillWords(1);
    Query& q = dm->ADOQ_kala;
    q.openSql({"select * from kala order by cmt"});
    EXPECT_EQ(column(q, "cmt"), expectedWords());
    q.openSql({"select distinct cmt from kala order by cmt"});
    EXPECT_EQ(column(q, "cmt"), expectedWords());
    QStringList descending = expectedWords();
    std::reverse(descending.begin(), descending.end());
    q.openSql({"select * from kala"});
    q.setSort("cmt DESC");
    EXPECT_EQ(column(q, "cmt"), descending);
}

TEST_P(ListOrder, ATitleSortOverManyTiedPagesShowsEveryRowOnceAndKeepsTheCurrentRow) {
    fillWords(20); // 660 rows, each name 20 times
    Query& q = dm->ADOQ_kala;
    q.openSql({"select * from kala order by cod"});
    q.setRecNo(500);
    const qint64 current = q.fieldByName("id").asInteger();
    q.setSort("cmt ASC");
    EXPECT_EQ(q.fieldByName("id").asInteger(), current);
    const int at = q.recNo();
    QSet<qint64> ids;
    QStringList names;
    qint64 lastId = 0;
    for (q.first(); !q.eof(); q.next()) {
        const qint64 id = q.fieldByName("id").asInteger();
        const QString name = q.fieldByName("cmt").asString();
        if (!names.isEmpty() && names.last() == name) {
            EXPECT_GT(id, lastId) << "ties fall by key";
        }
        EXPECT_FALSE(ids.contains(id)) << "twice: " << id;
        ids.insert(id);
        names << name;
        lastId = id;
        if (id == current) {
            EXPECT_EQ(q.recNo(), at);
        }
    }
    EXPECT_EQ(ids.size(), 660);
    EXPECT_EQ(distinctInOrder(names), expectedWords());
}

TEST_P(ListOrder, ADeepFirstVisitAfterAnInsertShowsTheRightRows) {
    const int total = (ResultPages::kReadAheadPages + 8) * ResultPages::kPageRows;
    ASSERT_TRUE(dm->ADOConnection1.database().transaction());
    QSqlQuery insert(dm->ADOConnection1.database());
    insert.prepare("insert into kala (cod, cmt, vahed) values (?, 'c', 'x')");
    for (int i = 1; i <= total; ++i) {
        insert.addBindValue(QString("%1").arg(i, 5, 10, QChar('0')));
        ASSERT_TRUE(insert.exec());
    }
    ASSERT_TRUE(dm->ADOConnection1.database().commit());
    Query& q = dm->ADOQ_kala;
    q.openSql({"select * from kala order by cod"});
    QueryModel model(q);
    q.append();
    q.fieldByName("cod").setAsString("added");
    q.post();
    EXPECT_LT(model.rowCount(), total) << "the grid still reads by pages";
    const int added = q.recNo();
    // The pages skipped on the way hold only their keys; the deep one is read whole.
    const int deep = total - 10;
    q.setRecNo(deep + 1);
    ASSERT_LT(added, deep);
    EXPECT_EQ(q.fieldByName("cod").asString(), QString("%1").arg(deep, 5, 10, QChar('0')));
    EXPECT_EQ(q.recordCount(), total + 1);
    QStringList codes = column(q, "cod");
    ASSERT_EQ(codes.size(), total + 1);
    EXPECT_EQ(codes.count("added"), 1);
    codes.removeAll("added");
    for (int i = 0; i < total; ++i)
        ASSERT_EQ(codes[i], QString("%1").arg(i + 1, 5, 10, QChar('0'))) << i;
    // A delete keeps the list paged as well.
    q.setRecNo(3);
    q.deleteRecord();
    EXPECT_EQ(q.recordCount(), total);
    EXPECT_EQ(column(q, "cod").size(), total);
}

TEST_P(ListOrder, TimestampsKeyPagesToTheMicrosecond) {
    // One statement each, as workstations write the activity log: many rows share a
    // millisecond on the server, which keeps microseconds.
    constexpr int kRows = 3000;
    QSqlQuery q(dm->ADOConnection1.database());
    for (int i = 0; i < kRows; ++i)
        ASSERT_TRUE(q.exec(QString("insert into log (karbar, cmt) values ('u', 'e%1')").arg(i)));
    Query& list = dm->ADOQuery1;
    list.openSql({"select * from log where id<>-1 order by saat_sys desc "});
    QSet<qint64> ids;
    int rows = 0;
    for (list.first(); !list.eof(); list.next()) {
        ids.insert(list.fieldByName("id").asInteger());
        ++rows;
    }
    EXPECT_EQ(rows, kRows);
    EXPECT_EQ(ids.size(), kRows);
    EXPECT_EQ(list.recordCount(), kRows);
}

GC_ON_BOTH_BACKENDS(ListOrder);

} // namespace
