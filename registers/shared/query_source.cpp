#include "registers/shared/query_source.h"

#include "platform/db/query.h"

namespace gc::registers {

QueryDataSource::QueryDataSource(db::Query& query)
    : query_(query), savedRecNo_(query.isActive() ? query.recNo() : 0) {}

QueryDataSource::~QueryDataSource() {
    if (savedRecNo_ > 0 && query_.isActive())
        query_.setRecNo(savedRecNo_);
}

void QueryDataSource::first() {
    if (query_.isActive())
        query_.first();
}

void QueryDataSource::next() {
    if (query_.isActive())
        query_.next();
}

bool QueryDataSource::eof() const {
    return !query_.isActive() || query_.eof();
}

QString QueryDataSource::fieldText(const QString& name) const {
    const int i = query_.fieldIndex(name);
    return i < 0 || eof() ? QString() : query_.field(i).asString();
}

QByteArray QueryDataSource::fieldBlob(const QString& name) const {
    const int i = query_.fieldIndex(name);
    return i < 0 || eof() ? QByteArray() : query_.field(i).asBytes();
}

int QueryDataSource::recordCount() const {
    return query_.recordCount();
}

int QueryDataSource::position() const {
    return eof() ? -1 : query_.recNo() - 1;
}

void QueryDataSource::setPosition(int index) {
    if (index >= 0 && query_.isActive())
        query_.setRecNo(index + 1);
}

} // namespace gc::registers
