#include "platform/db/query_model.h"

#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/text/codepage.h"

namespace gc::db {

QueryModel::QueryModel(Query& query, QObject* parent) : QAbstractTableModel(parent), query_(query) {
    rows_ = query_.loadedRowCount();
    columns_ = query_.fieldCount();
    connect(&query_, &Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(&query_, &Query::resetDone, this, [this] {
        readFailed_ = false;
        rows_ = query_.loadedRowCount();
        columns_ = query_.fieldCount();
        endResetModel();
    });
    connect(&query_, &Query::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&query_, &Query::rowsInserted, this, [this] {
        rows_ = query_.loadedRowCount();
        endInsertRows();
    });
    connect(&query_, &Query::rowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows({}, first, last); });
    connect(&query_, &Query::rowsRemoved, this, [this] {
        rows_ = query_.loadedRowCount();
        endRemoveRows();
    });
    connect(&query_, &Query::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, std::max(0, columns_ - 1)));
    });
}

int QueryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int QueryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant QueryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (!mayRead(index.row()))
        return {};
    QVariant v;
    // An exception must not cross Qt's painting and event code.
    try {
        // A row read from the server again shows it is back.
        const bool retried = readFailed_ && !query_.rowInMemory(index.row());
        v = query_.valueAt(index.row(), index.column());
        if (retried)
            readFailed_ = false;
    } catch (const DbError& e) {
        failRead(e.message());
        return {};
    }
    if (v.typeId() == QMetaType::QByteArray)
        return QStringLiteral("(BLOB)");
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v;
}

QVariant QueryModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1;
    if (section >= query_.fieldCount())
        return {};
    const QString name = query_.fieldDef(section).name;
    return captions_.value(name.toLower(), name);
}

void QueryModel::setCaptions(const QHash<QString, QString>& captions) {
    captions_.clear();
    for (auto it = captions.begin(); it != captions.end(); ++it)
        captions_.insert(it.key().toLower(), it.value());
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columns_ - 1));
}

bool QueryModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && query_.canFetchMore() && mayRead(rows_);
}

void QueryModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !mayRead(rows_))
        return;
    try {
        query_.fetchMore();
        readFailed_ = false;
    } catch (const DbError& e) {
        failRead(e.message());
    }
}

// After a failure, rows held in memory are shown; the server is asked again only now and
// then, not for every cell painted.
bool QueryModel::mayRead(int row) const {
    return !readFailed_ || query_.rowInMemory(row) || sinceFailure_.hasExpired(kRetryMs);
}

void QueryModel::failRead(const QString& message) const {
    sinceFailure_.restart();
    if (readFailed_)
        return;
    readFailed_ = true;
    emit readFailed(message);
}

} // namespace gc::db
