#include "platform/db/connection.h"

#include "platform/db/collation.h"
#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/db/server_watch.h"
#include "platform/db/sqlite_file.h"
#include "platform/db/statement.h"
#include "platform/text/bidi.h"
#include "platform/text/codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <libpq-fe.h>
#include <system_error>

namespace gc::db {

const ColumnInfo* TableInfo::column(const QString& n) const {
    for (const ColumnInfo& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

namespace {

// SQLite's codes for a file that is not a database and for a damaged one.
constexpr int kNotADatabase = 26;
constexpr int kCorrupt = 11;

int sqliteCode(const QSqlError& error) {
    return error.nativeErrorCode().toInt() & 0xFF;
}

QString notConnectedMessage() {
    return QString::fromUtf8("اتصال به بانک اطلاعاتي برقرار نيست");
}

// The engine's reason inside a Persian message: its English reads left to right, set apart;
// a lost connection leaves the driver nothing to say, and the message says what happened.
QString engineReason(const QString& text) {
    const QString reason = text.trimmed();
    if (reason.isEmpty())
        return QString::fromUtf8("ارتباط با سرور بانک اطلاعاتي قطع شد");
    return reason.isRightToLeft() ? reason : text::isolatedLtr(reason);
}

// SQLite reads the file's header at the first statement; its error (none when the file is
// readable) tells a file of another kind, a damaged one and one that cannot be shared.
QSqlError firstRead(QSqlDatabase& db) {
    QSqlQuery q(db);
    q.exec("select count(*) from sqlite_master");
    return q.lastError();
}

// Refuses the file that the first read failed on, naming why.
void checkSqliteHeader(QSqlDatabase& db, const QString& file, const QSqlError& error) {
    if (!error.isValid())
        return;
    db.close();
    if (sqliteCode(error) == kNotADatabase)
        throw DbError(
            QString::fromUtf8("فايل %1 بانک اطلاعاتي اين برنامه نيست").arg(text::quotedLtr(file)));
    if (sqliteCode(error) == kCorrupt)
        throw DbError(QString::fromUtf8("فايل بانک اطلاعاتي %1 آسيب ديده است (بريده يا خراب): %2")
                          .arg(text::quotedLtr(file), engineReason(error.text())));
    throw DbError(QString::fromUtf8("فايل بانک اطلاعاتي %1 باز نمي شود: %2")
                      .arg(text::quotedLtr(file), engineReason(error.text())));
}

// SQLite's code for a write refused on read-only media, its own -shm included.
constexpr int kReadOnly = 8;
constexpr int kCannotOpen = 14;

// A read-only connection shares a file in write-ahead-log mode through its -shm, which SQLite
// makes beside it; on read-only media it cannot, and the first read fails.
bool cannotShare(const QSqlError& firstReadError) {
    const int code = sqliteCode(firstReadError);
    return firstReadError.isValid() && (code == kReadOnly || code == kCannotOpen);
}

// The program's literals double the quote only; they stay literals only while
// standard_conforming_strings is on. The connection asks for it at start (over any
// database or role setting) and is refused when the server does not hold it.
// Keepalives find a server machine or network that went away; the watch a server process
// that stopped answering.
QString postgresOptions(bool readOnly, int connectTimeout) {
    QString settings = "-c standard_conforming_strings=on";
    if (readOnly)
        settings += " -c default_transaction_read_only=on";
    return "connect_timeout=" + QString::number(connectTimeout) +
           ";keepalives=1;keepalives_idle=5;keepalives_interval=2;keepalives_count=3;options='" +
           settings + "'";
}
constexpr int kConnectSeconds = 15;
// The look-up of a cut commit's outcome connects within libpq's least timeout, so that the
// guard hears within kOutcomeLimit: 12 s of silence, the watch's 2 s connection and 1 s wait
// for the process to go, this connection, and the wait for the earlier process below.
constexpr int kLookUpConnectSeconds = 2;
constexpr int kEarlierProcessLooks = 20; // 100 ms apart
// Silence for this long while waiting for the server gives it up; with the watch's look and
// its ending the server process, within 15 s.
constexpr std::chrono::seconds kServerLimit{12};
// A row another workstation holds locked is waited for this long, then reported as such,
// before the watch would take the wait for a silent server.
constexpr std::chrono::seconds kLockLimit{10};

// SQLSTATE lock_not_available: lock_timeout ran out.
const QString kLockNotAvailable = QStringLiteral("55P03");

// False when the server does not hold the literals' setting.
bool setUpPostgresSession(QSqlDatabase& db) {
    QSqlQuery q(db);
    q.exec("set client_min_messages to warning");
    q.exec(QStringLiteral("set lock_timeout = '%1s'").arg(kLockLimit.count()));
    const bool pinned =
        q.exec("show standard_conforming_strings") && q.next() && q.value(0).toString() == "on";
    q.finish();
    return pinned;
}

// The driver's handle is libpq's connection, named after its struct or its typedef.
bool isLibpq(const QSqlDatabase& db) {
    const QByteArray type = db.driver()->handle().typeName();
    return type == "pg_conn*" || type == "PGconn*";
}

PGconn* libpqConnection(const QSqlDatabase& db) {
    return isLibpq(db) ? *static_cast<PGconn* const*>(db.driver()->handle().constData()) : nullptr;
}

QString notKnownMessage() {
    return QString::fromUtf8(
        "پاسخ سرور بانک اطلاعاتي به اين ثبت نرسيد و معلوم نيست ثبت شده است يا نه؛ آنچه وارد کرده "
        "ايد سر جايش است. پيش از ثبت دوباره، جستجو کنيد و ببينيد ثبت شده است يا نه");
}

} // namespace

ServerWait::~ServerWait() {
    if (watch_)
        watch_->end();
}

Connection::Connection(const QString& name) : name_(name) {}

Connection::~Connection() {
    close();
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(name_, false);
}

bool Connection::connected() const {
    return engine_ != Engine::None && QSqlDatabase::contains(name_) && database().isOpen();
}

void Connection::close() {
    endParkedStatements();
    watch_.reset();
    if (QSqlDatabase::contains(name_)) {
        database().close();
    }
    engine_ = Engine::None;
    inTransaction_ = false;
    snapshot_ = false;
    tableCache_.clear();
}

void Connection::open() {
    close();
    const ConnectionTarget target = connectionTarget(connectionString_);
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::removeDatabase(name_);
    if (target.engine == Engine::SQLite)
        openSqlite(target);
    else
        openPostgres(target);
    engine_ = target.engine;
    const ServerWait wait = serverWait();
    textCollation_ =
        engine_ == Engine::SQLite ? kFileCollation : serverPersianCollation(database());
}

// The watch takes the connection's handle, socket and server process as they are now, just
// opened; it goes before the handle is closed, at every close and reopen. An unwatched
// connection could freeze the program for good: one the watch cannot take is refused.
void Connection::watchServer() {
    watch_.reset();
    PGconn* pg = libpqConnection(database());
    if (!pg || PQsocket(pg) < 0)
        return;
    try {
        watch_ = std::make_unique<ServerWatch>(pg, kServerLimit);
    } catch (const std::system_error& e) {
        database().close();
        throw DbError(QString::fromUtf8("پاسخ سرور بانک اطلاعاتي را نمي توان زير نظر گرفت؛ "
                                        "اتصال برقرار نشد: %1")
                          .arg(engineReason(QString::fromLocal8Bit(e.what()))));
    }
}

// Watches the connection just opened and sets its session up; one that cannot be used is
// closed, its watch first.
void Connection::startServerSession(QSqlDatabase& db) {
    watchServer();
    bool pinned = false;
    {
        const ServerWait wait = serverWait();
        pinned = setUpPostgresSession(db);
    }
    if (pinned)
        return;
    watch_.reset();
    db.close();
    throw DbError(QString::fromUtf8(
        "سرور بانک اطلاعاتي تنظيم standard_conforming_strings = on را نگه نمي دارد و بدون آن "
        "متن ها درست نقل نمي شوند؛ اتصال برقرار نشد. لطفا با مدير شبکه تماس بگيريد"));
}

// Free on the file database; on the server nothing is looked up: the watch knows its
// connection, and marks nothing for one lost since.
ServerWait Connection::serverWait() {
    return ServerWait(watch_ && watch_->begin() ? watch_.get() : nullptr);
}

void Connection::endStatement(std::unique_ptr<QSqlQuery> query) {
    if (inTransaction_ && engine_ == Engine::PostgreSQL) {
        parked_.push_back(std::move(query));
        return;
    }
    const ServerWait wait = serverWait();
    query.reset();
}

void Connection::endParkedStatements() {
    if (parked_.empty())
        return;
    const ServerWait wait = serverWait();
    parked_.clear();
}

bool Connection::cut() const {
    return watch_ && watch_->gaveUp();
}

void Connection::setBytewiseColumns(const QStringList& columns) {
    bytewise_.clear();
    for (const QString& c : columns)
        bytewise_.insert(c.toLower());
}

bool Connection::sortsAsBytes(const QString& column) const {
    return bytewise_.contains(column.toLower());
}

// The file is never opened here: see the rule above the class.
void Connection::openSqlite(const ConnectionTarget& t) {
    if (t.file.isEmpty())
        throw DbError(QString::fromUtf8("محل فايل بانک اطلاعاتي مشخص نشده است"));
    const QFileInfo info(t.file);
    if (!info.absoluteDir().exists())
        throw DbError(QString::fromUtf8("پوشه فايل بانک اطلاعاتي %1 وجود ندارد")
                          .arg(text::quotedLtr(t.file)));
    refuseUnlessRegularFile(t.file);
    if (!info.exists() && readOnly_)
        throw DbError(
            QString::fromUtf8("فايل بانک اطلاعاتي %1 وجود ندارد").arg(text::quotedLtr(t.file)));
    // A file made here is the program's own: a set-up always follows.
    const bool created = !info.exists();
    if (created)
        createPrivateFile(t.file);
    auto db = QSqlDatabase::addDatabase("QSQLITE", name_);
    db.setDatabaseName(t.file);
    db.setConnectOptions(readOnly_ ? "QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=10000"
                                   : "QSQLITE_BUSY_TIMEOUT=10000");
    if (!db.open())
        throw DbError(QString::fromUtf8("فايل بانک اطلاعاتي %1 باز نمي شود: %2")
                          .arg(text::quotedLtr(t.file), engineReason(db.lastError().text())));
    keepLogOnClose(db, !created && holdsLog(t.file));
    QSqlError readError = firstRead(db);
    // A snapshot would leave out what a write-ahead log beside the file still holds.
    if (readOnly_ && cannotShare(readError) && !holdsLog(t.file)) {
        openSnapshot(db, t.file);
        readError = firstRead(db);
    }
    checkSqliteHeader(db, t.file, readError);
    registerPersianCollation(db);
    if (created && !readOnly_)
        applyOwnFileSettings(db);
}

// Read as a file that nothing changes: without locks and without the -shm SQLite cannot make.
void Connection::openSnapshot(QSqlDatabase& db, const QString& file) {
    db.close();
    db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) + "?immutable=1");
    db.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
    if (!db.open())
        throw DbError(QString::fromUtf8("فايل بانک اطلاعاتي %1 باز نمي شود: %2")
                          .arg(text::quotedLtr(file), engineReason(db.lastError().text())));
    snapshot_ = true;
}

// Readers must not block the writers of other windows or processes on this machine. The
// write-ahead log is recorded in the file's header, so only the program's own file gets it,
// and only its own log is copied into it at the close.
void Connection::applyOwnFileSettings(QSqlDatabase& db) {
    keepLogOnClose(db, false);
    QSqlQuery q(db);
    q.exec("PRAGMA journal_mode=WAL");
    q.exec("PRAGMA synchronous=NORMAL");
}

void Connection::useAsOwnFile() {
    if (engine_ != Engine::SQLite || readOnly_ || !connected())
        return;
    QSqlDatabase db = database();
    applyOwnFileSettings(db);
}

void Connection::openPostgres(const ConnectionTarget& t) {
    auto db = QSqlDatabase::addDatabase("QPSQL", name_);
    db.setHostName(t.host.isEmpty() ? QString("localhost") : t.host);
    if (t.port > 0)
        db.setPort(t.port);
    db.setDatabaseName(t.database);
    if (t.integratedSecurity) {
        db.setUserName(qEnvironmentVariable("USER"));
    } else {
        db.setUserName(t.user);
        db.setPassword(t.password);
    }
    db.setConnectOptions(postgresOptions(readOnly_, kConnectSeconds));
    if (!db.open())
        throw DbError(db.lastError().text());
    startServerSession(db);
}

// Reads what the server sent meanwhile, without waiting: a server that stopped or
// restarted has closed its end, and libpq then marks the connection bad. The first read
// may take the server's farewell message, the second meets the closed end.
bool Connection::serverLost() const {
    QSqlDatabase db = database();
    if (!db.isOpen())
        return true;
    if (!isLibpq(db))
        return false;
    PGconn* pg = libpqConnection(db);
    if (!pg)
        return true;
    for (int i = 0; i < 2; ++i)
        if (!PQconsumeInput(pg))
            return true;
    return PQstatus(pg) != CONNECTION_OK;
}

void Connection::revive() {
    if (engine_ != Engine::PostgreSQL)
        return;
    // A transaction the watch cut is gone with its connection.
    if (cut())
        inTransaction_ = false;
    if (inTransaction_ || !serverLost())
        return;
    reopen(kConnectSeconds);
}

void Connection::reopen(int connectTimeout) {
    endParkedStatements();
    watch_.reset();
    QSqlDatabase db = database();
    db.close();
    db.setConnectOptions(postgresOptions(readOnly_, connectTimeout));
    const bool opened = db.open();
    db.setConnectOptions(postgresOptions(readOnly_, kConnectSeconds));
    if (!opened)
        throw DbError(
            QString::fromUtf8("ارتباط با سرور بانک اطلاعاتي قطع شده است و دوباره برقرار نشد؛ "
                              "کار انجام نشد. لطفا کمي بعد دوباره سعي کنيد.\n%1")
                .arg(engineReason(db.lastError().text())));
    startServerSession(db);
}

void Connection::reviveOpen() {
    revive();
    if (!connected())
        throw DbError(notConnectedMessage());
}

QString Connection::errorMessage(const QSqlError& error, const QString& table) const {
    if (!table.isEmpty() && !cut() && engine_ == Engine::PostgreSQL &&
        error.nativeErrorCode() == kLockNotAvailable)
        return QString::fromUtf8("جدول «%1» همين حالا در ايستگاه ديگري در حال نوشتن است؛ چيزي "
                                 "ثبت نشد و آنچه وارد کرده ايد سر جايش است. لطفا کمي بعد دوباره "
                                 "سعي کنيد")
            .arg(table);
    return errorMessage(error);
}

QString Connection::errorMessage(const QSqlError& error) const {
    if (cut())
        return QString::fromUtf8("سرور بانک اطلاعاتي در %1 ثانيه پاسخ نداد؛ کار انجام نشد و "
                                 "آنچه وارد کرده ايد سر جايش است. لطفا کمي بعد دوباره سعي کنيد")
            .arg(kServerLimit.count());
    if (engine_ == Engine::PostgreSQL && error.nativeErrorCode() == kLockNotAvailable)
        return QString::fromUtf8("اين رکورد همين حالا در ايستگاه ديگري در حال تغيير است؛ چيزي "
                                 "ثبت نشد و آنچه وارد کرده ايد سر جايش است. لطفا کمي بعد دوباره "
                                 "سعي کنيد");
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (const auto w = widthViolationIn(text))
        return widthMessage(w->column, w->width);
    if (engine_ == Engine::SQLite && sqliteCode(error) == kCorrupt)
        return QString::fromUtf8("فايل بانک اطلاعاتي آسيب ديده است (بريده يا خراب): %1")
            .arg(engineReason(text));
    return QString::fromUtf8("خطاي بانک اطلاعاتي: %1").arg(engineReason(text));
}

int Connection::execute(const QString& sql) {
    reviveOpen();
    QString bad;
    const auto mapped = codepage::toRepertoire(sql, &bad);
    if (!mapped)
        throw DbError(codepage::unsupportedCharMessage(bad));
    const QStringList statements = translateStatement(engine_, *mapped);
    int affected = 0;
    const auto run = [&] {
        for (const QString& s : statements) {
            Statement q(*this);
            if (!q.exec(s))
                throw DbError(errorMessage(q.lastError()));
            affected += std::max(0, q.numRowsAffected());
        }
    };
    if (engine_ == Engine::SQLite && statements.size() > 1 && !inTransaction_)
        runInFileTransaction(run);
    else
        saveAtomically(run);
    static const QRegularExpression ddl(R"(^\s*(create|alter|drop)\b)",
                                        QRegularExpression::CaseInsensitiveOption);
    if (ddl.match(sql).hasMatch())
        tableCache_.clear();
    return affected;
}

void Connection::runInFileTransaction(const std::function<void()>& write) {
    QSqlDatabase db = database();
    db.transaction();
    try {
        write();
    } catch (...) {
        db.rollback();
        throw;
    }
    db.commit();
}

void Connection::beginTransaction() {
    revive();
    {
        const ServerWait wait = serverWait();
        if (!database().transaction())
            throw DbError(errorMessage(database().lastError()));
    }
    inTransaction_ = true;
}

// The transaction's id (none when it wrote nothing) and server process, asked before its
// commit, tell its outcome after a cut.
Connection::ServerTransaction Connection::noteTransaction() {
    try {
        Statement q(*this);
        if (!q.exec("select txid_current_if_assigned(), pg_backend_pid()") || !q.next())
            throw DbError(errorMessage(q.lastError()));
        return {q.value(0).isNull() ? 0 : q.value(0).toLongLong(), q.value(1).toInt()};
    } catch (...) {
        rollback();
        throw;
    }
}

void Connection::beginWriteTransaction(const QString& table) {
    if (engine_ != Engine::PostgreSQL) {
        // The file database locks the whole file; IMMEDIATE takes the write lock at once.
        Statement q(*this);
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            throw DbError(errorMessage(q.lastError()));
        inTransaction_ = true;
        return;
    }
    beginTransaction();
    Statement q(*this);
    // Conflicts with itself and with every writer, not with readers.
    if (!q.exec("LOCK TABLE " + table + " IN SHARE ROW EXCLUSIVE MODE")) {
        const QString message = errorMessage(q.lastError(), table);
        rollback();
        throw DbError(message);
    }
}

void Connection::commit() {
    if (engine_ == Engine::PostgreSQL && inTransaction_) {
        commitLookingUp();
        return;
    }
    inTransaction_ = false;
    const ServerWait wait = serverWait();
    if (!database().commit())
        throw DbError(errorMessage(database().lastError()));
}

// A transaction that failed refuses the removal of its statements: they go after it.
void Connection::rollback() {
    inTransaction_ = false;
    const ServerWait wait = serverWait();
    if (QSqlDatabase db = database(); db.isOpen())
        db.rollback();
    endParkedStatements();
}

void Connection::saveAtomically(const std::function<void()>& write) {
    if (engine_ != Engine::PostgreSQL || inTransaction_) {
        write();
        return;
    }
    beginTransaction();
    try {
        write();
    } catch (...) {
        rollback();
        throw;
    }
    commit();
}

// A commit refused by the server was not made. One whose answer never came (the watch cut
// it, or the connection was lost) may have been: the server keeps each transaction's outcome.
// A failure before the commit was sent needs no look-up (its server process, ended or gone
// with the connection, can never commit it), nor does a transaction that wrote nothing.
void Connection::commitLookingUp() {
    const ServerTransaction transaction = noteTransaction();
    endParkedStatements();
    inTransaction_ = false;
    if (cut())
        throw DbError(errorMessage(database().lastError()));
    {
        const ServerWait wait = serverWait();
        if (database().commit())
            return;
    }
    const QString message = errorMessage(database().lastError());
    if (transaction.id == 0 || (!cut() && !serverLost()))
        throw DbError(message);
    const QString outcome = transactionOutcome(transaction);
    if (outcome == "committed")
        return;
    if (outcome == "aborted")
        throw DbError(message);
    throw DbError(notKnownMessage());
}

// "committed", "aborted" or "in progress" after reconnecting; empty when the server cannot
// be asked. An id too old to be known (null) was not this save's.
QString Connection::transactionOutcome(const ServerTransaction& transaction) {
    try {
        reopen(kLookUpConnectSeconds);
        endEarlierServerProcess(transaction.serverPid);
    } catch (const DbError&) {
        return {};
    }
    Statement q(*this);
    if (!q.exec(
            QStringLiteral("select coalesce(txid_status(%1), 'aborted')").arg(transaction.id)) ||
        !q.next())
        return {};
    return q.value(0).toString();
}

// A server process that still holds the transaction (its socket's end never heard of the
// cut) leaves it "in progress" and may yet commit it: it is ended, and its end awaited, so
// that the outcome asked next is final.
void Connection::endEarlierServerProcess(int serverPid) {
    const QString pid = QString::number(serverPid);
    Statement q(*this);
    q.exec("select pg_terminate_backend(pid) from pg_stat_activity where pid = " + pid);
    for (int look = 0; look < kEarlierProcessLooks; ++look) {
        if (!q.exec("select 1 from pg_stat_activity where pid = " + pid))
            throw DbError(errorMessage(q.lastError()));
        if (!q.next())
            return;
        q.exec("select pg_sleep(0.1)");
    }
}

QStringList Connection::tables() {
    const ServerWait wait = serverWait();
    QStringList out = database().tables(QSql::Tables);
    for (QString& t : out)
        t = t.toLower();
    out.removeAll("sqlite_sequence");
    return out;
}

const TableInfo* Connection::tableInfo(const QString& table) {
    const QString key = table.toLower();
    auto it = tableCache_.find(key);
    if (it == tableCache_.end()) {
        TableInfo info = loadTableInfo(key);
        if (info.columns.isEmpty())
            return nullptr;
        it = tableCache_.insert(key, info);
    }
    return &it.value();
}

namespace {

FieldKind kindOfDeclared(const QString& declared) {
    const QString t = declared.toLower();
    if (t.contains("char") || t == "text")
        return FieldKind::Text;
    if (t.startsWith("int") || t == "bigint" || t == "smallint")
        return FieldKind::Integer;
    if (t.startsWith("bool") || t == "bit")
        return FieldKind::Boolean;
    if (t == "blob" || t == "bytea" || t == "image")
        return FieldKind::Blob;
    if (t == "real" || t.startsWith("double") || t == "float" || t == "numeric")
        return FieldKind::Float;
    if (t.startsWith("datetime") || t.startsWith("timestamp"))
        return FieldKind::DateTime;
    return FieldKind::Text;
}

} // namespace

TableInfo Connection::loadTableInfo(const QString& table) {
    TableInfo info;
    info.name = table;
    if (!isPlainIdentifier(table))
        return info;
    if (engine_ == Engine::SQLite) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        static const QRegularExpression widthRe(R"(\((\d+)\))");
        if (!q.exec("PRAGMA table_info(" + table + ")"))
            return info;
        while (q.next()) {
            ColumnInfo c{q.value(1).toString(), kindOfDeclared(q.value(2).toString()), 0};
            const QString declared = q.value(2).toString();
            if (c.kind == FieldKind::Text)
                c.width = widthRe.match(declared).captured(1).toInt();
            if (q.value(5).toInt() == 1 && c.kind == FieldKind::Integer) {
                c.kind = FieldKind::AutoInc;
                info.keyColumn = c.name;
            }
            info.columns << c;
        }
        if (q.lastError().isValid())
            throw DbError(errorMessage(q.lastError()));
        return info;
    }
    Statement q(*this);
    q.prepare("select column_name, data_type, coalesce(column_default, '') from "
              "information_schema.columns where table_schema = current_schema() and "
              "table_name = ? order by ordinal_position");
    q.addBindValue(table);
    if (!q.exec())
        return info;
    while (q.next()) {
        ColumnInfo c{q.value(0).toString(), kindOfDeclared(q.value(1).toString()), 0};
        if (c.kind == FieldKind::Integer && q.value(2).toString().startsWith("nextval(")) {
            c.kind = FieldKind::AutoInc;
            info.keyColumn = c.name;
        }
        info.columns << c;
    }
    if (q.lastError().isValid())
        throw DbError(errorMessage(q.lastError()));
    Statement checks(*this);
    checks.prepare("select conname from pg_constraint where contype = 'c' and conrelid = "
                   "to_regclass(?)");
    checks.addBindValue(table);
    if (checks.exec()) {
        while (checks.next()) {
            if (const auto w = widthViolationIn(checks.value(0).toString()))
                for (ColumnInfo& c : info.columns)
                    if (c.name == w->column)
                        c.width = w->width;
        }
    }
    // A table whose widths could not all be read would take values it must refuse.
    if (checks.lastError().isValid())
        throw DbError(errorMessage(checks.lastError()));
    return info;
}

} // namespace gc::db
