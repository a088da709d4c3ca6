#include "support/test_db.h"

#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/db/forward_reader.h"
#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/db/statement.h"
#include "platform/db/statement_rows.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace gc::db;
using gctest::Backend;

TEST(ConnectionString, PicksEngineAndParts) {
    auto t =
        connectionTarget("Provider=SQLOLEDB.1;Password=p;Persist Security Info=True;User "
                         "ID=sa;Initial Catalog=Tovarmesk;Data Source=db.local\\SQLEXPRESS,5433;"
                         "Use Procedure for Prepare=1");
    EXPECT_EQ(t.engine, Engine::PostgreSQL);
    EXPECT_EQ(t.host, "db.local");
    EXPECT_EQ(t.port, 5433);
    EXPECT_EQ(t.database, "Tovarmesk");
    EXPECT_EQ(t.user, "sa");
    EXPECT_EQ(t.password, "p");

    t = connectionTarget("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                         "User ID=sa;Initial Catalog=X;Data Source=srv");
    EXPECT_TRUE(t.integratedSecurity);
    EXPECT_TRUE(t.user.isEmpty());
    EXPECT_EQ(t.port, 0);

    t = connectionTarget("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/tmp/a.accdb;User Id=admin;"
                         "Jet OLEDB:Database Password=x;");
    EXPECT_EQ(t.engine, Engine::SQLite);
    EXPECT_EQ(t.file, "/tmp/a.accdb");
    EXPECT_EQ(connectionTarget("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x.mdb").engine,
              Engine::SQLite);
    EXPECT_THROW(connectionTarget(""), DbError);
    EXPECT_THROW(connectionTarget("Provider=MSDASQL"), DbError);
}

// A port that is no port never falls back to the default one: the refusal names the server
// field and the port as typed, set apart left to right.
TEST(ConnectionString, APortThatIsNotOneIsRefused) {
    const auto server = [](const QString& source) {
        return connectionTarget("Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial "
                                "Catalog=X;Data Source=" +
                                source);
    };
    EXPECT_EQ(server("127.0.0.1, 5433 ").port, 5433);
    EXPECT_EQ(server("h\\inst,1").port, 1);
    EXPECT_EQ(server("h,65535").port, 65535);
    for (const QString port : {"5433x", "", "0", "65536", "-5", "54 33", "۵۴۳۳", "0x15"}) {
        SCOPED_TRACE(port.toStdString());
        try {
            server("127.0.0.1," + port);
            ADD_FAILURE() << "accepted";
        } catch (const DataSourceError& e) {
            EXPECT_TRUE(
                e.message().contains(QString::fromUtf8("نام سرور sql /محل قرارگيري فايل اكسس")));
            EXPECT_TRUE(e.message().contains(QChar(0x2066) + port + QChar(0x2069)))
                << e.message().toStdString();
        }
    }
    // A file's path may hold a comma.
    EXPECT_EQ(connectionTarget("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/a,b.mdb").file,
              "/d/a,b.mdb");
}

// Every value, whatever quotes and separators it holds, reads back as written and leaves
// the next keyword alone.
TEST(ConnectionString, QuotedValuesRoundTrip) {
    const QString alphabet = "a;\"'= ";
    QRandomGenerator gen(11);
    for (int n = 0; n < 3000; ++n) {
        QString v;
        for (int len = gen.bounded(9); len > 0; --len)
            v += alphabet[gen.bounded(alphabet.size())];
        const auto parts = parseConnectionString("Password=" + connectionStringValue(v) +
                                                 ";User ID=u;Integrated Security=none");
        ASSERT_EQ(parts.value("password"), v) << v.toStdString();
        ASSERT_EQ(parts.value("user id"), "u") << v.toStdString();
        ASSERT_EQ(parts.value("integrated security"), "none") << v.toStdString();
        ASSERT_EQ(parts.size(), 3) << v.toStdString();
    }
    EXPECT_EQ(connectionStringValue("plain text"), "plain text");
    EXPECT_EQ(connectionStringValue("x;y"), "\"x;y\"");
    EXPECT_EQ(parseConnectionString("A= \"q;\"\"\" ;B='it''s'").value("a"), "q;\"");
    EXPECT_EQ(parseConnectionString("A= \"q;\"\"\" ;B='it''s'").value("b"), "it's");
}

TEST(Dialect, TranslatesServerDefinitions) {
    const QString create = "create table t (\nid int identity primary key,\nus nvarchar(25),\n"
                           "f bit,\np image,\nsaat_sys datetime DEFAULT GETDATE() \n)";
    const QString lite = translateStatement(Engine::SQLite, create).join(';');
    EXPECT_TRUE(lite.contains("id integer primary key autoincrement"));
    EXPECT_TRUE(lite.contains("us nvarchar(25) constraint w_us_25 check(length(us)<=25)"));
    EXPECT_TRUE(lite.contains("f boolean"));
    EXPECT_TRUE(lite.contains("p blob"));
    EXPECT_TRUE(lite.contains("DEFAULT (datetime('now','localtime'))"));
    const QString pg = translateStatement(Engine::PostgreSQL, create).join(';');
    EXPECT_TRUE(pg.contains("id serial primary key"));
    EXPECT_TRUE(pg.contains("p bytea"));
    EXPECT_TRUE(pg.contains("DEFAULT LOCALTIMESTAMP"));

    const QString alter = "alter table otaghha \n add ext nvarchar(5), \n koroki image ";
    EXPECT_EQ(translateStatement(Engine::SQLite, alter).size(), 2);
    EXPECT_EQ(translateStatement(Engine::PostgreSQL, alter).size(), 1);
    EXPECT_EQ(translateStatement(Engine::SQLite, "select * from x").value(0), "select * from x");
    const auto w = widthViolationIn("CHECK constraint failed: w_exit_dat_10");
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->column, "exit_dat");
    EXPECT_EQ(w->width, 10);
}

TEST(Dialect, KafBlindLikeTouchesOnlyLikeConditionsOutsideLiterals) {
    const QString keheh(QChar(0x06A9));
    const QString kaf(QChar(0x0643));
    EXPECT_EQ(kafBlindLike("select * from phone where name<>'' and name like '%" + keheh + "%'"),
              "select * from phone where name<>'' and replace(name, '" + keheh + "', '" + kaf +
                  "') like '%" + kaf + "%'");
    EXPECT_EQ(kafBlindLike("select 1 where a.b LIKE  'x''y'"),
              "select 1 where replace(a.b, '" + keheh + "', '" + kaf + "') like 'x''y'");
    EXPECT_EQ(kafBlindLike("select 1 where cmt not like '%" + keheh + "%'"),
              "select 1 where replace(cmt, '" + keheh + "', '" + kaf + "') not like '%" + kaf +
                  "%'");
    // A literal that reads like a condition stays as it is, and so does everything else.
    for (const QString& same : {QString("select * from t where nam='x like ''y''' and n=2"),
                                QString("select * from t where nam='" + keheh + "' and likely='a'"),
                                QString("select * from t where nam like :p")})
        EXPECT_EQ(kafBlindLike(same), same);
}

class DbTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (GetParam() == Backend::PostgreSQL && !gctest::postgresAvailable())
            GTEST_SKIP() << "no PostgreSQL test server";
        conn = std::make_unique<Connection>("test" + QString::number(++counter));
        conn->setConnectionString(gctest::freshDatabase(GetParam()));
        conn->open();
        conn->execute("create table t (\nid int identity primary key,\nnam nvarchar(10),\n"
                      "flag bit,\nn int,\npic image\n)");
    }
    int countRows(const QString& where = "1=1") {
        QSqlQuery q(conn->database());
        q.exec("select count(*) from t where " + where);
        q.next();
        return q.value(0).toInt();
    }
    qint64 addRow(Query& q, const QString& name) {
        q.append();
        q.fieldByName("nam").setAsString(name);
        q.fieldByName("flag").setAsString("True");
        q.post();
        return q.fieldByName("id").asInteger();
    }
    static inline int counter = 0;
    std::unique_ptr<Connection> conn;
};

TEST_P(DbTest, AppendPostReadsBackKeyAndEditsById) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(q.eof());
    const qint64 a = addRow(q, "alpha");
    const qint64 b = addRow(q, "beta");
    EXPECT_GT(a, 0);
    EXPECT_GT(b, a);
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_TRUE(q.fieldByName("flag").asBoolean());
    EXPECT_EQ(q.fieldByName("flag").asString(), "True");

    q.first();
    q.edit();
    q.fieldByName("n").setAsString("42");
    q.post();
    EXPECT_EQ(countRows("n=42 and nam='alpha'"), 1);

    ASSERT_TRUE(q.locate("nam", "beta"));
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_FALSE(q.locate("nam", "gamma"));
    EXPECT_EQ(q.recNo(), 2);
    q.deleteRecord();
    EXPECT_EQ(countRows(), 1);
    EXPECT_EQ(q.recordCount(), 1);

    q.first();
    int seen = 0;
    while (!q.eof()) {
        ++seen;
        q.next();
    }
    EXPECT_EQ(seen, 1);
    EXPECT_THROW(q.fieldByName("nope"), DbError);
    EXPECT_THROW(q.fieldByName("nam").setAsString("x"), DbError); // not in edit mode
}

TEST_P(DbTest, FailedPostChangesNothingAndNamesTheColumn) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    q.append();
    q.fieldByName("nam").setAsString("12345678901");
    try {
        q.post();
        FAIL() << "a value longer than its column was stored";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("nam"));
    }
    EXPECT_EQ(q.state(), Query::State::Insert);
    q.cancel();
    EXPECT_EQ(countRows(), 0);

    // Raw statements are refused as well, on every engine.
    try {
        conn->execute("insert into t (nam) values ('12345678901')");
        FAIL() << "raw insert of a long value succeeded";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("nam")) << e.message().toStdString();
    }
    EXPECT_EQ(countRows(), 0);

    q.append();
    q.fieldByName("n").setAsString("twelve");
    EXPECT_THROW(q.post(), DbError);
    q.cancel();
    q.append();
    q.fieldByName("nam").setAsString(QString::fromUtf8("😀"));
    EXPECT_THROW(q.post(), DbError);
    q.cancel();
    EXPECT_EQ(countRows(), 0);
}

// The engine's English reason reads left to right inside the Persian message; a lost
// connection, which leaves the driver's texts empty, still says what happened.
TEST_P(DbTest, TheEnginesReasonIsSetApartAndNeverMissing) {
    try {
        conn->execute("select nam from nowhere_2");
        FAIL() << "a statement on a missing table ran";
    } catch (const DbError& e) {
        const QString start = QString::fromUtf8("خطاي بانک اطلاعاتي: ") + QChar(0x2066);
        EXPECT_TRUE(e.message().startsWith(start)) << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(QChar(0x2069))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("nowhere_2")) << e.message().toStdString();
    }
    EXPECT_EQ(conn->errorMessage(QSqlError({}, {}, QSqlError::ConnectionError)),
              QString::fromUtf8("خطاي بانک اطلاعاتي: ارتباط با سرور بانک اطلاعاتي قطع شد"));
    // A reason already in Persian (Qt's own, translated) stays as it is.
    const QString persian = QString::fromUtf8("اجرای پرس و جو ممکن نیست");
    EXPECT_EQ(conn->errorMessage(QSqlError(persian, {}, QSqlError::StatementError)),
              QString::fromUtf8("خطاي بانک اطلاعاتي: ") + persian);
}

// No engine keeps U+0000 inside a text; it is refused like any character the code page
// cannot hold, and nothing is written.
TEST_P(DbTest, TextWithANullCharacterIsRefusedLikeOtherUnsupportedCharacters) {
    const QString withNull = QString("ab") + QChar(0) + "cd";
    const QString check = QString::fromUtf8("ab✓");
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    QString nullMessage;
    QString checkMessage;
    for (const auto& [text, message] :
         {std::pair{withNull, &nullMessage}, std::pair{check, &checkMessage}}) {
        q.append();
        q.fieldByName("nam").setAsString(text);
        try {
            q.post();
            ADD_FAILURE() << "stored";
        } catch (const DbError& e) {
            *message = e.message();
        }
        q.cancel();
        EXPECT_THROW(conn->execute("insert into t (nam) values ('" + text + "')"), DbError);
    }
    EXPECT_TRUE(nullMessage.contains("U+0000")) << nullMessage.toStdString();
    EXPECT_FALSE(nullMessage.contains(QChar(0)));
    // The same words around the character's code.
    EXPECT_EQ(nullMessage.section(QChar(0xBB), 1).remove("U+0000"),
              checkMessage.section(QChar(0xBB), 1).remove("U+2713"));
    EXPECT_EQ(countRows(), 0);
}

TEST_P(DbTest, PersianTextIsStoredInTheCodePageRepertoire) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    addRow(q, QString::fromUtf8("علی ۱۲"));
    addRow(q, QString::fromUtf8("كيک"));
    Query r(*conn, "r");
    r.setSql(QString::fromUtf8("select * from t where nam='علي 12'"));
    r.open();
    EXPECT_EQ(r.recordCount(), 1);
    r.setSql(QString::fromUtf8("select * from t where nam='كيک'"));
    r.open();
    ASSERT_EQ(r.recordCount(), 1);
    EXPECT_EQ(r.fieldByName("nam").asString(), QString::fromUtf8("كيک"));
}

TEST_P(DbTest, LikeFindsANameWhicheverKafItWasStoredOrTypedWith) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    addRow(q, QString::fromUtf8("کريمي"));  // typed with the Persian keyboard
    addRow(q, QString::fromUtf8("كريمي2")); // with the Arabic one
    Query r(*conn, "r");
    for (const char* typed : {"%کريم%", "%كريم%"}) {
        r.setSql("select * from t where nam like '" + QString::fromUtf8(typed) + "' order by id");
        r.open();
        EXPECT_EQ(r.recordCount(), 2) << typed;
        // What the engine was given: another client running it finds the same rows.
        QSqlQuery plain(conn->database());
        ASSERT_TRUE(plain.exec("select count(*) from (" + r.engineSql() + ") s"));
        ASSERT_TRUE(plain.next());
        EXPECT_EQ(plain.value(0).toInt(), 2) << r.engineSql().toStdString();
        EXPECT_EQ(r.engineSql().contains("ilike"), GetParam() == Backend::PostgreSQL);
    }
    // What is stored is not changed.
    r.setSql("select * from t order by id");
    r.open();
    EXPECT_EQ(r.fieldByName("nam").asString(), QString::fromUtf8("کريمي"));
}

