#pragma once

#include <QByteArray>
#include <QString>

namespace gc::report {

// The rows a report prints, in their current order. The program adapts its query class
// to this; a report walks it from the first row and puts the current row back afterwards.
class DataSource {
  public:
    virtual ~DataSource() = default;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;

    // The current row's field as text / as bytes; empty for an unknown field.
    virtual QString fieldText(const QString& name) const = 0;
    virtual QByteArray fieldBlob(const QString& name) const = 0;

    virtual int recordCount() const = 0;

    // The current row's index from 0 (-1 when there is none), and a way back to it.
    virtual int position() const = 0;
    virtual void setPosition(int index) = 0;
};

} // namespace gc::report
