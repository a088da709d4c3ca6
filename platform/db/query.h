#pragma once

#include "platform/db/connection.h"
#include "platform/db/result_pages.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

class QIODevice;

namespace gc::db {

class Query;
class Statement;

// A persistent field: the query exposes exactly these, bound by result column name.
struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Text;
    int size = 20;
};

// The statement as lines; the text is the lines joined by line breaks.
class SqlLines {
  public:
    void clear() { lines_.clear(); }
    void add(const QString& line) { lines_ << line; }
    QString text() const { return lines_.join('\n'); }
    const QStringList& lines() const { return lines_; }

  private:
    QStringList lines_;
};

// One field of the current record.
class Field {
  public:
    Field(Query& query, int index) : query_(&query), index_(index) {}

    QString name() const;
    FieldKind kind() const;
    bool isNull() const;
    QVariant value() const;
    QString asString() const;
    qint64 asInteger() const;
    bool asBoolean() const;
    double asFloat() const;
    QByteArray asBytes() const;

    void setValue(const QVariant& v);
    void setAsString(const QString& s) { setValue(s); }
    void setAsInteger(qint64 v) { setValue(v); }
    void setAsBoolean(bool v) { setValue(v); }
    void setBytes(const QByteArray& b) { setValue(b); }
    void clear() { setValue(QVariant()); }

    // Blob fields: to and from files and streams. Throw DbError.
    void loadFromFile(const QString& path);
    void saveToFile(const QString& path) const;
    void loadFromStream(QIODevice& in);
    void saveToStream(QIODevice& out) const;

  private:
    Query* query_;
    int index_;
};

// A query on the shared connection: its SQL, a current record, and edits that are
// posted into the table it reads.
class Query : public QObject {
    Q_OBJECT
  public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum class CursorType { Keyset, Static };

    Query(Connection& connection, const QString& name, QObject* parent = nullptr);
    ~Query() override;

    QString name() const { return objectName(); }
    Connection& connection() const { return connection_; }
    SqlLines& sql() { return sql_; }
    void setSql(const QString& text);
    void setCursorType(CursorType t) { cursorType_ = t; }
    CursorType cursorType() const { return cursorType_; }
    void setPersistentFields(const QVector<FieldDef>& fields) { persistent_ = fields; }
    bool hasPersistentFields() const { return !persistent_.isEmpty(); }

    // Opens the statement; throws DbError and stays closed on failure.
    void open();
    // Re-points the query: its SQL becomes these lines, then it opens.
    void openSql(const QStringList& lines);
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    // Runs the statement as one that returns no rows; returns the rows it changed.
    int execSql();
    // The statement as open() gives it to the engine: in the code page, its like conditions
    // kaf-blind, in the engine's dialect (its pages are read after it in its order).
    QString engineSql() const;

    int fieldCount() const { return int(fields_.size()); }
    QStringList fieldNames() const;
    const FieldDef& fieldDef(int index) const { return fields_[index]; }
    int fieldIndex(const QString& name) const;
    Field fieldByName(const QString& name); // throws DbError when absent
    Field field(int index) { return Field(*this, index); }

    int recordCount();
    bool isEmpty();
    int recNo();          // 1-based; 0 when there is no current record
    void setRecNo(int n); // moves to record n (1-based)
    void first();
    void last();
    void next();
    void prior();
    bool eof();
    bool bof() const { return bof_; }
    bool locate(const QString& fieldName, const QVariant& value, bool caseInsensitive = false);

    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void refresh();
    // The current row as it now reads is what the user is shown (a form copied it): later
    // saves of it are guarded with these values, not with those the user saw before.
    void markCurrentSeen();

    // Client-side order: "" or a field name followed by " ASC" or " DESC".
    void setSort(const QString& sort);
    QString sort() const { return sort_; }

    // Grid access by row, without moving the current record.
    int loadedRowCount() const;
    bool canFetchMore() const;
    void fetchMore();
    QVariant valueAt(int row, int fieldIndex);
    // Whether row `row` can be shown without reading the database.
    bool rowInMemory(int row) const;
    int currentRow() const { return cur_; }

  signals:
    void aboutToReset();
    void resetDone();
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted();
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved();
    void rowChanged(int row);
    void currentRowChanged(int row);

  private:
    friend class Field;
    QVariant fieldValue(int index) const;
    void setFieldValue(int index, const QVariant& v);
    // The result row shown as `logical` (< 0: -1 - index into added_).
    qint64 resultRow(qint64 logical) const;
    // The row as kept: a local change in field order, or as read in result column order.
    const Row* storedRow(qint64 logical, bool& asRead) const;
    // The row this query saved or added, shown as `logical`; null for a row as read.
    const Row* keptRow(qint64 logical) const;
    bool rowAt(qint64 logical, Row& out) const;
    bool ensureCurrent();
    void loadCurrent();
    void checkBrowseMode();
    void materialiseOrder();
    // The key column and the current row's key; none without a key or a current row.
    std::pair<QString, QVariant> currentKey();
    bool findKey(const QString& keyName, const QVariant& key);
    qint64 totalRows();
    QString executedSql() const;
    void bindFields();
    void discardResult();
    QString targetTable() const;
    QString keyColumn();
    QString tableColumnOf(int fieldIndex, const TableInfo& table) const;
    struct ChangedColumns {
        QStringList names;
        QVector<int> fields; // the field each column is written from
        QVariantList values; // as stored
        QVariantList asRead; // what the user last saw in each (currentSeen)
        QVector<bool> exact; // asRead is the value's full-precision text
    };
    Row exactTextsAt(qint64 logical) const;
    Row currentSeen() const;
    bool readRowByKey(Statement& q, const TableInfo& table, const QVariant& key) const;
    ChangedColumns changedColumns(const TableInfo& table) const;
    void postInsert(const TableInfo& table);
    void postEdit(const TableInfo& table);
    QString guardedUpdateSql(const TableInfo& table, const ChangedColumns& changed) const;
    QString refusedEditMessage(const TableInfo& table, const QVariant& key,
                               const ChangedColumns& changed);
    Row reread(const TableInfo& table, const QVariant& key);
    Row seenAfterSave(Row seen, const Row& readBack, const ChangedColumns& changed) const;
    QVariant storedValue(const ColumnInfo& column, const QVariant& v) const;
    void moveTo(int row);

    Connection& connection_;
    SqlLines sql_;
    CursorType cursorType_ = CursorType::Keyset;
    QVector<FieldDef> persistent_;
    QString sort_;

    State state_ = State::Inactive;
    std::unique_ptr<ResultPages> rows_;
    QVector<FieldDef> fields_;
    QVector<int> columnOf_; // exposed field -> result column

    // Local changes over the result: edited rows, and once rows are added or removed,
    // the order of logical rows (>= 0: result row; < 0: -1 - index into added_). Each holds
    // its fields' values, then their full-precision texts (exactTextsAt), then both as the user
    // last saw them (currentSeen).
    QHash<qint64, Row> edited_;
    std::vector<qint64> order_;
    bool ordered_ = false;
    qint64 covered_ = 0; // result rows placed in order_; later ones follow it by their index
    std::vector<Row> added_;

    int cur_ = 0;
    bool bof_ = true;
    Row current_;
    Row exact_; // per field of current_, the full-precision text it was read with
    bool currentValid_ = false;
    Row buffer_;
    QVector<bool> changed_;
    int insertAt_ = 0;
};

// The refusal of an edit whose `column` another workstation changed after it was read.
QString changedMeanwhileMessage(const QString& column);

} // namespace gc::db