TEST_P(DbTest, BlobsRoundTripThroughFilesAndStreams) {
    QTemporaryDir dir;
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    QByteArray big(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator gen(7);
    for (auto& c : big)
        c = char(gen.bounded(256));
    const QList<QByteArray> samples = {QByteArray(""), QByteArray("\x00", 1), big};
    for (const QByteArray& bytes : samples) {
        const QString in = dir.filePath("in.bin");
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        q.append();
        q.fieldByName("pic").loadFromFile(in);
        q.post();
    }
    Query r(*conn, "r");
    r.setSql("select * from t order by id");
    r.open();
    for (const QByteArray& bytes : samples) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        r.fieldByName("pic").saveToStream(out);
        EXPECT_EQ(out.data().size(), bytes.size());
        EXPECT_TRUE(out.data() == bytes);
        r.next();
    }
    r.first();
    EXPECT_THROW(r.fieldByName("pic").saveToFile(dir.filePath("no/such/dir/x")), DbError);
}

TEST_P(DbTest, ModelFollowsTheQuery) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    QueryModel model(q);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 5);
    addRow(q, "a");
    addRow(q, "b");
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), "b");
    q.first();
    q.edit();
    q.fieldByName("nam").setAsString("z");
    q.post();
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "z");
    q.deleteRecord();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "b");
    // Re-pointing the query is what the grid shows next.
    q.sql().clear();
    q.sql().add("select nam from t");
    q.open();
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_P(DbTest, DeleteDropsItsOwnRowEvenWhenAViewMovesTheCurrentRow) {
    Query q(*conn, "q");
    q.setSql("select * from t order by id");
    q.open();
    for (const char* name : {"a", "b", "c", "d"})
        addRow(q, name);
    q.close();
    q.open();
    QueryModel model(q);
    // As a grid does: the removed row's neighbour becomes current while the row goes.
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, &model,
                     [&](const QModelIndex&, int first) { q.setRecNo(first); });
    ASSERT_TRUE(q.locate("nam", "d"));
    q.deleteRecord();
    ASSERT_TRUE(q.locate("nam", "b"));
    q.deleteRecord();
    EXPECT_EQ(countRows(), 2);
    EXPECT_EQ(countRows("nam in ('a', 'c')"), 2);
    QStringList shown;
    for (int r = 0; r < model.rowCount(); ++r)
        shown << model.data(model.index(r, 1)).toString();
    EXPECT_EQ(shown, (QStringList{"a", "c"}));
}

TEST_P(DbTest, LargeResultsAreReadInPages) {
    conn->execute("create table big (id int identity primary key, nam nvarchar(20))");
    QSqlDatabase db = conn->database();
    db.transaction();
    QSqlQuery ins(db);
    ins.prepare("insert into big (nam) values (?)");
    for (int i = 0; i < 3000; ++i) {
        ins.addBindValue(QString::number(i));
        ASSERT_TRUE(ins.exec());
    }
    db.commit();
    Query q(*conn, "q");
    q.setSql("select * from big where id<>-1 order by id desc");
    q.open();
    QueryModel model(q);
    EXPECT_LT(model.rowCount(), 3000); // only the first page so far
    EXPECT_TRUE(model.canFetchMore({}));
    EXPECT_EQ(q.recordCount(), 3000);
    q.setRecNo(2900);
    EXPECT_EQ(q.fieldByName("nam").asString(), "100");
    q.setRecNo(3);
    EXPECT_EQ(q.fieldByName("nam").asString(), "2997");
    q.last();
    EXPECT_EQ(q.fieldByName("nam").asString(), "0");
    q.setSort("nam ASC");
    q.first();
    EXPECT_EQ(q.fieldByName("nam").asString(), "0");
    q.setSort("");
    q.first();
    EXPECT_EQ(q.fieldByName("nam").asString(), "2999");
    EXPECT_THROW(q.setSort("nam; drop table big"), DbError);
}

// A keyed list and a plain statement hand over the same values of the same types: text, an
// empty text, NULLs, integers, fractions and pictures; a yes/no column reads as yes or no.
TEST_P(DbTest, ListValuesAreThoseOfAPlainStatement) {
    conn->execute("create table v (id int identity primary key, nam nvarchar(10), flag bit, "
                  "n int, amount float, pic image)");
    QSqlDatabase db = conn->database();
    QSqlQuery ins(db);
    ins.prepare("insert into v (nam, flag, n, amount, pic) values (?, ?, ?, ?, ?)");
    const QVariant noText(QMetaType::fromType<QString>());
    const QVariantList names = {QString::fromUtf8("علي"), QString(""), noText, QString("x y")};
    for (int i = 0; i < 4; ++i) {
        ins.addBindValue(names[i]);
        ins.addBindValue(i == 2 ? QVariant(QMetaType::fromType<bool>()) : QVariant(i % 2 == 1));
        ins.addBindValue(i == 1 ? QVariant(QMetaType::fromType<int>()) : QVariant(i * 100000007));
        ins.addBindValue(i == 3 ? QVariant(QMetaType::fromType<double>()) : QVariant(i + 0.25));
        ins.addBindValue(i == 0 ? QVariant(QMetaType::fromType<QByteArray>())
                                : QVariant(QByteArray("\0\1\2", i)));
        ASSERT_TRUE(ins.exec()) << ins.lastError().text().toStdString();
    }
    Query q(*conn, "q");
    q.setSql("select * from v where id<>-1 order by id");
    q.open();
    QSqlQuery plain(db);
    ASSERT_TRUE(plain.exec("select id, nam, flag, n, amount, pic from v order by id"));
    int rows = 0;
    for (q.first(); !q.eof(); q.next(), ++rows) {
        ASSERT_TRUE(plain.next());
        for (const QString& column : QStringList{"id", "nam", "n", "amount", "pic"}) {
            const QVariant ours = q.fieldByName(column).value();
            const QVariant theirs = plain.value(column);
            EXPECT_EQ(ours.isNull(), theirs.isNull()) << rows << column.toStdString();
            EXPECT_EQ(ours.typeId(), theirs.typeId()) << rows << column.toStdString();
            EXPECT_EQ(ours, theirs) << rows << column.toStdString();
        }
        const QVariant flag = q.fieldByName("flag").value();
        EXPECT_EQ(flag.isNull(), rows == 2);
        if (rows != 2) {
            EXPECT_EQ(flag, QVariant(rows % 2 == 1));
        }
    }
    EXPECT_EQ(rows, 4);
    EXPECT_FALSE(plain.next());
}

TEST_P(DbTest, PersistentFieldsExposeOnlyTheirOwn) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.setPersistentFields({{"ID", FieldKind::AutoInc}, {"pic", FieldKind::Blob}});
    q.open();
    EXPECT_EQ(q.fieldNames(), QStringList({"ID", "pic"}));
    q.setPersistentFields({{"ID", FieldKind::AutoInc}, {"missing", FieldKind::Blob}});
    EXPECT_THROW(q.open(), DbError);
    EXPECT_FALSE(q.isActive());
    q.setPersistentFields({{"nam", FieldKind::Float}});
    EXPECT_THROW(q.open(), DbError);
}

