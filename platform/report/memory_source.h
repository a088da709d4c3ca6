#pragma once

#include "platform/report/data_source.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace gc::report {

// Rows held in memory: texts, and byte arrays for picture fields.
class MemorySource : public DataSource {
  public:
    explicit MemorySource(QStringList fields);

    // Values in field order; missing trailing values are empty.
    void addRow(QVariantList values);

    void first() override { current_ = rows_.empty() ? -1 : 0; }
    void next() override;
    bool eof() const override { return current_ < 0 || current_ >= int(rows_.size()); }
    QString fieldText(const QString& name) const override;
    QByteArray fieldBlob(const QString& name) const override;
    int recordCount() const override { return int(rows_.size()); }
    int position() const override { return eof() ? -1 : current_; }
    void setPosition(int index) override { current_ = index; }

  private:
    const QVariant* value(const QString& name) const;

    QHash<QString, int> index_;
    std::vector<QVariantList> rows_;
    int current_ = -1;
};

} // namespace gc::report
