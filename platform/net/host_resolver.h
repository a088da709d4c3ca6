#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace gc::platform {

// The host look-ups the workstation address needs; tests supply their own.
class HostResolver {
  public:
    virtual ~HostResolver() = default;

    virtual QString localHostName() const = 0;

    // Forward look-up, in the resolver's order; empty when it fails.
    virtual QList<QHostAddress> addressesOf(const QString& hostName) const = 0;

    // Reverse look-up; empty when no name is registered for the address.
    virtual QString nameOf(const QHostAddress& address) const = 0;

    // Addresses of the network interfaces that are up and running.
    virtual QList<QHostAddress> interfaceAddresses() const = 0;
};

// The system resolver (blocking look-ups) and interface list.
class SystemHostResolver final : public HostResolver {
  public:
    QString localHostName() const override;
    QList<QHostAddress> addressesOf(const QString& hostName) const override;
    QString nameOf(const QHostAddress& address) const override;
    QList<QHostAddress> interfaceAddresses() const override;
};

} // namespace gc::platform