TEST_P(DbTest, KeysKeepRisingAfterDeletes) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    const qint64 first = addRow(q, "a");
    conn->execute("delete from t");
    q.refresh();
    const qint64 second = addRow(q, "b");
    EXPECT_GT(second, first);
}

TEST_P(DbTest, EditOfARowDeletedElsewhereSaysSo) {
    Query q(*conn, "q");
    q.setSql("select * from t");
    q.open();
    addRow(q, "a");
    conn->execute("delete from t");
    q.edit();
    q.fieldByName("nam").setAsString("b");
    EXPECT_THROW(q.post(), DbError);
    q.cancel();
    EXPECT_EQ(countRows(), 0);
}

// Between two saves another workstation changes a column: the row read back shows its value,
// but a later save of that column is guarded with what the user saw, and refused. The columns
// the query wrote go on being written, and a row shown afresh or searched again starts anew.
TEST_P(DbTest, ALaterSaveIsGuardedWithWhatTheUserSawNotWithTheRowReadBack) {
    const auto stored = [this] {
        QSqlQuery r(conn->database());
        r.exec("select nam, n from t");
        return r.next() ? r.value(0).toString() + "|" + r.value(1).toString() : QString();
    };
    for (const bool added : {false, true}) {
        SCOPED_TRACE(added ? "a row the query added" : "a row as read");
        conn->execute("delete from t");
        if (!added)
            conn->execute("insert into t (nam, n) values ('a', 1)");
        Query q(*conn, "q");
        q.setSql("select * from t");
        q.open();
        const auto save = [&q](const QString& field, const QString& value) {
            q.edit();
            q.fieldByName(field).setAsString(value);
            try {
                q.post();
                return QString();
            } catch (const DbError& e) {
                q.cancel();
                return e.message();
            }
        };
        if (added) {
            q.append();
            q.fieldByName("nam").setAsString("a");
            q.fieldByName("n").setAsString("1");
            q.post();
        }
        conn->execute("update t set n = 7");
        for (const QString name : {"b", "a", "c"})
            EXPECT_EQ(save("nam", name), "") << name.toStdString();
        EXPECT_EQ(q.fieldByName("n").asString(), "7");
        EXPECT_EQ(save("n", "2"), changedMeanwhileMessage("n"));
        EXPECT_EQ(stored(), "c|7");

        q.markCurrentSeen();
        EXPECT_EQ(save("n", "2"), "");
        EXPECT_EQ(save("n", "3"), "");
        EXPECT_EQ(stored(), "c|3");

        conn->execute("update t set nam = 'd'");
        EXPECT_EQ(save("nam", "e"), changedMeanwhileMessage("nam"));
        q.refresh();
        EXPECT_EQ(save("nam", "e"), "");
        EXPECT_EQ(stored(), "e|3");
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, DbTest, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& p) { return gctest::backendName(p.param).toStdString(); });

TEST(SqliteFile, RefusesAFileThatIsNotADatabaseAndLeavesItAlone) {
    QTemporaryDir dir;
    QFile f(dir.filePath("real.accdb"));
    const QByteArray access = QByteArray("\x00\x01\x00\x00Standard ACE DB", 19).repeated(300);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(access);
    f.close();
    Connection c("notdb");
    c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + f.fileName());
    try {
        c.open();
        FAIL() << "a file of another kind was opened";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  QString::fromUtf8("فايل «\u2066%1\u2069» بانک اطلاعاتي اين برنامه نيست")
                      .arg(f.fileName()));
    }
    EXPECT_FALSE(c.connected());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == access);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"real.accdb"});
}

// The file holds the users' passwords: a new one, its log and its shared memory are the
// owner's alone, whatever the process's umask lets through.
TEST(SqliteFile, ANewFileIsReadableByItsOwnerOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.accdb");
    const mode_t previous = umask(0);
    Connection c("newfile");
    c.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path);
    c.open();
    umask(previous);
    c.execute("create table t (id int identity primary key, nam nvarchar(10))");
    c.execute("insert into t (nam) values ('x')");
    for (const QString& file : {path, path + "-wal", path + "-shm"}) {
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(file).constData(), &st), 0) << file.toStdString();
        EXPECT_EQ(st.st_mode & 0777, 0600u) << file.toStdString();
    }
}

// Through a link to a file not made yet (a chain of them, a relative one) the file made is
// the owner's alone too.
TEST(SqliteFile, ANewFileMadeThroughALinkIsReadableByItsOwnerOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("data"));
    const QString target = dir.filePath("data/gate.accdb");
    ASSERT_TRUE(QFile::link("data/gate.accdb", dir.filePath("near.accdb")));
    ASSERT_TRUE(QFile::link(dir.filePath("near.accdb"), dir.filePath("far.accdb")));
    const mode_t previous = umask(0022);
    Connection c("linked");
    c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" +
                          dir.filePath("far.accdb"));
    c.open();
    umask(previous);
    c.execute("create table t (id int identity primary key, nam nvarchar(10))");
    for (const QString& file : {target, target + "-wal", target + "-shm"}) {
        struct stat st {};
        ASSERT_EQ(lstat(QFile::encodeName(file).constData(), &st), 0) << file.toStdString();
        EXPECT_TRUE(S_ISREG(st.st_mode)) << file.toStdString();
        EXPECT_EQ(st.st_mode & 0777, 0600u) << file.toStdString();
    }
}

namespace {

// Opens `file` on another thread; a FIFO the open waits on is given a writer, so the test ends
// either way. Returns the refusal, or why there was none.
QString refusalOf(const QString& file, bool readOnly) {
    std::atomic<bool> done{false};
    QString said = "opened";
    std::thread opening([&] {
        Connection c(readOnly ? "special-ro" : "special-rw");
        c.setReadOnly(readOnly);
        c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + file);
        try {
            c.open();
        } catch (const DbError& e) {
            said = e.message();
        }
        done = true;
    });
    for (int i = 0; i < 500 && !done; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!done) {
        said = "waited for a writer";
        const int writer = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_NONBLOCK);
        opening.join();
        if (writer >= 0)
            ::close(writer);
        return said;
    }
    opening.join();
    return said;
}

} // namespace

// A FIFO, a device and a folder are refused by name before anything opens them, read-only
// (the transfer's source) as read-write; nothing is made beside them.
TEST(SqliteFile, WhatIsNotAFileIsRefusedBeforeAnyOpen) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.accdb");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.accdb"));
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("device.accdb")));
    for (const QString name : {"pipe.accdb", "folder.accdb", "device.accdb"}) {
        for (const bool readOnly : {true, false}) {
            SCOPED_TRACE(name.toStdString() + (readOnly ? " read-only" : " read-write"));
            const QString file = dir.filePath(name);
            EXPECT_EQ(refusalOf(file, readOnly),
                      QString::fromUtf8("«\u2066%1\u2069» فايل نيست (پوشه، دستگاه يا لوله است) "
                                        "و بانک اطلاعاتي نمي شود")
                          .arg(file));
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              (QStringList{"device.accdb", "folder.accdb", "pipe.accdb"}));
}

