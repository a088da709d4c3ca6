#include "platform/net/workstation.h"

#include <algorithm>

namespace gc::platform {

namespace {

bool isIPv4(const QHostAddress& a) {
    return a.protocol() == QAbstractSocket::IPv4Protocol;
}

bool isUsableIPv4(const QHostAddress& a) {
    return isIPv4(a) && !a.isLoopback();
}

bool isLinkLocalIPv4(const QHostAddress& a) {
    return a.isInSubnet(QHostAddress(0xA9FE0000u), 16);
}

} // namespace

QString chooseLocalIPv4(const QList<QHostAddress>& resolved,
                        const QList<QHostAddress>& interfaces) {
    const auto lastUsable = std::find_if(resolved.rbegin(), resolved.rend(), isUsableIPv4);
    if (lastUsable != resolved.rend())
        return lastUsable->toString();

    // Interfaces come in the system's order; a self-assigned address is the last resort.
    const QHostAddress* fallback = nullptr;
    for (const QHostAddress& a : interfaces) {
        if (!isUsableIPv4(a))
            continue;
        if (!isLinkLocalIPv4(a))
            return a.toString();
        if (!fallback)
            fallback = &a;
    }
    if (fallback)
        return fallback->toString();

    const auto lastIPv4 = std::find_if(resolved.rbegin(), resolved.rend(), isIPv4);
    return lastIPv4 != resolved.rend() ? lastIPv4->toString() : QString();
}

QString Workstation::LocalIP() {
    if (!localIP_) {
        const QList<QHostAddress> resolved = resolver_.addressesOf(resolver_.localHostName());
        localIP_ = chooseLocalIPv4(resolved, resolver_.interfaceAddresses());
    }
    return *localIP_;
}

QString Workstation::IPAddrToName(const QString& address) {
    const auto known = names_.constFind(address);
    if (known != names_.cend())
        return *known;
    QHostAddress parsed;
    QString name;
    if (parsed.setAddress(address.trimmed()) && isIPv4(parsed))
        name = resolver_.nameOf(parsed);
    names_.insert(address, name);
    return name;
}

} // namespace gc::platform
