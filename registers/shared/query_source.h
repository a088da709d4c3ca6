#pragma once

#include "platform/report/data_source.h"

namespace gc::db {
class Query;
}

namespace gc::registers {

// A list's shared query as the rows of a report, in the query's current order and filter.
// The query's current row is put back when the source goes away.
class QueryDataSource : public report::DataSource {
  public:
    explicit QueryDataSource(db::Query& query);
    ~QueryDataSource() override;
    QueryDataSource(const QueryDataSource&) = delete;
    QueryDataSource& operator=(const QueryDataSource&) = delete;

    void first() override;
    void next() override;
    bool eof() const override;
    QString fieldText(const QString& name) const override;
    QByteArray fieldBlob(const QString& name) const override;
    int recordCount() const override;
    int position() const override;
    void setPosition(int index) override;

  private:
    db::Query& query_;
    int savedRecNo_;
};

} // namespace gc::registers