// A file that is not yet the program's own keeps its bytes and its write-ahead log as they were
// when the connection closes, read-write or read-only; once taken as the program's own, its log
// is copied into it at the close.
TEST(SqliteFile, AFileNotYetTheProgramsOwnKeepsItsLogAsItWas) {
    QTemporaryDir dir;
    const QString file = dir.filePath("other.db");
    ASSERT_TRUE(gctest::leaveFileWithLog(
        file, "create table notes (v text); insert into notes values ('kept');"));
    const QByteArray bytes = gctest::fileBytes(file);
    const QByteArray log = gctest::fileBytes(file + "-wal");
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "read-write");
        {
            Connection c("other");
            c.setReadOnly(readOnly);
            c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + file);
            c.open();
            QSqlQuery q(c.database());
            ASSERT_TRUE(q.exec("select v from notes") && q.next());
            EXPECT_EQ(q.value(0).toString(), "kept");
        }
        EXPECT_TRUE(gctest::fileBytes(file) == bytes);
        EXPECT_TRUE(gctest::fileBytes(file + "-wal") == log);
    }
    {
        Connection c("own");
        c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + file);
        c.open();
        c.useAsOwnFile();
    }
    EXPECT_FALSE(QFile::exists(file + "-wal"));
    EXPECT_FALSE(gctest::fileBytes(file) == bytes);
}

TEST(Postgres, UnreachableServerFailsQuickly) {
    Connection c("unreach");
    c.setConnectionString("Provider=SQLOLEDB.1;Password=x;User ID=sa;Initial Catalog=x;"
                          "Data Source=127.0.0.1,1");
    EXPECT_THROW(c.open(), DbError);
}

// A server's timestamp holds microseconds, Qt's value milliseconds: the guarded edit compares
// what was read to the microsecond. A row is edited whatever digits its timestamp holds, and a
// change made elsewhere is refused, a change of a microsecond too.
TEST(Postgres, TheGuardedEditComparesTimestampsToTheMicrosecond) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    Connection c("stamps");
    c.setConnectionString(database);
    c.open();
    Connection other("stamps_elsewhere");
    other.setConnectionString(database);
    other.open();
    c.execute("create table s (id int identity primary key, nam nvarchar(10), saat_sys datetime)");
    const auto stamp = [&c] {
        QSqlQuery q(c.database());
        return q.exec("select saat_sys::text from s") && q.next() ? q.value(0).toString()
                                                                  : QString();
    };
    const QDateTime morning(QDate(2024, 1, 2), QTime(8, 0));
    for (const QString sql : {"select * from s", "select * from s order by saat_sys desc"}) {
        SCOPED_TRACE(sql.toStdString());
        c.execute("delete from s");
        c.execute("insert into s (nam, saat_sys) values ('a', '2024-01-01 12:00:00.123456')");
        Query q(c, "q");
        q.setSql(sql);
        q.open();
        q.edit();
        q.fieldByName("nam").setAsString("b");
        EXPECT_NO_THROW(q.post());
        q.edit();
        q.fieldByName("saat_sys").setValue(morning.addMSecs(1));
        q.fieldByName("nam").setAsString("c");
        EXPECT_NO_THROW(q.post());
        EXPECT_EQ(stamp(), "2024-01-02 08:00:00.001");

        // Elsewhere, by a microsecond: the saved row, then the row as read, refuse the edit.
        other.execute("update s set saat_sys = '2024-01-02 08:00:00.001001'");
        q.edit();
        q.fieldByName("saat_sys").setValue(morning);
        EXPECT_THROW(q.post(), DbError);
        q.cancel();
        q.close();
        q.open();
        other.execute("update s set saat_sys = '2024-01-02 08:00:00.001002'");
        q.edit();
        q.fieldByName("saat_sys").setValue(morning);
        try {
            q.post();
            ADD_FAILURE() << "a change made elsewhere was overwritten";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), changedMeanwhileMessage("saat_sys"));
        }
        q.cancel();
        EXPECT_EQ(stamp(), "2024-01-02 08:00:00.001002");
    }
}

// A stamp changed elsewhere between two saves refuses the second, which writes it; one this
// query wrote guards the next save with the exact text it was stored with.
TEST(Postgres, ALaterSaveOfAStampChangedElsewhereIsRefused) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    Connection c("later_stamps");
    c.setConnectionString(database);
    c.open();
    Connection other("later_stamps_elsewhere");
    other.setConnectionString(database);
    other.open();
    c.execute("create table s (id int identity primary key, nam nvarchar(10), saat_sys datetime)");
    c.execute("insert into s (nam, saat_sys) values ('a', '2024-01-01 12:00:00.123456')");
    const auto stamp = [&c] {
        QSqlQuery q(c.database());
        return q.exec("select saat_sys::text from s") && q.next() ? q.value(0).toString()
                                                                  : QString();
    };
    const QDateTime morning(QDate(2024, 1, 2), QTime(8, 0));
    Query q(c, "q");
    q.setSql("select * from s");
    q.open();
    other.execute("update s set saat_sys = '2024-01-01 12:00:00.123457'");
    q.edit();
    q.fieldByName("nam").setAsString("b");
    EXPECT_NO_THROW(q.post());
    q.edit();
    q.fieldByName("saat_sys").setValue(morning);
    try {
        q.post();
        ADD_FAILURE() << "a change made elsewhere was overwritten";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), changedMeanwhileMessage("saat_sys"));
    }
    q.cancel();
    EXPECT_EQ(stamp(), "2024-01-01 12:00:00.123457");

    q.markCurrentSeen();
    for (const int ms : {1, 0, 1}) {
        q.edit();
        q.fieldByName("saat_sys").setValue(morning.addMSecs(ms));
        EXPECT_NO_THROW(q.post()) << ms;
    }
    EXPECT_EQ(stamp(), "2024-01-02 08:00:00.001");
}

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool writeAll(int fd, const char* data, ssize_t size) {
    for (ssize_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, std::size_t(size - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A listening socket on the loopback at a free port, and the port.
std::pair<int, int> listenOnLoopback() {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener, 8);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    return {listener, ntohs(address.sin_port)};
}

// A connection to the test server's `port`.
int connectToServer(int port) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    ::connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return server;
}

// A link to the test server through a port of its own on the loopback: each connection made
// to it is passed on to the server by pass(), in a thread of its own. A kind of link starts
// it once made and finishes it before its own members go.
class Relay {
  public:
    explicit Relay(int serverPort) : serverPort_(serverPort) {
        std::tie(listener_, port_) = listenOnLoopback();
    }
    virtual ~Relay() = default;
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;
    int port() const { return port_; }

  protected:
    void start() {
        acceptor_ = std::thread([this] { accept(); });
    }
    void finish() {
        stop_ = true;
        acceptor_.join();
        for (std::thread& t : passes_)
            t.join();
        ::close(listener_);
    }
    bool stopping() const { return stop_; }
    // Passes what comes either way until either end closes or the link finishes, then closes
    // both.
    virtual void pass(int client, int server) = 0;

  private:
    void accept() {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int client = ::accept(listener_, nullptr, nullptr);
            const int server = connectToServer(serverPort_);
            passes_.emplace_back([this, client, server] { pass(client, server); });
        }
    }

    const int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic_bool stop_{false};
    std::thread acceptor_;
    std::vector<std::thread> passes_; // the acceptor's own until it is joined
};

