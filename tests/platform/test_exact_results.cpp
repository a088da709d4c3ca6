#include "core/messages.h"
#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/db/result_order.h"
#include "platform/db/sql_text.h"
#include "support/dm_fixture.h"

#include <QSet>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace gc::db;

TEST(ResultOrder, SplitsTheTrailingOrderOnly) {
    auto st = splitOrderBy("select * from khodro where ID<>-1\n and cmt like 'order by x'\n"
                           " order by exit_dat desc,exit_tim desc ");
    EXPECT_TRUE(st.pageable);
    EXPECT_EQ(st.body, "select * from khodro where ID<>-1\n and cmt like 'order by x'\n ");
    ASSERT_EQ(st.terms.size(), 2);
    EXPECT_EQ(st.terms[0].column, "exit_dat");
    EXPECT_TRUE(st.terms[1].descending);

    st = splitOrderBy("select * from payamha where id in (select id from t order by id) "
                      "order by payamha.send_dat desc ");
    EXPECT_TRUE(st.pageable);
    ASSERT_EQ(st.terms.size(), 1);
    EXPECT_EQ(st.terms[0].column, "send_dat");

    EXPECT_TRUE(splitOrderBy("select * from loh where id<>-1").terms.isEmpty());
    EXPECT_FALSE(splitOrderBy("select * from users order by id desc limit 1").pageable);
    EXPECT_FALSE(splitOrderBy("select * from t order by lower(nam)").pageable);
    EXPECT_FALSE(splitOrderBy("select a from t union select a from u").pageable);
    // A join may repeat the key of the table it starts from.
    EXPECT_FALSE(splitOrderBy("select * from (select * from asami left join per_pic on "
                              "asami.id=per_pic.per_id) s order by id")
                     .pageable);
    EXPECT_FALSE(splitOrderBy("select * from users u, payamha p where p.id=1").pageable);
    EXPECT_TRUE(splitOrderBy("select * from t where cmt = 'a join b, c'").pageable);
}

TEST(ResultOrder, KeysAreReadByRangeOnlyWhereTheyFillHalfOfIt) {
    EXPECT_EQ(keysCondition("r.id", {7, 5, 6, 9}), "r.id between 5 and 9");
    EXPECT_EQ(keysCondition("r.id", {42}), "r.id between 42 and 42");
    EXPECT_EQ(keysCondition("r.id", {3, 1, 100}), "r.id in (3,1,100)");
    EXPECT_EQ(keysCondition("r.id", {-9223372036854775807LL, 9223372036854775807LL}),
              "r.id in (-9223372036854775807,9223372036854775807)");
}

TEST(ResultOrder, RowsAfterPlacesNullsAsTheEngineSortsThem) {
    const QVector<OrderTerm> terms = {{"dat", true, false, {}}, {"id", true, true, {}}};
    // PostgreSQL sorts NULL above every value: after a dated row in descending order come
    // the earlier dates, never a NULL.
    const Condition dated = rowsAfter(terms, {QString("1403/01/02"), 7}, true, "g");
    EXPECT_EQ(dated.sql, "g.dat <= ? and ((g.dat < ?) or (g.dat = ? and g.id < ?))");
    EXPECT_EQ(dated.values, QVariantList({"1403/01/02", "1403/01/02", "1403/01/02", 7}));
    EXPECT_EQ(rowsAfter(terms, {QVariant(), 7}, false, "g").sql,
              "g.dat is null and ((g.dat is null and g.id < ?))");
    // A key is never NULL: its condition stays one an index can search by.
    EXPECT_EQ(rowsAfter({{"id", true, true, {}}}, {7}, false, "g").sql, "(g.id < ?)");
    EXPECT_EQ(rowsUpTo({{"id", true, true, {}}}, {7}, false, "g").sql,
              "((g.id > ?)) or (g.id = ?)");
}

TEST(ResultOrder, TextComparesByTheSortsCollation) {
    const QVector<OrderTerm> terms = {{"name", false, false, "gc_fa"}, {"id", false, true, {}}};
    EXPECT_EQ(rowsAfter(terms, {QString("x"), 3}, false, "g").sql,
              "g.name collate \"gc_fa\" >= ? and ((g.name collate \"gc_fa\" > ?) or (g.name "
              "collate \"gc_fa\" = ? and g.id > ?))");
    EXPECT_EQ(orderByClause(terms, "g"), " order by g.name collate \"gc_fa\", g.id");
}

