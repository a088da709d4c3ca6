#include "core/schema.h"

#include "core/data_module.h"
#include "platform/db/db_error.h"

#include <functional>

namespace gc {

namespace {

const QString kId = "int identity primary key";

QString nv(int n) {
    return QString("nvarchar(%1)").arg(n);
}

std::vector<ColumnSpec> withId(std::vector<ColumnSpec> cols) {
    cols.insert(cols.begin(), {"id", kId});
    return cols;
}

std::vector<TableSpec> buildTables() {
    return {
        {"users", withId({{"us", nv(25)}, {"ps", nv(25)}, {"ver", nv(25)}}), {}},
        {"setting", withId({{"component", nv(100)}, {"cmt", nv(150)}, {"def", nv(5)}}), {}},
        {"log",
         withId({{"karbar", nv(150)},
                 {"ip", nv(20)},
                 {"computer_name", nv(50)},
                 {"saat", nv(30)},
                 {"tarikh", nv(10)},
                 {"cmt", nv(200)},
                 {"saat_sys", "datetime"}}),
         {}},
        {"payamha",
         withId({{"send_prs_id", "int"},
                 {"rec_prs_id", "int"},
                 {"send_dat", nv(10)},
                 {"show_dat", nv(10)},
                 {"mozo", nv(100)},
                 {"cmt", "image"}}),
         {}},
        {"dastrasi",
         withId({{"prs_id", "int"},
                 {"page_name", nv(25)},
                 {"darj", "bit"},
                 {"virayesh", "bit"},
                 {"hazf", "bit"},
                 {"namayesh", "bit"}}),
         {}},
        {"zamaem",
         withId({{"cmt", nv(150)}, {"ramz", nv(20)}, {"pictype", nv(5)}, {"pic", "image"}}),
         {}},
        {"phone", withId({{"name", nv(100)}, {"tel", nv(40)}, {"cmt", nv(150)}}), {}},
        {"kala", withId({{"cod", nv(50)}, {"cmt", nv(150)}, {"vahed", nv(40)}}), {}},
        {"anbar",
         withId({{"typ", nv(40)},
                 {"cod", nv(50)},
                 {"kala", nv(150)},
                 {"vahed", nv(40)},
                 {"cnt", nv(30)},
                 {"dat", nv(10)},
                 {"saat", nv(5)},
                 {"sanad", nv(30)},
                 {"mabda", nv(120)},
                 {"maghsad", nv(120)},
                 {"prs1", nv(100)},
                 {"prs2", nv(100)},
                 {"khodro", nv(80)},
                 {"negahban", nv(100)},
                 {"cmt", nv(200)}}),
         {}},
        {"amval",
         withId({{"kharejkonande", nv(100)},
                 {"taeidkonande", nv(100)},
                 {"cnt", nv(50)},
                 {"nam", nv(50)},
                 {"odat", nv(40)},
                 {"num", nv(50)},
                 {"exit_dat", nv(10)},
                 {"exit_tim", nv(5)},
                 {"elat", nv(120)},
                 {"maghsad", nv(120)},
                 {"daghi", nv(100)},
                 {"maghsad_tel", nv(80)},
                 {"vorod_dat", nv(10)},
                 {"vorod_tim", nv(5)},
                 {"malek", nv(100)},
                 {"cmt", nv(200)},
                 {"negahban1", nv(80)},
                 {"negahban2", nv(80)}}),
         {}},
        {"prs",
         withId({{"cart_no", nv(100)},
                 {"nam", nv(100)},
                 {"semat", nv(100)},
                 {"exit_tim", nv(5)},
                 {"exit_dat", nv(10)},
                 {"elat", nv(150)},
                 {"vorod_tim", nv(5)},
                 {"cmt", nv(150)},
                 {"negahban1", nv(80)},
                 {"negahban2", nv(80)}}),
         {}},
        {"asami",
         withId({{"surname", nv(100)},
                 {"name", nv(100)},
                 {"uniq_code", nv(100)},
                 {"card_no", nv(50)},
                 {"vahed_tabe", nv(100)},
                 {"khodro_num", nv(150)},
                 {"mobile", nv(50)}}),
         {{"nation", nv(10)}}},
        {"khodro",
         withId({{"ranande", nv(100)},
                 {"num", nv(100)},
                 {"exit_dat", nv(10)},
                 {"exit_tim", nv(5)},
                 {"elat", nv(100)},
                 {"maghsad", nv(150)},
                 {"vorod_dat", nv(10)},
                 {"vorod_tim", nv(5)},
                 {"cmt", nv(150)},
                 {"negahban1", nv(80)},
                 {"negahban2", nv(80)},
                 {"khodro_typ", nv(50)}}),
         {}},
        {"parking",
         withId({{"num", nv(100)},
                 {"dat", nv(10)},
                 {"loc", nv(150)},
                 {"cmt", nv(150)},
                 {"negahban", nv(80)}}),
         {}},
        {"per_pic", withId({{"per_id", "int"}, {"ext", nv(10)}, {"pic", "image"}}), {}},
        {"otaghha",
         withId({{"title", nv(100)}, {"tabaghe", nv(80)}, {"otagh", nv(70)}}),
         {{"ext", nv(5)}, {"koroki", "image"}}},
        {"arbabrojo",
         withId({{"name", nv(100)},
                 {"maghsad", nv(80)},
                 {"tabaghe", nv(70)},
                 {"otagh", nv(70)},
                 {"cart_no", nv(70)},
                 {"madrak", nv(70)},
                 {"dat", nv(10)},
                 {"vorod", nv(70)},
                 {"khoroj", nv(70)},
                 {"gender", nv(40)},
                 {"cmt", nv(150)},
                 {"negahban", nv(80)},
                 {"barcod", nv(70)}}),
         {{"nazar", nv(100)}}},
        {"barcod", {{"barcod", kId}, {"name", nv(100)}}, {}},
        {"molaghat_file", withId({{"pic", "image"}}), {}},
        {"taradod",
         {{"roz", nv(20)},
          {"dat", nv(10)},
          {"v1", nv(5)},
          {"e1", nv(5)},
          {"v2", nv(5)},
          {"e2", nv(5)},
          {"v3", nv(5)},
          {"e3", nv(5)},
          {"v4", nv(5)},
          {"e4", nv(5)},
          {"cmt", nv(50)}},
         {}},
        {"arbabrojo_pic",
         withId({{"arbabrojo_id", "int"}, {"cmt", nv(80)}, {"ext", nv(5)}, {"pic", "image"}}),
         {}},
        {"loh",
         withId({{"dat", nv(10)},
                 {"loc", nv(100)},
                 {"day", nv(20)},
                 {"shift", nv(50)},
                 {"negahban", nv(50)}}),
         {}},
    };
}

const TableSpec& table(const QString& name) {
    for (const TableSpec& t : SchemaTables())
        if (t.name == name)
            return t;
    throw std::logic_error("unknown table");
}

// "create table T (" / "col type," ... / ")"; `lastLine` replaces the last column's line.
QStringList createLines(const TableSpec& t, const QString& lastLine = {}) {
    QStringList lines{"create table " + t.name + " ("};
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        const bool last = i + 1 == t.columns.size();
        const QString line =
            (last && !lastLine.isEmpty()) ? lastLine : t.columns[i].name + " " + t.columns[i].type;
        lines << line + (last ? "" : ",");
    }
    lines << ")";
    return lines;
}

struct Step {
    QStringList lines;
    std::function<void(db::Query&)> then; // runs only when the statement succeeded
};

void run(db::Query& q, const QStringList& lines) {
    q.sql().clear();
    for (const QString& l : lines)
        q.sql().add(l);
    q.execSql();
}

void seedAdmin(db::Query& q) {
    q.openSql({"select * from users "});
    q.append();
    q.fieldByName("us").setAsString("admin");
    q.fieldByName("ps").setAsString(kInitialAdminPassword);
    q.fieldByName("ver").setAsString("1");
    q.post();
}

void seedAdminRights(db::Query& q) {
    q.openSql({"select id from users where us='admin' order by id"});
    if (q.eof())
        return;
    const QString adminId = q.fieldByName("id").asString();
    q.openSql({"select * from dastrasi "});
    q.append();
    q.fieldByName("prs_id").setAsString(adminId);
    q.fieldByName("page_name").setAsString("karbaran");
    for (const char* flag : {"darj", "virayesh", "hazf", "namayesh"})
        q.fieldByName(flag).setAsString("True");
    q.post();
}

std::vector<Step> buildSteps(db::Engine engine) {
    const QString timeDefault = engine == db::Engine::SQLite
                                    ? "saat_sys datetime DEFAULT NOW() "
                                    : "saat_sys datetime DEFAULT GETDATE() ";
    const auto create = [](const QString& t) { return Step{createLines(table(t)), {}}; };
    std::vector<Step> steps{
        {createLines(table("users")), seedAdmin},
        {{"alter table users ", " add ver nvarchar(20)"}, {}},
        create("setting"),
        {createLines(table("log"), timeDefault), {}},
        create("payamha"),
        {createLines(table("dastrasi")), seedAdminRights},
        create("zamaem"),
        create("phone"),
        create("kala"),
        create("anbar"),
        create("amval"),
        create("prs"),
        create("asami"),
        {{"alter table asami ", "add nation nvarchar(10)"},
         [](db::Query& q) { run(q, {"update asami set nation=uniq_code"}); }},
        create("khodro"),
        create("parking"),
        create("per_pic"),
        create("otaghha"),
        {{"alter table otaghha ", " add ext nvarchar(5), ", " koroki image "}, {}},
        create("arbabrojo"),
        {{"alter table arbabrojo ", " add nazar nvarchar(100)"}, {}},
        create("barcod"),
        create("molaghat_file"),
        create("taradod"),
        create("arbabrojo_pic"),
        create("loh"),
    };
    // Look-ups and date ranges of the registers.
    const std::pair<const char*, const char*> indexes[] = {
        {"arbabrojo", "dat"},   {"arbabrojo", "barcod"},  {"arbabrojo", "cart_no"},
        {"arbabrojo", "name"},  {"khodro", "exit_dat"},   {"prs", "exit_dat"},
        {"amval", "exit_dat"},  {"parking", "dat"},       {"anbar", "dat"},
        {"loh", "dat"},         {"log", "tarikh"},        {"payamha", "rec_prs_id"},
        {"dastrasi", "prs_id"}, {"setting", "component"}, {"asami", "card_no"},
        {"asami", "surname"},   {"per_pic", "per_id"},    {"arbabrojo_pic", "arbabrojo_id"}};
    for (const auto& [t, c] : indexes)
        steps.push_back(
            {{QString("create index if not exists ix_%1_%2 on %1 (%2)").arg(t, c)}, {}});
    return steps;
}

QStringList missingParts(db::Connection& c) {
    c.forgetSchema();
    QStringList missing;
    for (const TableSpec& t : SchemaTables()) {
        const db::TableInfo* info = c.tableInfo(t.name);
        if (!info) {
            missing << t.name;
            continue;
        }
        for (const auto* cols : {&t.columns, &t.added})
            for (const ColumnSpec& col : *cols)
                if (!info->column(col.name))
                    missing << t.name + "." + col.name;
    }
    return missing;
}

} // namespace

