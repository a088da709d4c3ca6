#include "platform/db/query.h"

#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/db/result_order.h"
#include "platform/db/statement.h"
#include "platform/text/bidi.h"
#include "platform/text/codepage.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace gc::db {

namespace {

FieldKind kindOfMetaType(int id) {
    switch (id) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return FieldKind::Integer;
    case QMetaType::Bool:
        return FieldKind::Boolean;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldKind::Float;
    case QMetaType::QByteArray:
        return FieldKind::Blob;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
    case QMetaType::QTime:
        return FieldKind::DateTime;
    default:
        return FieldKind::Text;
    }
}

bool compatible(FieldKind declared, FieldKind actual) {
    const auto integral = [](FieldKind k) {
        return k == FieldKind::Integer || k == FieldKind::AutoInc;
    };
    if (integral(declared))
        return integral(actual);
    if (declared == FieldKind::Boolean)
        return actual == FieldKind::Boolean || integral(actual);
    if (declared == FieldKind::DateTime)
        return actual == FieldKind::DateTime || actual == FieldKind::Text;
    return declared == actual;
}

QString notInEditMessage(const QString& query) {
    return QString::fromUtf8("%1: رکورد در حالت ويرايش يا درج نيست").arg(query);
}

QString displayText(const QVariant& v) {
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "True" : "False";
    case QMetaType::QByteArray:
        return codepage::decode(v.toByteArray());
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    default:
        return v.toString();
    }
}

// As a form shows them: an empty text over a null is no change.
bool sameValue(const QVariant& a, const QVariant& b) {
    return displayText(a) == displayText(b);
}

// The name a column's full-precision text is read under, beside the row.
QString exactAlias(const QString& column) {
    return "gc_exact_" + column;
}

} // namespace

// ---- Field ----

QString Field::name() const {
    return query_->fields_[index_].name;
}
FieldKind Field::kind() const {
    return query_->fields_[index_].kind;
}
QVariant Field::value() const {
    return query_->fieldValue(index_);
}
bool Field::isNull() const {
    return value().isNull();
}
QString Field::asString() const {
    return displayText(value());
}

qint64 Field::asInteger() const {
    const QVariant v = value();
    if (v.isNull())
        return 0;
    bool ok = false;
    const qint64 n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toLongLong(&ok)
                                                      : v.toLongLong(&ok);
    if (!ok)
        throw DbError(QString::fromUtf8("«%1» عدد صحيح نيست").arg(displayText(v)));
    return n;
}

bool Field::asBoolean() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == "true" || s == "1" || s == "-1";
    }
    return v.toBool();
}

double Field::asFloat() const {
    return value().toDouble();
}

QByteArray Field::asBytes() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QString)
        return codepage::encode(v.toString()).value_or(v.toString().toUtf8());
    return v.toByteArray();
}

void Field::setValue(const QVariant& v) {
    query_->setFieldValue(index_, v);
}

void Field::loadFromFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QString::fromUtf8("فايل %1 خوانده نشد: %2")
                          .arg(text::quotedLtr(path), f.errorString()));
    loadFromStream(f);
}

void Field::saveToFile(const QString& path) const {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw DbError(
            QString::fromUtf8("فايل %1 نوشته نشد: %2").arg(text::quotedLtr(path), f.errorString()));
    saveToStream(f);
    if (!f.flush())
        throw DbError(
            QString::fromUtf8("فايل %1 نوشته نشد: %2").arg(text::quotedLtr(path), f.errorString()));
}

void Field::loadFromStream(QIODevice& in) {
    const QByteArray bytes = in.readAll();
    setValue(bytes.isNull() ? QByteArray("") : bytes);
}

void Field::saveToStream(QIODevice& out) const {
    const QByteArray bytes = asBytes();
    if (out.write(bytes) != bytes.size())
        throw DbError(QString::fromUtf8("نوشتن داده ناقص ماند: %1").arg(out.errorString()));
}

// ---- Query ----

Query::Query(Connection& connection, const QString& name, QObject* parent)
    : QObject(parent), connection_(connection) {
    setObjectName(name);
}