TEST(Dialect, LikeIgnoresLatinCaseOnTheServerOnly) {
    const QString sql = "select * from t where a like '%x%' escape '\\' and b NOT LIKE 'like'";
    EXPECT_EQ(translateQuery(Engine::PostgreSQL, sql),
              "select * from t where a ilike '%x%' escape '\\' and b NOT ilike 'like'");
    EXPECT_EQ(translateQuery(Engine::SQLite, sql), sql);
    EXPECT_EQ(containsPattern("a\\b%c_d'e"), "'%a\\\\b\\%c\\_d''e%' escape '\\'");
}

namespace {

// A table of visits whose order has many ties: 12 dates by 3 times.
class ExactResults : public gctest::DmTest {
  protected:
    void fill(int rows) {
        ASSERT_TRUE(raw(QString("with recursive s(i) as (select 0 union all select i + 1 from s "
                                "where i + 1 < %1) insert into arbabrojo (name, dat, vorod) "
                                "select 'v' || i, '1403/01/' || case when i % 12 < 9 then '0' "
                                "else '' end || (i % 12 + 1), '0' || (i % 3 + 7) || ':00' from s")
                            .arg(rows)));
    }
    // A second workstation on the same database.
    void insertElsewhere(int rows, int from) {
        Connection other("elsewhere");
        other.setConnectionString(dm->ADOConnection1.connectionString());
        other.open();
        for (int i = from; i < from + rows; ++i)
            other.execute(QString("insert into arbabrojo (name, dat, vorod) values ('w%1', "
                                  "'1403/01/%2', '08:00')")
                              .arg(i)
                              .arg(i % 12 + 1, 2, 10, QChar('0')));
    }
    struct Seen {
        QString dat, vorod;
        qint64 id;
    };
    static std::vector<Seen> iterate(Query& q) {
        std::vector<Seen> out;
        for (q.first(); !q.eof(); q.next())
            out.push_back({q.fieldByName("dat").asString(), q.fieldByName("vorod").asString(),
                           q.fieldByName("id").asInteger()});
        return out;
    }
    // Every id once, in "dat desc, vorod desc" with ties always the same way.
    static void expectExact(const std::vector<Seen>& rows, int expected) {
        QSet<qint64> ids;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_FALSE(ids.contains(rows[i].id)) << "twice: " << rows[i].id;
            ids.insert(rows[i].id);
            if (i == 0)
                continue;
            const Seen& a = rows[i - 1];
            const Seen& b = rows[i];
            const bool ordered = a.dat > b.dat || (a.dat == b.dat && a.vorod >= b.vorod);
            EXPECT_TRUE(ordered) << "row " << i;
        }
        EXPECT_EQ(int(rows.size()), expected);
    }
    static constexpr const char* kList = "select * from arbabrojo where id<>-1 "
                                         "order by dat desc, vorod desc";
};

} // namespace

TEST_P(ExactResults, TiedListsShowEveryRowOnceInGridIterationAndSort) {
    fill(700);
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({kList});
    const auto first = iterate(q);
    expectExact(first, 700);
    // Read again, the ties fall the same way.
    q.openSql({kList});
    const auto again = iterate(q);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(again[i].id, first[i].id) << i;

    QueryModel model(q);
    while (model.canFetchMore({}))
        model.fetchMore({});
    ASSERT_EQ(model.rowCount(), 700);
    const int idColumn = q.fieldIndex("id");
    for (int r = 0; r < 700; ++r)
        EXPECT_EQ(model.data(model.index(r, idColumn)).toLongLong(), first[std::size_t(r)].id);

    // A title sort over a column of three values keeps every row once.
    q.setSort("vorod DESC");
    const auto sorted = iterate(q);
    ASSERT_EQ(sorted.size(), 700u);
    QSet<qint64> ids;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        ids.insert(sorted[i].id);
        if (i > 0) {
            EXPECT_GE(sorted[i - 1].vorod, sorted[i].vorod);
        }
    }
    EXPECT_EQ(ids.size(), 700);
    EXPECT_EQ(q.recordCount(), 700);
}

