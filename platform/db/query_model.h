#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QHash>

namespace gc::db {

class Query;

// A grid's view of a query: whatever result the query holds now, rows read as the
// grid scrolls, following the query's appends, edits and deletes.
class QueryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit QueryModel(Query& query, QObject* parent = nullptr);

    Query& query() const { return query_; }
    // Column titles by field name (case-insensitive); other fields show their names.
    void setCaptions(const QHash<QString, QString>& captions);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

  signals:
    // A read while the grid scrolled failed (the server went away): the grid keeps the
    // rows it holds, tries again now and then, goes on once the server is back, and this is
    // said once until then.
    void readFailed(const QString& message) const;

  private:
    static constexpr int kRetryMs = 2000;
    bool mayRead(int row) const;
    void failRead(const QString& message) const;

    Query& query_;
    mutable bool readFailed_ = false;
    mutable QElapsedTimer sinceFailure_;
    int rows_ = 0;
    int columns_ = 0;
    QHash<QString, QString> captions_;
};

} // namespace gc::db