Query::~Query() = default;

void Query::setSql(const QString& text) {
    sql_.clear();
    for (const QString& line : text.split('\n'))
        sql_.add(line);
}

QString Query::executedSql() const {
    QString bad;
    const auto mapped = codepage::toRepertoire(sql_.text(), &bad);
    if (!mapped)
        throw DbError(codepage::unsupportedCharMessage(bad));
    const QString sql = kafBlindLike(*mapped);
    if (sort_.isEmpty())
        return sql;
    const QStringList parts = sort_.split(' ', Qt::SkipEmptyParts);
    return "select * from (" + splitOrderBy(sql).body + "\n) gc_sorted order by " + parts.value(0) +
           " " + parts.value(1, "ASC");
}

QString Query::engineSql() const {
    return translateQuery(connection_.engine(), executedSql());
}

QString Query::keyColumn() {
    const QString table = targetTable();
    const TableInfo* info = isPlainIdentifier(table) ? connection_.tableInfo(table) : nullptr;
    return info ? info->keyColumn : QString();
}

void Query::discardResult() {
    rows_.reset();
    state_ = State::Inactive;
    edited_.clear();
    order_.clear();
    added_.clear();
    ordered_ = false;
    covered_ = 0;
    cur_ = 0;
    bof_ = true;
    currentValid_ = false;
}

void Query::open() {
    emit aboutToReset();
    discardResult();
    try {
        connection_.reviveOpen();
        rows_ = std::make_unique<ResultPages>(connection_, executedSql(), keyColumn());
        bindFields();
    } catch (...) {
        rows_.reset();
        fields_.clear();
        emit resetDone();
        throw;
    }
    state_ = State::Browse;
    emit resetDone();
    emit currentRowChanged(0);
}

void Query::openSql(const QStringList& lines) {
    sql_.clear();
    for (const QString& line : lines)
        sql_.add(line);
    open();
}