TEST_P(ExactResults, RowsWithoutADateComeWhereTheEngineSortsThem) {
    fill(700);
    ASSERT_TRUE(raw("update arbabrojo set dat = null where id % 7 = 0"));
    ASSERT_TRUE(raw("update arbabrojo set vorod = null where id % 5 = 0"));
    for (const QString order : {"dat desc, vorod desc", "dat, vorod"}) {
        Query& q = dm->ADOQ_arbabrojo;
        q.openSql({"select * from arbabrojo where id<>-1 order by " + order});
        std::vector<qint64> ids;
        int nullRuns = 0;
        bool lastWasNull = false;
        for (q.first(); !q.eof(); q.next()) {
            ids.push_back(q.fieldByName("id").asInteger());
            const bool isNull = q.fieldByName("dat").isNull();
            nullRuns += isNull && !lastWasNull;
            lastWasNull = isNull;
        }
        EXPECT_EQ(QSet<qint64>(ids.begin(), ids.end()).size(), 700) << order.toStdString();
        EXPECT_EQ(ids.size(), 700u);
        EXPECT_EQ(nullRuns, 1); // all rows without a date together, at one end
    }
}

TEST_P(ExactResults, RowsInsertedElsewhereWhileReadingNeverShiftOrRepeatOthers) {
    fill(700);
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({kList});
    std::vector<Seen> rows;
    QSet<QString> names;
    for (q.first(); !q.eof(); q.next()) {
        rows.push_back({q.fieldByName("dat").asString(), q.fieldByName("vorod").asString(),
                        q.fieldByName("id").asInteger()});
        names.insert(q.fieldByName("name").asString());
        if (rows.size() == 300)
            insertElsewhere(60, 0); // on every date, before and after the rows read
    }
    expectExact(rows, int(rows.size()));
    for (int i = 0; i < 700; ++i)
        EXPECT_TRUE(names.contains(QString("v%1").arg(i))) << i;
    EXPECT_LT(rows.size(), 760u); // those before the rows read are not shown
}

TEST_P(ExactResults, PagesReadAgainAfterScrollingBackHoldTheSameRows) {
    // More pages than stay in memory, read in the grid and then read again from the top.
    const int total = int(ResultPages::kMaxPages + 6) * ResultPages::kPageRows;
    fill(total);
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({kList});
    QueryModel model(q);
    while (model.canFetchMore({}))
        model.fetchMore({});
    ASSERT_EQ(model.rowCount(), total);
    const int idColumn = q.fieldIndex("id");
    std::vector<qint64> down;
    for (int r = 0; r < total; ++r)
        down.push_back(model.data(model.index(r, idColumn)).toLongLong());
    insertElsewhere(30, 0);
    for (int r = total - 1; r >= 0; r -= 97)
        EXPECT_EQ(model.data(model.index(r, idColumn)).toLongLong(), down[std::size_t(r)]) << r;
    EXPECT_EQ(QSet<qint64>(down.begin(), down.end()).size(), total);
}

// Rows of two entry times interleave, so a page read again is read by the range of its keys,
// which holds rows of the other time too: only the page's own come back, in their places.
TEST_P(ExactResults, PagesReadAgainByARangeOfKeysHoldOnlyTheirOwnRows) {
    const int total = int(ResultPages::kMaxPages + 6) * ResultPages::kPageRows;
    fill(total);
    ASSERT_TRUE(raw("update arbabrojo set vorod='08:00' where vorod='09:00'"));
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({"select * from arbabrojo where id<>-1 order by vorod desc"});
    QueryModel model(q);
    while (model.canFetchMore({}))
        model.fetchMore({});
    ASSERT_EQ(model.rowCount(), total);
    const int idColumn = q.fieldIndex("id");
    const int timeColumn = q.fieldIndex("vorod");
    std::vector<qint64> down;
    for (int r = 0; r < total; ++r)
        down.push_back(model.data(model.index(r, idColumn)).toLongLong());
    for (int r = 0; r < total; ++r) {
        ASSERT_EQ(model.data(model.index(r, idColumn)).toLongLong(), down[std::size_t(r)]) << r;
        EXPECT_EQ(model.data(model.index(r, timeColumn)).toString(),
                  r < total * 2 / 3 ? "08:00" : "07:00")
            << r;
    }
}

TEST_P(ExactResults, ReadsThatRunOtherStatementsMeanwhileSeeEveryRow) {
    fill(600);
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({kList});
    int seen = 0;
    for (q.first(); !q.eof(); q.next()) {
        dm->ADOQuery1.openSql({"select count(*) as c from arbabrojo where vorod='07:00'"});
        ++seen;
    }
    EXPECT_EQ(seen, 600);
}