// A slow link to the test server: what passes either way passes at `bytesPerSecond`.
class SlowLink : public Relay {
  public:
    SlowLink(int serverPort, int bytesPerSecond) : Relay(serverPort), rate_(bytesPerSecond) {
        start();
    }
    ~SlowLink() override { finish(); }

  private:
    // Each way has its own allowance of rate_ bytes a second.
    void pass(int client, int server) override {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        qint64 sent[2] = {0, 0};
        char buffer[16384];
        pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        bool open = true;
        while (open && !stopping() && ::poll(fds, 2, 50) >= 0) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            bool held = false;
            for (int from = 0; from < 2 && open; ++from) {
                if (!fds[from].revents)
                    continue;
                const qint64 allowed =
                    std::min<qint64>(qint64(seconds * rate_) - sent[from], qint64(sizeof buffer));
                if (allowed <= 0) {
                    held = true;
                    continue;
                }
                const ssize_t n = ::read(fds[from].fd, buffer, std::size_t(allowed));
                open = n > 0 && writeAll(fds[1 - from].fd, buffer, n);
                sent[from] += n;
            }
            if (held)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::close(client);
        ::close(server);
    }

    const int rate_;
};

// One load on a connection of its own, in a thread of its own (a connection belongs to the
// thread that opened it): how long it ran, and the error it met.
struct Load {
    QString error;
    qint64 ms = 0;
};

void runLoad(const QString& name, const QString& connectionString,
             const std::function<void(Connection&)>& work, Load& out) {
    QElapsedTimer timer;
    timer.start();
    try {
        Connection c(name);
        c.setConnectionString(connectionString);
        c.open();
        work(c);
    } catch (const DbError& e) {
        out.error = e.message();
    }
    out.ms = timer.elapsed();
}

} // namespace

// A server that keeps answering is never given up on, however long the work lasts: short
// statements back to back, a slow stream of rows, one large value down or up a slow link.
TEST(Postgres, AServerThatKeepsAnsweringIsNeverCut) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    using namespace std::chrono_literals;
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    const QString server = gctest::postgresDataSource();
    SlowLink link(server.section(',', 1).toInt(), 200 * 1024);
    QString slow = database;
    slow.replace("Data Source=" + server, "Data Source=127.0.0.1," + QString::number(link.port()));
    Load statements, rows, value, upload;
    QElapsedTimer timer;
    std::thread first([&] {
        runLoad(
            "answering1", database,
            [](Connection& c) {
                const double pauses[] = {0.01, 0.5, 0.1, 0.3, 0.05};
                QElapsedTimer t;
                t.start();
                for (int i = 0; t.elapsed() < 20000; ++i)
                    c.execute(QStringLiteral("select pg_sleep(%1)").arg(pauses[i % 5]));
            },
            statements);
    });
    // Rows wider than the server's send buffer, so that each leaves as it is made.
    std::thread second([&] {
        runLoad(
            "answering2", database,
            [&rows](Connection& c) {
                ForwardReader r(c, "select g, repeat('x', 10000) as pad, pg_sleep(0.05) from "
                                   "generate_series(1, 400) g");
                int read = 0;
                while (r.next())
                    ++read;
                if (read != 400)
                    rows.error = QStringLiteral("%1 rows").arg(read);
            },
            rows);
    });
    std::thread third([&] {
        runLoad(
            "answering3", slow,
            [&value](Connection& c) {
                ForwardReader r(c, "select repeat('x', 4194304) as v");
                if (!r.next() || r.text(0).size() != 4194304)
                    value.error = QStringLiteral("the value did not arrive whole");
            },
            value);
    });
    // Nothing arrives while the value goes up: the server taking it is the progress.
    std::thread fourth([&] {
        runLoad(
            "answering4", slow,
            [](Connection& c) {
                Statement q(c);
                if (!q.exec("create table upload (v text)") ||
                    !q.prepare("insert into upload (v) values (?)"))
                    throw DbError(c.errorMessage(q.lastError()));
                q.addBindValue(QString(4194304, QChar('x')));
                if (!q.exec())
                    throw DbError(c.errorMessage(q.lastError()));
            },
            upload);
    });
    for (std::thread* t : {&first, &second, &third, &fourth})
        t->join();
    // Each lasted well beyond the limit of silence.
    const std::tuple<const char*, const Load&, int> loads[] = {{"statements", statements, 20000},
                                                               {"rows", rows, 20000},
                                                               {"value", value, 18000},
                                                               {"upload", upload, 18000}};
    for (const auto& [name, load, least] : loads) {
        EXPECT_TRUE(load.error.isEmpty())
            << name << " cut at " << load.ms << " ms: " << load.error.toStdString();
        EXPECT_GE(load.ms, least) << name;
    }
}

// Another workstation holds the row: the save waits less than the watch's limit and says
// what happened; nothing is written, and the save goes through once the row is free.
TEST(Postgres, ARowLockedAtAnotherWorkstationIsReportedAsSuch) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    Connection c("locked");
    c.setConnectionString(gctest::freshDatabase(Backend::PostgreSQL));
    c.open();
    c.execute("create table t (id int identity primary key, nam nvarchar(10))");
    c.execute("insert into t (nam) values ('a')");
    Connection other("holder");
    other.setConnectionString(c.connectionString());
    other.open();
    other.beginTransaction();
    other.execute("select nam from t for update");
    Query q(c, "q");
    q.setSql("select * from t");
    q.open();
    q.edit();
    q.fieldByName("nam").setAsString("b");
    QElapsedTimer waited;
    waited.start();
    try {
        q.post();
        ADD_FAILURE() << "saved over a locked row";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("در ايستگاه ديگري در حال تغيير است")))
            << e.message().toStdString();
    }
    EXPECT_GE(waited.elapsed(), 9000);
    EXPECT_LT(waited.elapsed(), 11500);
    EXPECT_EQ(q.fieldByName("nam").asString(), "b");
    other.rollback();
    EXPECT_EQ(other.execute("update t set id = id where nam = 'a'"), 1);
    q.post();
    EXPECT_EQ(other.execute("update t set id = id where nam = 'b'"), 1);
}

// The server goes silent in the middle of a commit (a check run at commit takes 30 s): the
// watch gives up, the save's outcome is asked over a new connection, and the save, rolled
// back by the ended server process, is reported as not done.
TEST(Postgres, ACommitGivenUpAndRolledBackIsReportedNotDone) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    Connection c("slowcommit");
    c.setConnectionString(gctest::freshDatabase(Backend::PostgreSQL));
    c.open();
    c.execute("create table t (id int identity primary key, nam nvarchar(10))");
    QSqlQuery slow(c.database());
    ASSERT_TRUE(slow.exec("create function slow() returns trigger language plpgsql as "
                          "$$ begin perform pg_sleep(30); return null; end $$"));
    ASSERT_TRUE(slow.exec("create constraint trigger slow after insert on t deferrable "
                          "initially deferred for each row execute function slow()"));
    Query q(c, "q");
    q.setSql("select * from t");
    q.open();
    q.append();
    q.fieldByName("nam").setAsString("a");
    QElapsedTimer waited;
    waited.start();
    try {
        q.post();
        ADD_FAILURE() << "a save the server rolled back was taken as done";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QString::fromUtf8("سرور بانک اطلاعاتي در 12 ثانيه")))
            << e.message().toStdString();
    }
    EXPECT_LT(waited.elapsed(), 15000);
    EXPECT_EQ(q.fieldByName("nam").asString(), "a");
    q.cancel();
    // The next action opens the connection again.
    EXPECT_EQ(c.execute("update t set id = id"), 0);
}