const std::vector<TableSpec>& SchemaTables() {
    static const std::vector<TableSpec> tables = buildTables();
    return tables;
}

QString SchemaResult::message() const {
    if (complete())
        return QString::fromUtf8("همه تنظيمات انجام شد");
    QString text = QString::fromUtf8("اين جدول ها يا ستون ها ساخته نشدند:\n") + missing.join("\n");
    if (!failures.isEmpty())
        text += QString::fromUtf8("\n\nپاسخ بانک اطلاعاتي:\n") + failures.join("\n");
    return text;
}

namespace {

SchemaResult ensureSchema(db::Connection& connection, db::Query& scratch) {
    SchemaResult result;
    if (!connection.connected()) {
        result.missing << QString::fromUtf8("(همه جدول ها)");
        result.failures << QString::fromUtf8("اتصال به بانک اطلاعاتي برقرار نيست");
        return result;
    }
    QStringList failures;
    int number = 0;
    for (const Step& step : buildSteps(connection.engine())) {
        ++number;
        try {
            run(scratch, step.lines);
            if (step.then)
                step.then(scratch);
        } catch (const db::DbError& e) {
            failures << QString("%1: %2").arg(QString::number(number), e.message());
        }
    }
    result.missing = missingParts(connection);
    if (!result.complete())
        result.failures = failures;
    // Set up at the user's word: the file is the program's own from now on.
    connection.useAsOwnFile();
    return result;
}

} // namespace

SchemaResult EnsureSchema(Tdm& dm) {
    return ensureSchema(dm.ADOConnection1, dm.ADOQuery1);
}

SchemaResult EnsureSchema(db::Connection& connection) {
    db::Query scratch(connection, "schema");
    return ensureSchema(connection, scratch);
}

} // namespace gc
