#include "platform/net/host_resolver.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace gc::platform {

QString SystemHostResolver::localHostName() const {
    return QHostInfo::localHostName();
}

QList<QHostAddress> SystemHostResolver::addressesOf(const QString& hostName) const {
    if (hostName.isEmpty())
        return {};
    const QHostInfo info = QHostInfo::fromName(hostName);
    return info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>{};
}

QString SystemHostResolver::nameOf(const QHostAddress& address) const {
    const QString text = address.toString();
    const QHostInfo info = QHostInfo::fromName(text);
    // A failed reverse look-up reports the address itself as the name.
    if (info.error() != QHostInfo::NoError || info.hostName() == text)
        return {};
    return info.hostName();
}

QList<QHostAddress> SystemHostResolver::interfaceAddresses() const {
    QList<QHostAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries())
            out.append(entry.ip());
    }
    return out;
}

} // namespace gc::platform
