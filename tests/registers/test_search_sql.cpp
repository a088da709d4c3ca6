#include "khodro_rows.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/text/codepage.h"
#include "registers/shared/core/search_sql.h"

#include <gtest/gtest.h>

using namespace gc::registers;
using gc::db::quoted;
using gctest::Backend;
namespace kh = gctest::khodro;

namespace {

const QString kBlank = QStringLiteral("    /  /  ");

// The vehicle list's search as that register declares it.
SearchSpec vehicleSearch() {
    SearchSpec s = searchOn("khodro", "ID<>-1", " order by exit_dat desc,exit_tim desc ");
    s.filters = {likeFilter(" and ranande like "),
                 likeFilter(" and num like "),
                 rangeFilter(" and exit_dat>=", " and exit_dat<="),
                 rangeFilter(" and vorod_dat>=", " and vorod_dat<="),
                 fixedFilter(" and vorod_dat=" + quoted(kBlank)),
                 exactFilter(" and khodro_typ=")};
    return s;
}

std::vector<FilterInput> inputsFor(unsigned mask, const QString& driver = "لي") {
    return {{bool(mask & 1), {driver}},
            {bool(mask & 2), {"12"}},
            {bool(mask & 4), {"1403/01/01", "1403/01/15"}},
            {bool(mask & 8), {"1403/01/02", "1403/02/01"}},
            {bool(mask & 16), {}},
            {bool(mask & 32), {"اداري"}}};
}

QString mapped(const QString& s) {
    return gc::codepage::toRepertoire(s).value_or(s);
}

// The rows the filters should keep, decided without SQL.
int expectedCount(const std::vector<kh::Row>& rows, const std::vector<FilterInput>& in) {
    int n = 0;
    for (const kh::Row& r : rows) {
        bool keep = true;
        if (in[0].on)
            keep &= mapped(r.ranande).contains(mapped(in[0].texts[0]));
        if (in[1].on)
            keep &= r.num.contains(in[1].texts[0]);
        if (in[2].on)
            keep &= r.exit_dat >= in[2].texts[0] && r.exit_dat <= in[2].texts[1];
        if (in[3].on)
            keep &= r.vorod_dat >= in[3].texts[0] && r.vorod_dat <= in[3].texts[1];
        if (in[4].on)
            keep &= r.vorod_dat == kBlank;
        if (in[5].on)
            keep &= mapped(r.khodro_typ) == mapped(in[5].texts[0]);
        n += keep;
    }
    return n;
}

} // namespace

TEST(SearchSql, EveryFilterAddsItsLineInOrderAndTheCountRepeatsThem) {
    const SearchSql sql = buildSearch(vehicleSearch(), inputsFor(63));
    const QStringList lines = {" and ranande like '%لي%' escape '\\'",
                               " and num like '%12%' escape '\\'",
                               " and exit_dat>='1403/01/01' and exit_dat<='1403/01/15'",
                               " and vorod_dat>='1403/01/02' and vorod_dat<='1403/02/01'",
                               " and vorod_dat='    /  /  '",
                               " and khodro_typ='اداري'"};
    EXPECT_EQ(sql.select, QStringList{"Select * from khodro where ID<>-1"} + lines +
                              QStringList{" order by exit_dat desc,exit_tim desc "});
    EXPECT_EQ(sql.count, QStringList{"Select count(*) as c from khodro where ID<>-1"} + lines);

    // Unticked filters add nothing, whatever their inputs hold.
    const SearchSql off = buildSearch(vehicleSearch(), inputsFor(0, "x' or 1=1 --"));
    EXPECT_EQ(off.select.size(), 2);
    EXPECT_EQ(off.count, QStringList{"Select count(*) as c from khodro where ID<>-1"});
}

TEST(SearchSql, ValuesAreQuotedAndTypedWildcardsMatchThemselves) {
    EXPECT_EQ(quoted("ع'لي"), "'ع''لي'");
    EXPECT_EQ(quoted(""), "''");
    EXPECT_EQ(filterLine(likeFilter(" and ranande like "), {true, {"50%_'"}}),
              " and ranande like '%50\\%\\_''%' escape '\\'");
    EXPECT_EQ(filterLine(exactFilter(" and shift="), {true, {"روز و شب"}}),
              " and shift='روز و شب'");
}