namespace {

// A link to the test server that stops forwarding, as a network cut does. At the first
// statement holding the trigger text sent over it, that connection passes nothing more either
// way (or, in a partition, no connection does, new ones included) until heal(); what was
// held then goes on. Told a server process instead, it stops that process there and passes
// the statement.
class HoldingLink : public Relay {
  public:
    explicit HoldingLink(int serverPort) : Relay(serverPort) { start(); }
    ~HoldingLink() override { finish(); }
    void holdAt(const QByteArray& trigger, bool partition = false) {
        std::lock_guard lock(mutex_);
        trigger_ = trigger;
        partitionAtTrigger_ = partition;
    }
    void stopServerAt(const QByteArray& trigger, pid_t server) {
        std::lock_guard lock(mutex_);
        trigger_ = trigger;
        stopped_ = server;
    }
    void heal() {
        partition_ = false;
        ++heals_;
    }

  private:
    // True when this chunk from the client holds the trigger: the link then holds (or stops
    // the server process and passes it).
    bool triggered(const QByteArray& chunk) {
        std::lock_guard lock(mutex_);
        if (trigger_.isEmpty() || !chunk.contains(trigger_))
            return false;
        trigger_.clear();
        if (stopped_ > 0) {
            ::kill(stopped_, SIGSTOP);
            stopped_ = 0;
            return false;
        }
        partition_ = partitionAtTrigger_.load();
        return true;
    }
    void pass(int client, int server) override {
        bool held = false;
        int healsSeen = 0;
        QByteArray pending;
        bool open = true;
        while (open && !stopping()) {
            if (!held && partition_) {
                held = true;
                healsSeen = heals_;
            }
            if (held && heals_ != healsSeen) {
                held = false;
                open = writeAll(server, pending.constData(), pending.size());
                pending.clear();
            }
            if (held) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            if (::poll(fds, 2, 50) < 0)
                break;
            char buffer[16384];
            for (int from = 0; from < 2 && open && !held; ++from) {
                if (!fds[from].revents)
                    continue;
                const ssize_t n = ::read(fds[from].fd, buffer, sizeof buffer);
                const QByteArray chunk(buffer, n > 0 ? n : 0);
                if (n > 0 && from == 0 && triggered(chunk)) {
                    held = true;
                    healsSeen = heals_;
                    pending = chunk;
                    continue;
                }
                open = n > 0 && writeAll(fds[1 - from].fd, chunk.constData(), chunk.size());
            }
        }
        ::close(client);
        ::close(server);
    }

    std::mutex mutex_;
    QByteArray trigger_;
    pid_t stopped_ = 0;
    std::atomic_bool partitionAtTrigger_{false};
    std::atomic_bool partition_{false};
    std::atomic_int heals_{0};
};

// The connection string of `database` through `link`.
QString through(const HoldingLink& link, QString database) {
    return database.replace("Data Source=" + gctest::postgresDataSource(),
                            "Data Source=127.0.0.1," + QString::number(link.port()));
}

int serverPort() {
    return gctest::postgresDataSource().section(',', 1).toInt();
}

QVariant firstValue(Connection& c, const QString& sql) {
    Statement q(c);
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

bool toldNotDone(const QString& message) {
    return message.startsWith(QString::fromUtf8("سرور بانک اطلاعاتي در 12 ثانيه پاسخ نداد؛ کار "
                                                "انجام نشد"));
}

struct StepRun {
    QString told; // empty: told saved
    qint64 ms = 0;
    QString retried; // the next save's error, if any
    qint64 prepared = -1;
};

// One save that meets the cut at `trigger`, then the same save again.
void saveCutAt(const QString& database, const QByteArray& trigger, bool stopServer, StepRun& out) {
    HoldingLink link(serverPort());
    const QString name = QString::fromLatin1(trigger.left(8)) + (stopServer ? "-s" : "-h");
    Connection c(name);
    c.setConnectionString(through(link, database));
    c.open();
    Query q(c, "q");
    q.setSql("select * from t");
    q.open();
    q.append();
    q.fieldByName("nam").setAsString(name);
    const pid_t server = pid_t(firstValue(c, "select pg_backend_pid()").toInt());
    if (stopServer)
        link.stopServerAt(trigger, server);
    else
        link.holdAt(trigger);
    QElapsedTimer timer;
    timer.start();
    try {
        q.post();
    } catch (const DbError& e) {
        out.told = e.message();
    }
    out.ms = timer.elapsed();
    if (stopServer)
        ::kill(server, SIGCONT);
    try {
        if (q.state() == Query::State::Insert)
            q.post();
    } catch (const DbError& e) {
        out.retried = e.message();
    }
    out.prepared = firstValue(c, "select count(*) from pg_prepared_statements").toLongLong();
}

} // namespace

// Each step of a save meets a link that stops forwarding, or its server process stopped: the
// save is given up within the limit and told not done, the next save reconnects and stores
// it once, and no statement is left on the server.
TEST(Postgres, ASaveCutAtAnyStepIsGivenUpAndTheNextSaveStoresItOnce) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    {
        Connection c("steps");
        c.setConnectionString(database);
        c.open();
        c.execute("create table t (id int identity primary key, nam nvarchar(20))");
    }
    const std::vector<std::pair<QByteArray, bool>> steps = {
        {"BEGIN", false},      {"txid_current", false}, {"PREPARE", false}, {"EXECUTE", false},
        {"DEALLOCATE", false}, {"COMMIT", false},       {"EXECUTE", true},  {"DEALLOCATE", true}};
    std::vector<StepRun> runs(steps.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < steps.size(); ++i)
        threads.emplace_back(
            [&, i] { saveCutAt(database, steps[i].first, steps[i].second, runs[i]); });
    for (std::thread& t : threads)
        t.join();
    Connection check("stepscheck");
    check.setConnectionString(database);
    check.open();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const QString name =
            QString::fromLatin1(steps[i].first.left(8)) + (steps[i].second ? "-s" : "-h");
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(toldNotDone(runs[i].told)) << runs[i].told.toStdString();
        EXPECT_LT(runs[i].ms, std::chrono::milliseconds(Connection::kOutcomeLimit).count());
        EXPECT_TRUE(runs[i].retried.isEmpty()) << runs[i].retried.toStdString();
        EXPECT_EQ(runs[i].prepared, 0);
        EXPECT_EQ(firstValue(check, "select count(*) from t where nam = '" + name + "'").toInt(),
                  1);
    }
}