void Query::bindFields() {
    const QSqlRecord& rec = rows_->record();
    QStringList names;
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i);
    // Duplicate column names of a join: the file engine is named "table.column" as the
    // file provider does, the server engine "column_1", "column_2" after the first.
    for (int i = 0; i < names.size(); ++i) {
        int seen = 0;
        for (int j = i + 1; j < names.size(); ++j) {
            if (names[j].compare(rec.fieldName(i), Qt::CaseInsensitive) != 0)
                continue;
            if (connection_.engine() == Engine::SQLite && !rec.field(j).tableName().isEmpty()) {
                names[i] = rec.field(i).tableName() + "." + rec.fieldName(i);
                names[j] = rec.field(j).tableName() + "." + rec.fieldName(j);
            } else {
                names[j] = rec.fieldName(j) + "_" + QString::number(++seen);
            }
        }
    }
    fields_.clear();
    columnOf_.clear();
    if (persistent_.isEmpty()) {
        for (int i = 0; i < rec.count(); ++i) {
            fields_.push_back({names[i], kindOfMetaType(rec.field(i).metaType().id()), 0});
            columnOf_.push_back(i);
        }
        return;
    }
    for (const FieldDef& def : persistent_) {
        int found = -1;
        for (int i = 0; i < names.size() && found < 0; ++i)
            if (names[i].compare(def.name, Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            throw DbError(QString("%1: Field '%2' not found").arg(objectName(), def.name));
        if (!compatible(def.kind, kindOfMetaType(rec.field(found).metaType().id())))
            throw DbError(QString("%1: Type mismatch for field '%2'").arg(objectName(), def.name));
        fields_.push_back(def);
        columnOf_.push_back(found);
    }
}

void Query::close() {
    emit aboutToReset();
    discardResult();
    emit resetDone();
}

int Query::execSql() {
    return connection_.execute(sql_.text());
}

QStringList Query::fieldNames() const {
    QStringList out;
    for (const FieldDef& f : fields_)
        out << f.name;
    return out;
}

int Query::fieldIndex(const QString& name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Field Query::fieldByName(const QString& name) {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QString("%1: Field '%2' not found").arg(objectName(), name));
    return Field(*this, i);
}

qint64 Query::resultRow(qint64 logical) const {
    if (!ordered_)
        return logical;
    if (logical < qint64(order_.size()))
        return order_[std::size_t(logical)];
    return covered_ + logical - qint64(order_.size());
}

const Row* Query::storedRow(qint64 logical, bool& asRead) const {
    asRead = false;
    if (!rows_ || logical < 0)
        return nullptr;
    if (const Row* kept = keptRow(logical))
        return kept;
    asRead = true;
    return rows_->at(resultRow(logical));
}

const Row* Query::keptRow(qint64 logical) const {
    const qint64 base = resultRow(logical);
    if (base < 0)
        return &added_[std::size_t(-1 - base)];
    const auto it = edited_.constFind(base);
    return it == edited_.constEnd() ? nullptr : &it.value();
}

bool Query::rowAt(qint64 logical, Row& out) const {
    bool asRead = false;
    const Row* r = storedRow(logical, asRead);
    if (!r)
        return false;
    if (!asRead) {
        out = r->mid(0, fields_.size());
        return true;
    }
    out.resize(fields_.size());
    for (int i = 0; i < fields_.size(); ++i)
        out[i] = (*r)[columnOf_[i]];
    return true;
}

// Per field, the full-precision text its value was read with (null: none). A row as read
// holds them after its columns; a row this query saved holds them after its fields.
Row Query::exactTextsAt(qint64 logical) const {
    Row out(fields_.size());
    bool asRead = false;
    const Row* r = storedRow(logical, asRead);
    if (!r)
        return out;
    for (int i = 0; i < fields_.size(); ++i) {
        const int at = asRead ? rows_->exactColumn(columnOf_[i]) : int(fields_.size()) + i;
        out[i] = at < 0 ? QVariant() : r->value(at);
    }
    return out;
}

// Per field of the current row, the value the user last saw and then its full-precision text:
// a row this query saved keeps them after its own exact texts; another is seen as it was read.
Row Query::currentSeen() const {
    const Row* kept = keptRow(cur_);
    return kept ? kept->mid(2 * fields_.size()) : current_ + exact_;
}

int Query::loadedRowCount() const {
    if (!rows_)
        return 0;
    return int(ordered_ ? qint64(order_.size()) + rows_->knownRows() - covered_
                        : rows_->knownRows());
}

bool Query::canFetchMore() const {
    return rows_ && !rows_->atEnd();
}

void Query::fetchMore() {
    if (!canFetchMore())
        return;
    const int before = loadedRowCount();
    Row ignored;
    rowAt(before, ignored);
    const int after = loadedRowCount();
    if (after > before) {
        emit rowsAboutToBeInserted(before, after - 1);
        emit rowsInserted();
    }
}

QVariant Query::valueAt(int row, int fieldIndex) {
    if (row == cur_ && (state_ == State::Edit))
        return buffer_.value(fieldIndex);
    if (fieldIndex < 0 || fieldIndex >= fields_.size())
        return {};
    bool asRead = false;
    const Row* r = storedRow(row, asRead);
    if (!r)
        return {};
    return r->value(asRead ? columnOf_[fieldIndex] : fieldIndex);
}

bool Query::rowInMemory(int row) const {
    if (!rows_ || row < 0)
        return false;
    const qint64 base = resultRow(row);
    return base < 0 || edited_.contains(base) || rows_->holds(base);
}

// Loading a row past those seen may add rows to the grid.
bool Query::ensureCurrent() {
    if (currentValid_)
        return true;
    const int before = loadedRowCount();
    currentValid_ = rowAt(cur_, current_);
    exact_ = currentValid_ ? exactTextsAt(cur_) : Row();
    const int after = loadedRowCount();
    if (after > before) {
        emit rowsAboutToBeInserted(before, after - 1);
        emit rowsInserted();
    }
    return currentValid_;
}

qint64 Query::totalRows() {
    if (!rows_)
        return 0;
    return ordered_ ? qint64(order_.size()) + rows_->count() - covered_ : rows_->count();
}

// The rows read so far get places of their own, so that rows can be added and removed among
// them; the rows not read yet follow them, still read by pages.
void Query::materialiseOrder() {
    if (!rows_)
        return;
    const qint64 known = rows_->knownRows();
    order_.reserve(order_.size() + std::size_t(std::max<qint64>(0, known - covered_)));
    for (qint64 i = covered_; i < known; ++i)
        order_.push_back(i);
    covered_ = std::max(covered_, known);
    ordered_ = true;
}

void Query::moveTo(int row) {
    cur_ = std::max(0, row);
    currentValid_ = false;
    emit currentRowChanged(cur_);
}

int Query::recordCount() {
    if (!rows_)
        return 0;
    return int(totalRows());
}

bool Query::isEmpty() {
    return recordCount() == 0;
}

int Query::recNo() {
    if (state_ == State::Insert)
        return insertAt_ + 1;
    return ensureCurrent() ? cur_ + 1 : 0;
}

void Query::setRecNo(int n) {
    checkBrowseMode();
    Row r;
    if (n >= 1 && rowAt(n - 1, r))
        moveTo(n - 1);
}

void Query::first() {
    checkBrowseMode();
    moveTo(0);
    bof_ = true;
}

void Query::last() {
    checkBrowseMode();
    moveTo(int(std::max<qint64>(0, totalRows() - 1)));
}

void Query::next() {
    checkBrowseMode();
    if (!eof())
        moveTo(cur_ + 1);
    bof_ = false;
}

void Query::prior() {
    checkBrowseMode();
    if (cur_ > 0)
        moveTo(cur_ - 1);
    else
        bof_ = true;
}

bool Query::eof() {
    if (state_ == State::Insert)
        return false;
    return !ensureCurrent();
}

bool Query::locate(const QString& fieldName, const QVariant& value, bool caseInsensitive) {
    checkBrowseMode();
    fieldByName(fieldName);
    const int index = fieldIndex(fieldName);
    const QString wanted = displayText(value);
    const auto cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (qint64 i = 0;; ++i) {
        const int before = loadedRowCount();
        bool asRead = false;
        const Row* r = storedRow(i, asRead);
        // Taken before the grid hears of new rows: what it reads may move the pages.
        const QVariant cell = r ? (*r)[asRead ? columnOf_[index] : index] : QVariant();
        if (loadedRowCount() > before) {
            emit rowsAboutToBeInserted(before, loadedRowCount() - 1);
            emit rowsInserted();
        }
        if (!r)
            return false;
        if (displayText(cell).compare(wanted, cs) == 0) {
            moveTo(int(i));
            return true;
        }
    }
}

QVariant Query::fieldValue(int index) const {
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer_.value(index);
    auto* self = const_cast<Query*>(this);
    if (!self->ensureCurrent())
        return {};
    return current_.value(index);
}

void Query::setFieldValue(int index, const QVariant& v) {
    if (state_ != State::Edit && state_ != State::Insert)
        throw DbError(notInEditMessage(objectName()));
    // An edit writes only what differs from the row: the same value is no change, so a
    // column another workstation saved meanwhile is left as it saved it.
    if (state_ == State::Edit && sameValue(buffer_[index], v))
        return;
    buffer_[index] = v;
    changed_[index] = true;
}

void Query::checkBrowseMode() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    if (changed_.contains(true))
        post();
    else
        cancel();
}