TEST_P(ExactResults, AnErrorPartWayThroughTheRowsIsReportedNotTakenForTheEnd) {
    // Row 300 fails as the engine computes it, after the rows before it have been sent.
    const QString failing = pg() ? "1 / (i - 300)" : "abs(-9223372036854775807 - (i = 300))";
    const QString sql = "with recursive s(i) as (select 1 union all select i + 1 from s where i < "
                        "600) select i, " +
                        failing + " as v from s";
    EXPECT_THROW(dm->ADOQuery1.openSql({sql}), DbError);
    EXPECT_FALSE(dm->ADOQuery1.isActive());
}

TEST_P(ExactResults, ACountIsAPlainCountOfTheRows) {
    fill(600);
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({kList});
    EXPECT_EQ(q.recordCount(), 600);
    q.last();
    EXPECT_EQ(q.recNo(), 600);
    // A statement without a key among its columns is read whole.
    dm->ADOQuery1.openSql({"select dat, count(*) as c from arbabrojo group by dat order by dat"});
    EXPECT_EQ(dm->ADOQuery1.recordCount(), 12);
    EXPECT_EQ(dm->ADOQuery1.fieldByName("c").asInteger(), 50);
}

TEST_P(ExactResults, AddedRowsAreShownOnceWhereTheyWereAdded) {
    fill(600);
    Query& q = dm->ADOQ_arbabrojo;
    q.openSql({"select * from arbabrojo where id<>-1"}); // by key: the new row sorts last
    q.append();
    q.fieldByName("name").setAsString("new");
    q.post();
    int news = 0;
    int rows = 0;
    for (q.first(); !q.eof(); q.next()) {
        news += q.fieldByName("name").asString() == "new";
        ++rows;
    }
    EXPECT_EQ(news, 1);
    EXPECT_EQ(rows, 601);
}

TEST_P(ExactResults, DeleteAllReadRemovesEveryReadMessage) {
    // 900 messages of one day to the administrator; every third one read.
    dm->ADOConnection1.beginTransaction();
    QSqlQuery ins(dm->ADOConnection1.database());
    ins.prepare("insert into payamha (send_prs_id, rec_prs_id, send_dat, show_dat, mozo) "
                "values (1, 1, '1403/01/01', ?, ?)");
    for (int i = 0; i < 900; ++i) {
        ins.addBindValue(i % 3 == 0 ? QString("1403/01/02") : QString());
        ins.addBindValue(QString("m%1").arg(i));
        ASSERT_TRUE(ins.exec());
    }
    dm->ADOConnection1.commit();
    Query& list = dm->ADOQ_payam;
    list.openSql({"select payamha.*,users.us as ferestande from payamha left join users on "
                  "payamha.send_prs_id=users.id where payamha.id<>-1",
                  " order by payamha.send_dat desc "});
    EXPECT_EQ(gc::messages::DeleteRead(dm->ADOQuery1, list), 300);
    EXPECT_EQ(scalar("select count(*) from payamha where show_dat<>''").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from payamha").toInt(), 600);
}

TEST_P(ExactResults, TypedLikeCharactersAndLatinCaseMatchAlikeOnBothEngines) {
    const QStringList names = {"a\\b", "a%b", "a_b", "axb", "ABC", "abc", "دفتر مرکزی"};
    for (const QString& n : names)
        dm->ADOConnection1.execute("insert into arbabrojo (name) values (" + quoted(n) + ")");
    const auto matches = [&](const QString& text) {
        dm->ADOQuery1.openSql(
            {"select * from arbabrojo where id<>-1 and name like " + containsPattern(text)});
        QStringList out;
        for (dm->ADOQuery1.first(); !dm->ADOQuery1.eof(); dm->ADOQuery1.next())
            out << dm->ADOQuery1.fieldByName("name").asString();
        return out;
    };
    EXPECT_EQ(matches("a\\b"), QStringList{"a\\b"});
    EXPECT_EQ(matches("a%b"), QStringList{"a%b"});
    EXPECT_EQ(matches("a_b"), QStringList{"a_b"});
    EXPECT_EQ(matches("bC"), (QStringList{"ABC", "abc"}));
    EXPECT_EQ(matches("\\"), QStringList{"a\\b"});
    EXPECT_EQ(matches(QString::fromUtf8("مرکز")).size(), 1);
}

GC_ON_BOTH_BACKENDS(ExactResults);