// Refused saves, by the engine or because the row changed meanwhile, leave no prepared
// statement on the connection's server session.
TEST(Postgres, RefusedSavesLeaveNoStatementOnTheServer) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    Connection c("refusals");
    c.setConnectionString(gctest::freshDatabase(Backend::PostgreSQL));
    c.open();
    c.execute("create table u (id int identity primary key, nam nvarchar(10) unique)");
    c.execute("insert into u (nam) values ('a')");
    Query q(c, "q");
    q.setSql("select * from u");
    q.open();
    for (int i = 0; i < 3; ++i) {
        q.append();
        q.fieldByName("nam").setAsString("a");
        EXPECT_THROW(q.post(), DbError);
        q.cancel();
    }
    q.first();
    c.execute("update u set nam = 'b'");
    q.edit();
    q.fieldByName("nam").setAsString("c");
    EXPECT_THROW(q.post(), DbError);
    q.cancel();
    EXPECT_EQ(firstValue(c, "select count(*) from pg_prepared_statements").toInt(), 0);
}

// A write sent into a partition that heals 5 s after the guard was told: the row is as told.
TEST(Postgres, APlainWriteCutByAPartitionIsAsTheGuardWasTold) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    Connection direct("direct");
    direct.setConnectionString(database);
    direct.open();
    direct.execute("create table p (id int identity primary key, nam nvarchar(10))");
    direct.execute("insert into p (nam) values ('a')");
    HoldingLink link(serverPort());
    Connection c("partitioned");
    c.setConnectionString(through(link, database));
    c.open();
    link.holdAt("update", true);
    QString told;
    QElapsedTimer timer;
    timer.start();
    try {
        c.execute("update p set nam = 'b'");
    } catch (const DbError& e) {
        told = e.message();
    }
    EXPECT_LT(timer.elapsed(), std::chrono::milliseconds(Connection::kOutcomeLimit).count());
    std::this_thread::sleep_for(std::chrono::seconds(5));
    link.heal();
    std::this_thread::sleep_for(std::chrono::seconds(2)); // what was held reaches the server
    const QString stored = firstValue(direct, "select nam from p").toString();
    if (told.isEmpty())
        EXPECT_EQ(stored, "b");
    else
        EXPECT_TRUE(toldNotDone(told) && stored == "a")
            << told.toStdString() << " / " << stored.toStdString();
    EXPECT_EQ(c.execute("update p set nam = 'c'"), 1);
    EXPECT_EQ(firstValue(direct, "select nam from p").toString(), "c");
}

// Without a descriptor for its watch the connection is refused with a message, never left
// unwatched and never hanging.
TEST(Postgres, AConnectionWhoseWatchCannotStartIsRefused) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
#ifdef __SANITIZE_ADDRESS__
    // The undefined-behaviour checker probes memory through a pipe of its own: with no
    // descriptor left it takes every object for a broken one.
    GTEST_SKIP() << "the sanitizers' own probes need descriptors";
#endif
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int highest = ::dup(0);
    ::close(highest);
    QStringList refusals;
    bool opened = false;
    for (int spare = 0; spare < 12 && !opened; ++spare) {
        rlimit low = saved;
        low.rlim_cur = rlim_t(highest + spare);
        ::setrlimit(RLIMIT_NOFILE, &low);
        Connection c("unwatched" + QString::number(spare));
        c.setConnectionString(database);
        try {
            c.open();
            opened = true;
        } catch (const DbError& e) {
            refusals << e.message();
        }
        ::setrlimit(RLIMIT_NOFILE, &saved);
    }
    EXPECT_TRUE(opened);
    EXPECT_FALSE(refusals.filter(QString::fromUtf8("نمي توان زير نظر گرفت")).isEmpty())
        << refusals.join('\n').toStdString();
}

// A table another workstation holds for writing is waited for as a row is, then named.
TEST(Postgres, ATableLockedAtAnotherWorkstationIsNamed) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    Connection c("tablelock");
    c.setConnectionString(gctest::freshDatabase(Backend::PostgreSQL));
    c.open();
    c.execute("create table w (id int identity primary key, nam nvarchar(10))");
    Connection other("tableholder");
    other.setConnectionString(c.connectionString());
    other.open();
    other.beginWriteTransaction("w");
    try {
        c.beginWriteTransaction("w");
        ADD_FAILURE() << "took a table held elsewhere";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QString::fromUtf8("جدول «w» همين حالا در ايستگاه ديگري در حال نوشتن است")))
            << e.message().toStdString();
    }
    other.rollback();
    c.beginWriteTransaction("w");
    c.execute("insert into w (nam) values ('a')");
    c.commit();
    EXPECT_EQ(other.execute("update w set nam = 'b' where nam = 'a'"), 1);
}

namespace {

qint64 serverProcess(Connection& c) {
    return firstValue(c, "select pg_backend_pid()").toLongLong();
}

bool gaveUp(const QString& message) {
    return message.startsWith(QString::fromUtf8("سرور بانک اطلاعاتي در 12 ثانيه"));
}

} // namespace

// The watch knows the connection of the moment: after a reopen it ends the new server
// process when the server goes silent, not the one lost before.
TEST(Postgres, TheWatchFollowsTheConnectionThroughAReopen) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    Connection c("reopened");
    c.setConnectionString(gctest::freshDatabase(Backend::PostgreSQL));
    c.open();
    Connection other("ender");
    other.setConnectionString(c.connectionString());
    other.open();
    const qint64 first = serverProcess(c);
    other.execute(QStringLiteral("select pg_terminate_backend(%1, 5000)").arg(first));
    c.revive();
    const qint64 second = serverProcess(c);
    ASSERT_NE(second, 0);
    EXPECT_NE(second, first);
    try {
        c.execute("select pg_sleep(30)");
        ADD_FAILURE() << "a silent server was waited for";
    } catch (const DbError& e) {
        EXPECT_TRUE(gaveUp(e.message())) << e.message().toStdString();
    }
    QSqlQuery left(other.database());
    ASSERT_TRUE(
        left.exec(
            QStringLiteral("select count(*) from pg_stat_activity where pid = %1").arg(second)) &&
        left.next());
    EXPECT_EQ(left.value(0).toInt(), 0);
}

// A statement's rows are one wait: a stream of rows longer than the limit is read whole, and a
// server that goes silent in the middle of the rows is still given up.
TEST(Postgres, RowsReadForwardAreOneWaitThatSilenceStillEnds) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    const QString database = gctest::freshDatabase(Backend::PostgreSQL);
    // Rows wider than the server's send buffer, so that each leaves as it is made.
    const auto read = [](Connection& c, const QString& sleep, int& rows) {
        StatementRows r(c, "select g, repeat('x', 10000), " + sleep +
                               " from generate_series(1, 300) g");
        while (r.next())
            ++rows;
    };
    Load streamed, silenced;
    int streamedRows = 0;
    int silencedRows = 0;
    std::thread stream([&] {
        runLoad(
            "stream", database, [&](Connection& c) { read(c, "pg_sleep(0.05)", streamedRows); },
            streamed);
    });
    std::thread silence([&] {
        runLoad(
            "silence", database,
            [&](Connection& c) {
                read(c, "case when g = 100 then pg_sleep(40) end", silencedRows);
            },
            silenced);
    });
    stream.join();
    silence.join();
    EXPECT_TRUE(streamed.error.isEmpty()) << streamed.error.toStdString();
    EXPECT_EQ(streamedRows, 300);
    EXPECT_GE(streamed.ms, 15000);
    EXPECT_TRUE(gaveUp(silenced.error)) << silenced.error.toStdString();
    EXPECT_LT(silencedRows, 100);
    EXPECT_LT(silenced.ms, 20000);
}