void Query::append() {
    if (!rows_)
        throw DbError(QString::fromUtf8("%1: پرس و جو باز نيست").arg(objectName()));
    checkBrowseMode();
    buffer_ = Row(fields_.size());
    changed_ = QVector<bool>(fields_.size(), false);
    insertAt_ = int(totalRows());
    state_ = State::Insert;
}

void Query::insert() {
    if (!rows_)
        throw DbError(QString::fromUtf8("%1: پرس و جو باز نيست").arg(objectName()));
    checkBrowseMode();
    const bool atRow = ensureCurrent();
    buffer_ = Row(fields_.size());
    changed_ = QVector<bool>(fields_.size(), false);
    insertAt_ = atRow ? cur_ : int(totalRows());
    state_ = State::Insert;
}

void Query::edit() {
    if (!rows_)
        throw DbError(QString::fromUtf8("%1: پرس و جو باز نيست").arg(objectName()));
    checkBrowseMode();
    if (!ensureCurrent()) {
        append();
        return;
    }
    if (ordered_)
        materialiseOrder(); // the row edited has a place of its own
    buffer_ = current_;
    changed_ = QVector<bool>(fields_.size(), false);
    state_ = State::Edit;
}

void Query::cancel() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    const bool wasEdit = state_ == State::Edit;
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
    if (wasEdit)
        emit rowChanged(cur_);
}

