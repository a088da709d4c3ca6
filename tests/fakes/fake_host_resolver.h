#pragma once

#include "platform/net/host_resolver.h"

#include <QHash>

namespace gc::test {

// Answers from tables the test fills, counting the look-ups it is asked for.
class FakeHostResolver final : public platform::HostResolver {
  public:
    QString hostName = QStringLiteral("guardpost");
    QHash<QString, QList<QHostAddress>> forward;
    QHash<QString, QString> reverse; // dotted address -> name
    QList<QHostAddress> interfaces;
    mutable int forwardLookups = 0;
    mutable int reverseLookups = 0;

    QString localHostName() const override { return hostName; }
    QList<QHostAddress> addressesOf(const QString& name) const override {
        ++forwardLookups;
        return forward.value(name);
    }
    QString nameOf(const QHostAddress& address) const override {
        ++reverseLookups;
        return reverse.value(address.toString());
    }
    QList<QHostAddress> interfaceAddresses() const override { return interfaces; }
};

} // namespace gc::test