TEST(SearchSql, OtherRegistersFilterShapes) {
    // Deliverer or receiver: one text in either column.
    EXPECT_EQ(
        filterLine(likeAnyFilter({" and ( prs1 like ", " OR prs2 like "}, ")"), {true, {"a"}}),
        " and ( prs1 like '%a%' escape '\\' OR prs2 like '%a%' escape '\\')");
    // A comparison picked by position; typed instead of picked adds nothing.
    const SearchFilter time =
        choiceFilter({" and exit_tim>=", " and exit_tim=", " and exit_tim<="});
    EXPECT_EQ(filterLine(time, {true, {"14:30"}, 2}), " and exit_tim<='14:30'");
    EXPECT_EQ(filterLine(time, {true, {"14:30"}, -1}), std::nullopt);
    // A value standing for a line of its own.
    SearchFilter comment = likeFilter(" and cmt like ");
    comment.specialValues = {{"بدون خودرو", " and cmt not like '%خودرو%'"}};
    EXPECT_EQ(filterLine(comment, {true, {"بدون خودرو"}}), " and cmt not like '%خودرو%'");
    EXPECT_EQ(filterLine(comment, {true, {"پرسنل با خودرو"}}),
              " and cmt like '%پرسنل با خودرو%' escape '\\'");
    // The guard log counts first and has no ordering.
    SearchSpec loh = searchOn("loh", "id<>-1", {});
    loh.selectBase = "select * from loh where id<>-1 ";
    EXPECT_EQ(buildSearch(loh, {}).select, QStringList{"select * from loh where id<>-1 "});
}

class SearchDb : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        dm = kh::freshModule(GetParam());
        if (!dm)
            GTEST_SKIP() << "no PostgreSQL test server";
        rows = kh::sampleRows();
        kh::insertRows(*dm, rows);
    }
    QString search(const std::vector<FilterInput>& in) {
        return RunSearch(dm->ADOQ_khodro, dm->ADOQuery1, vehicleSearch(), in);
    }
    std::unique_ptr<gc::Tdm> dm;
    std::vector<kh::Row> rows;
};

TEST_P(SearchDb, EveryFilterCombinationCountsWhatItLists) {
    for (unsigned mask = 0; mask < 64; ++mask) {
        const auto in = inputsFor(mask);
        const int expected = expectedCount(rows, in);
        EXPECT_EQ(search(in), QString::number(expected)) << "filters " << mask;
        EXPECT_EQ(dm->ADOQ_khodro.recordCount(), expected) << "filters " << mask;
    }
    if (GetParam() == Backend::SQLite) {
        // The sqlite3 tool, with its own reading of the stored text, agrees.
        const QString file = kh::sqliteFile(dm->ADOConnection1.connectionString());
        EXPECT_EQ(kh::sqlite3(file, "select count(*) from khodro"), "60");
        EXPECT_EQ(kh::sqlite3(file,
                              "select count(*) from khodro where exit_dat between "
                              "'1403/01/01' and '1403/01/15' and num like '%12%' escape '\\'"),
                  search(inputsFor(2 | 4)));
    }
}

TEST_P(SearchDb, QuoteAndPercentInTheText) {
    // The quote is a character like any other.
    EXPECT_EQ(search(inputsFor(1, "ع'لي")), "10");
    // '%', '_' and a backslash typed match themselves, on both engines alike.
    EXPECT_EQ(search(inputsFor(1, "%")), "10");
    EXPECT_EQ(search(inputsFor(1, "50%")), "10");
    EXPECT_EQ(search(inputsFor(1, "حسن_زاده")), "10");
    EXPECT_EQ(search(inputsFor(1, "ع_لي")), "0");
    EXPECT_EQ(search(inputsFor(1, "حسن?زاده")), "0");
    EXPECT_EQ(search(inputsFor(1, "\\")), "0");
}

TEST_P(SearchDb, BlankDatesFallOutsideEveryRange) {
    const QList<QStringList> ranges = {
        {"0000/00/00", "9999/99/99"}, {"1403/01/01", "1403/12/30"}, {"1300/01/01", "1403/01/01"}};
    for (const QStringList& r : ranges) {
        auto in = inputsFor(8);
        in[3].texts = r;
        search(in);
        gc::db::Query& q = dm->ADOQ_khodro;
        int seen = 0;
        for (q.first(); !q.eof(); q.next(), ++seen)
            EXPECT_NE(q.fieldByName("vorod_dat").asString(), kBlank);
        EXPECT_EQ(seen, expectedCount(rows, in));
    }
    // "Not yet returned" with the entry-date range as well keeps nothing.
    EXPECT_EQ(search(inputsFor(8 | 16)), "0");
    EXPECT_EQ(search(inputsFor(16)), QString::number(expectedCount(rows, inputsFor(16))));
}

TEST_P(SearchDb, TheNextSearchReturnsToTheRegistersOrder) {
    search(inputsFor(0));
    gc::db::Query& q = dm->ADOQ_khodro;
    q.setSort("cmt ASC");
    search(inputsFor(0));
    EXPECT_EQ(q.sort(), "");
    q.first();
    EXPECT_EQ(q.fieldByName("exit_dat").asString(), "1403/02/01");
    EXPECT_EQ(q.fieldByName("exit_tim").asString(), "23:47"); // the latest time of that day
}

INSTANTIATE_TEST_SUITE_P(Engines, SearchDb, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& p) { return gctest::backendName(p.param).toStdString(); });