QString Query::targetTable() const {
    static const QRegularExpression re(R"(\bfrom\s+([A-Za-z_][A-Za-z0-9_]*))",
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql_.text()).captured(1).toLower();
}

QString Query::tableColumnOf(int fieldIndex, const TableInfo& table) const {
    const QString name = fields_[fieldIndex].name;
    const qsizetype dot = name.indexOf('.');
    if (dot >= 0) {
        if (name.left(dot).compare(table.name, Qt::CaseInsensitive) != 0)
            return {};
        const ColumnInfo* c = table.column(name.mid(dot + 1));
        return c ? c->name : QString();
    }
    const ColumnInfo* c = table.column(name);
    return c ? c->name : QString();
}

QVariant Query::storedValue(const ColumnInfo& column, const QVariant& v) const {
    if (v.isNull())
        return v;
    const bool isText = v.typeId() == QMetaType::QString;
    const QString text = isText ? v.toString() : QString();
    switch (column.kind) {
    case FieldKind::Text: {
        QString bad;
        const auto mapped = codepage::toRepertoire(displayText(v), &bad);
        if (!mapped)
            throw DbError(codepage::unsupportedCharMessage(bad));
        if (column.width > 0 && textWidth(*mapped) > column.width)
            throw DbError(widthMessage(column.name, column.width));
        return *mapped;
    }
    case FieldKind::Integer:
    case FieldKind::AutoInc: {
        if (!isText)
            return v.toLongLong();
        if (text.trimmed().isEmpty())
            return QVariant();
        bool ok = false;
        const qint64 n = codepage::toRepertoire(text).value_or(text).trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError(QString::fromUtf8("مقدار «%1» براي ستون «%2» عدد صحيح نيست")
                              .arg(text, column.name));
        return n;
    }
    case FieldKind::Boolean: {
        if (!isText)
            return v.toBool();
        const QString s = text.trimmed().toLower();
        if (s == "true" || s == "1" || s == "-1")
            return true;
        if (s == "false" || s == "0")
            return false;
        throw DbError(QString::fromUtf8("مقدار «%1» براي ستون «%2» درست يا نادرست نيست")
                          .arg(text, column.name));
    }
    case FieldKind::Blob: {
        if (!isText)
            return v.toByteArray();
        const auto bytes = codepage::encode(text);
        if (!bytes)
            throw DbError(codepage::unsupportedCharMessage(text));
        return *bytes;
    }
    case FieldKind::Float: {
        bool ok = true;
        const double d = isText ? text.trimmed().toDouble(&ok) : v.toDouble();
        if (!ok)
            throw DbError(
                QString::fromUtf8("مقدار «%1» براي ستون «%2» عدد نيست").arg(text, column.name));
        return d;
    }
    case FieldKind::DateTime:
        return v;
    }
    return v;
}

Row Query::reread(const TableInfo& table, const QVariant& key) {
    Row row = buffer_;
    row.resize(fields_.size() * 2);
    if (table.keyColumn.isEmpty() || key.isNull())
        return row;
    Statement q(connection_);
    if (!readRowByKey(q, table, key))
        return row;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < fields_.size(); ++i) {
        const QString col = tableColumnOf(i, table);
        const int c = col.isEmpty() ? -1 : rec.indexOf(col);
        if (c < 0)
            continue;
        QVariant v = q.value(c);
        if (fields_[i].kind == FieldKind::Boolean && !v.isNull())
            v = QVariant(v.typeId() == QMetaType::QString
                             ? v.toString().compare("true", Qt::CaseInsensitive) == 0
                             : v.toLongLong() != 0);
        row[i] = v;
        if (const int exact = rec.indexOf(exactAlias(col)); exact >= 0)
            row[fields_.size() + i] = q.value(exact);
    }
    return row;
}

