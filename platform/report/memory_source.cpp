#include "platform/report/memory_source.h"

namespace gc::report {

MemorySource::MemorySource(QStringList fields) {
    for (int i = 0; i < fields.size(); ++i)
        index_.insert(fields[i], i);
}

void MemorySource::addRow(QVariantList values) {
    rows_.push_back(std::move(values));
    if (current_ < 0)
        current_ = 0;
}

void MemorySource::next() {
    if (!eof())
        ++current_;
}

const QVariant* MemorySource::value(const QString& name) const {
    const auto it = index_.constFind(name);
    if (eof() || it == index_.constEnd())
        return nullptr;
    const QVariantList& row = rows_[std::size_t(current_)];
    return *it < row.size() ? &row[*it] : nullptr;
}

QString MemorySource::fieldText(const QString& name) const {
    const QVariant* v = value(name);
    return v ? v->toString() : QString();
}

QByteArray MemorySource::fieldBlob(const QString& name) const {
    const QVariant* v = value(name);
    return v ? v->toByteArray() : QByteArray();
}

} // namespace gc::report
