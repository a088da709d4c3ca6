#pragma once

#include "platform/net/host_resolver.h"

#include <QHash>
#include <optional>

namespace gc::platform {

// The workstation's IPv4 address from a host look-up of its own name and from
// its interfaces. The resolver's list wins, its last IPv4 address being taken; a
// loopback address is given only when the machine has no other IPv4 address (a
// host name that resolves to 127.0.1.1 is common). Empty when there is none.
QString chooseLocalIPv4(const QList<QHostAddress>& resolved, const QList<QHostAddress>& interfaces);

// The workstation's address and the names of addresses, looked up once each and
// remembered for the rest of the run.
class Workstation {
  public:
    explicit Workstation(const HostResolver& resolver) : resolver_(resolver) {}

    // Dotted IPv4 text, or empty.
    QString LocalIP();

    // The host name registered for a dotted IPv4 address; empty when there is
    // none or the text is not an IPv4 address.
    QString IPAddrToName(const QString& address);

  private:
    const HostResolver& resolver_;
    std::optional<QString> localIP_;
    QHash<QString, QString> names_;
};

} // namespace gc::platform