// The row of `key` as stored now, on `q`; false when it is not there. A server's timestamps
// keep only milliseconds in Qt: each is read as text beside the row too.
bool Query::readRowByKey(Statement& q, const TableInfo& table, const QVariant& key) const {
    QString columns = "*";
    if (connection_.engine() == Engine::PostgreSQL)
        for (const ColumnInfo& c : table.columns)
            if (c.kind == FieldKind::DateTime)
                columns += ", " + c.name + "::text as " + exactAlias(c.name);
    if (q.run("select " + columns + " from " + table.name + " where " + table.keyColumn + " = ?",
              {key}) &&
        q.next())
        return true;
    if (q.lastError().isValid())
        throw DbError(connection_.errorMessage(q.lastError()));
    return false;
}

void Query::post() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    connection_.revive();
    const QString tableName = targetTable();
    const TableInfo* table =
        isPlainIdentifier(tableName) ? connection_.tableInfo(tableName) : nullptr;
    if (!table)
        throw DbError(
            QString::fromUtf8("%1: جدول «%2» براي ثبت پيدا نشد").arg(objectName(), tableName));
    const TableInfo info = *table;
    if (state_ == State::Insert)
        postInsert(info);
    else
        postEdit(info);
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
}

Query::ChangedColumns Query::changedColumns(const TableInfo& table) const {
    ChangedColumns out;
    const Row seen = currentSeen();
    for (int i = 0; i < fields_.size(); ++i) {
        const QString col = tableColumnOf(i, table);
        if (!changed_[i] || col.isEmpty() || col == table.keyColumn)
            continue;
        out.values << storedValue(*table.column(col), buffer_[i]);
        out.names << col;
        out.fields << i;
        const QVariant exact = table.column(col)->kind == FieldKind::DateTime
                                   ? seen.value(fields_.size() + i)
                                   : QVariant();
        out.exact << !exact.isNull();
        out.asRead << (exact.isNull() ? seen.value(i) : exact);
    }
    return out;
}

void Query::postInsert(const TableInfo& table) {
    const ChangedColumns changed = changedColumns(table);
    // Counted before the row exists: it is shown once, where it was added.
    rows_->count();
    materialiseOrder();
    const bool pg = connection_.engine() == Engine::PostgreSQL;
    QString sql = changed.names.isEmpty()
                      ? "insert into " + table.name + " default values"
                      : "insert into " + table.name + " (" + changed.names.join(", ") +
                            ") values (" + QStringList(changed.names.size(), "?").join(", ") + ")";
    if (pg && !table.keyColumn.isEmpty())
        sql += " returning " + table.keyColumn;
    QVariant key;
    Row row;
    connection_.saveAtomically([&] {
        Statement q(connection_);
        q.prepare(sql);
        for (const QVariant& v : changed.values)
            q.addBindValue(v);
        if (!q.exec())
            throw DbError(connection_.errorMessage(q.lastError()));
        if (!table.keyColumn.isEmpty())
            key = pg ? (q.next() ? q.value(0) : QVariant()) : q.lastInsertId();
        row = reread(table, key);
    });
    const Row seen = seenAfterSave(row, row, changed);
    if (!key.isNull())
        rows_->exclude(key.toLongLong());
    const int at = std::clamp(insertAt_, 0, int(order_.size()));
    added_.push_back(row + seen);
    emit rowsAboutToBeInserted(at, at);
    order_.insert(order_.begin() + at, -qint64(added_.size()));
    emit rowsInserted();
    cur_ = at;
    current_ = row.mid(0, fields_.size());
    exact_ = row.mid(fields_.size());
    currentValid_ = true;
    emit currentRowChanged(cur_);
}

void Query::postEdit(const TableInfo& table) {
    const int keyField = table.keyColumn.isEmpty() ? -1 : fieldIndex(table.keyColumn);
    if (keyField < 0)
        throw DbError(QString::fromUtf8("%1: رکورد کليد ندارد و ويرايش نمي شود").arg(objectName()));
    const QVariant key = current_.value(keyField);
    const ChangedColumns changed = changedColumns(table);
    Row row;
    if (!changed.names.isEmpty()) {
        connection_.saveAtomically([&] {
            Statement q(connection_);
            q.prepare(guardedUpdateSql(table, changed));
            for (const QVariant& v : changed.values)
                q.addBindValue(v);
            q.addBindValue(key);
            for (const QVariant& v : changed.asRead)
                if (!v.isNull())
                    q.addBindValue(v);
            if (!q.exec())
                throw DbError(connection_.errorMessage(q.lastError()));
            if (q.numRowsAffected() == 0)
                throw DbError(refusedEditMessage(table, key, changed));
            row = reread(table, key);
        });
    } else {
        row = reread(table, key);
    }
    // The grid shows the row as read back; the guard of the next save stays with what the user
    // saw, which for a column another workstation changed meanwhile is not what was read.
    const Row seen = seenAfterSave(currentSeen(), row, changed);
    if (ordered_ && order_[std::size_t(cur_)] < 0)
        added_[std::size_t(-1 - order_[std::size_t(cur_)])] = row + seen;
    else
        edited_.insert(ordered_ ? order_[std::size_t(cur_)] : cur_, row + seen);
    current_ = row.mid(0, fields_.size());
    exact_ = row.mid(fields_.size());
    currentValid_ = true;
    emit rowChanged(cur_);
}

// What the user has seen of a row this query just saved: each column written as this save left
// it, the others as seen before. A server's row is read back inside the save's transaction,
// locked by its update, so its written columns read exactly as stored; a file's statements run
// one by one, so there it is the value the save gave.
Row Query::seenAfterSave(Row seen, const Row& readBack, const ChangedColumns& changed) const {
    const bool server = connection_.engine() == Engine::PostgreSQL;
    const int n = int(fields_.size());
    seen.resize(2 * n);
    for (int k = 0; k < changed.fields.size(); ++k) {
        const int i = changed.fields[k];
        seen[i] = server ? readBack.value(i) : changed.values[k];
        seen[n + i] = readBack.value(n + i);
    }
    return seen;
}

// A row as read is seen as it reads already; a saved one drops the baseline it kept.
void Query::markCurrentSeen() {
    if (state_ != State::Browse || !ensureCurrent() || !keptRow(cur_))
        return;
    const qint64 base = resultRow(cur_);
    Row& kept = base < 0 ? added_[std::size_t(-1 - base)] : edited_[base];
    const Row shown = kept.mid(0, 2 * fields_.size());
    kept = shown + shown;
}

// The update holds only while each column it writes still has the value the user last saw
// in it; the engine checks that and writes in one statement, so no other workstation's
// save falls between the check and the write.
QString Query::guardedUpdateSql(const TableInfo& table, const ChangedColumns& changed) const {
    QStringList sets;
    for (const QString& col : changed.names)
        sets << col + " = ?";
    QString sql =
        "update " + table.name + " set " + sets.join(", ") + " where " + table.keyColumn + " = ?";
    for (int i = 0; i < changed.names.size(); ++i)
        sql += " and " + changed.names[i] +
               (changed.asRead[i].isNull() ? " is null"
                : changed.exact[i]         ? "::text = ?"
                                           : " = ?");
    return sql;
}

QString Query::refusedEditMessage(const TableInfo& table, const QVariant& key,
                                  const ChangedColumns& changed) {
    Statement q(connection_);
    if (!readRowByKey(q, table, key))
        return QString::fromUtf8("اين رکورد در بانک اطلاعاتي نيست (شايد از ايستگاه ديگري حذف شده "
                                 "باشد)؛ تغييرات ثبت نشد");
    QString column = changed.names.value(0);
    for (int i = 0; i < changed.names.size(); ++i) {
        const QString& name = changed.names[i];
        if (!sameValue(q.value(changed.exact[i] ? exactAlias(name) : name), changed.asRead[i])) {
            column = name;
            break;
        }
    }
    return changedMeanwhileMessage(column);
}

QString changedMeanwhileMessage(const QString& column) {
    return QString::fromUtf8("«%1» در اين فاصله از ايستگاه ديگري تغيير کرده است؛ تغييرات ثبت "
                             "نشد و آنچه وارد کرده ايد سر جايش است. براي ديدن مقدار تازه "
                             "دوباره جستجو کنيد")
        .arg(column);
}

void Query::deleteRecord() {
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    checkBrowseMode();
    if (!rows_ || !ensureCurrent())
        throw DbError(QString::fromUtf8("%1: رکوردي براي حذف نيست").arg(objectName()));
    const QString tableName = targetTable();
    const TableInfo* table =
        isPlainIdentifier(tableName) ? connection_.tableInfo(tableName) : nullptr;
    const int keyField = table && !table->keyColumn.isEmpty() ? fieldIndex(table->keyColumn) : -1;
    if (keyField < 0)
        throw DbError(QString::fromUtf8("%1: رکورد کليد ندارد و حذف نمي شود").arg(objectName()));
    connection_.revive();
    connection_.saveAtomically([&] {
        Statement q(connection_);
        q.prepare("delete from " + table->name + " where " + table->keyColumn + " = ?");
        q.addBindValue(current_.value(keyField));
        if (!q.exec())
            throw DbError(connection_.errorMessage(q.lastError()));
    });
    materialiseOrder();
    // A view answering the removal may move the current row; the deleted one stays `row`.
    const int row = cur_;
    emit rowsAboutToBeRemoved(row, row);
    order_.erase(order_.begin() + row);
    emit rowsRemoved();
    moveTo(std::min(row, std::max(0, loadedRowCount() - 1)));
}

void Query::refresh() {
    checkBrowseMode();
    const auto [keyName, key] = currentKey();
    const int oldRow = cur_;
    open();
    if (key.isValid() && findKey(keyName, key))
        return;
    Row r;
    moveTo(rowAt(oldRow, r) ? oldRow : std::max(0, int(std::min<qint64>(oldRow, totalRows() - 1))));
}

std::pair<QString, QVariant> Query::currentKey() {
    if (!rows_)
        return {};
    const TableInfo* table = connection_.tableInfo(targetTable());
    if (!table || table->keyColumn.isEmpty() || fieldIndex(table->keyColumn) < 0 ||
        !ensureCurrent())
        return {};
    return {table->keyColumn, current_.value(fieldIndex(table->keyColumn))};
}

// A keyed result finds the row by counting those before it, never by reading up to it; one
// further down than the pages kept in memory is not looked for.
bool Query::findKey(const QString& keyName, const QVariant& key) {
    if (!rows_->keyed())
        return locate(keyName, key);
    const std::optional<qint64> at =
        rows_->positionOf(key, qint64(ResultPages::kMaxPages) * ResultPages::kPageRows);
    if (!at)
        return false;
    moveTo(int(*at));
    return true;
}

void Query::setSort(const QString& sort) {
    const QStringList parts = sort.split(' ', Qt::SkipEmptyParts);
    if (!sort.trimmed().isEmpty()) {
        const QString dir = parts.value(1, "ASC").toUpper();
        if (parts.size() > 2 || !isPlainIdentifier(parts[0]) || (dir != "ASC" && dir != "DESC"))
            throw DbError(QString::fromUtf8("ترتيب «%1» درست نيست").arg(sort));
        sort_ = parts[0] + " " + dir;
    } else {
        sort_.clear();
    }
    if (!rows_)
        return;
    // The current row stays current where it sorts among the first rows; otherwise the list
    // shows its top, as a new search does.
    checkBrowseMode();
    const auto [keyName, key] = currentKey();
    open();
    if (!key.isValid() || !findKey(keyName, key))
        moveTo(0);
}

} // namespace gc::db
