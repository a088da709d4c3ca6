#include "fakes/fake_host_resolver.h"
#include "platform/net/workstation.h"

#include <QNetworkInterface>
#include <gtest/gtest.h>
#include <ostream>

using gc::platform::chooseLocalIPv4;
using gc::platform::Workstation;

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace {

QList<QHostAddress> addrs(std::initializer_list<const char*> texts) {
    QList<QHostAddress> out;
    for (const char* t : texts)
        out.append(QHostAddress(QString::fromLatin1(t)));
    return out;
}

} // namespace

TEST(LocalIP, TakesTheLastIPv4OfTheResolverList) {
    EXPECT_EQ(chooseLocalIPv4(addrs({"10.0.0.5", "fe80::1", "192.168.1.20", "::1"}), {}),
              "192.168.1.20");
    EXPECT_EQ(chooseLocalIPv4(addrs({"10.0.0.5"}), addrs({"172.16.0.9"})), "10.0.0.5");
}

TEST(LocalIP, NeverLoopbackWhileAnotherIPv4Exists) {
    // Debian's usual /etc/hosts entry for the machine's own name.
    EXPECT_EQ(chooseLocalIPv4(addrs({"127.0.1.1"}), addrs({"127.0.0.1", "::1", "10.1.2.3"})),
              "10.1.2.3");
    EXPECT_EQ(chooseLocalIPv4(addrs({"192.168.1.20", "127.0.1.1"}), {}), "192.168.1.20");
    // Nothing resolved at all: the interfaces still tell.
    EXPECT_EQ(chooseLocalIPv4({}, addrs({"127.0.0.1", "169.254.3.4", "10.1.2.3"})), "10.1.2.3");
    EXPECT_EQ(chooseLocalIPv4({}, addrs({"169.254.3.4"})), "169.254.3.4");
}

TEST(LocalIP, LoopbackOrNothingWhenTheMachineHasNoOtherAddress) {
    EXPECT_EQ(chooseLocalIPv4(addrs({"127.0.1.1"}), addrs({"127.0.0.1", "::1"})), "127.0.1.1");
    EXPECT_EQ(chooseLocalIPv4(addrs({"::1", "fe80::2"}), addrs({"::1"})), "");
    EXPECT_EQ(chooseLocalIPv4({}, {}), "");
}

TEST(LocalIP, LooksUpOnceAndRemembers) {
    gc::test::FakeHostResolver resolver;
    resolver.forward.insert("guardpost", addrs({"127.0.1.1"}));
    resolver.interfaces = addrs({"127.0.0.1", "192.168.5.7"});
    Workstation ws(resolver);
    EXPECT_EQ(ws.LocalIP(), "192.168.5.7");
    resolver.interfaces = addrs({"10.9.9.9"});
    EXPECT_EQ(ws.LocalIP(), "192.168.5.7");
    EXPECT_EQ(resolver.forwardLookups, 1);
}

TEST(LocalIP, UnknownHostGivesEmptyTextOnce) {
    gc::test::FakeHostResolver resolver;
    Workstation ws(resolver);
    EXPECT_EQ(ws.LocalIP(), "");
    EXPECT_EQ(ws.LocalIP(), "");
    EXPECT_EQ(resolver.forwardLookups, 1);
}

TEST(IPAddrToName, ResolvesRemembersAndRefusesNonIPv4) {
    gc::test::FakeHostResolver resolver;
    resolver.reverse.insert("192.168.5.7", "gate-pc");
    Workstation ws(resolver);
    EXPECT_EQ(ws.IPAddrToName("192.168.5.7"), "gate-pc");
    EXPECT_EQ(ws.IPAddrToName("192.168.5.7"), "gate-pc");
    EXPECT_EQ(resolver.reverseLookups, 1);

    EXPECT_EQ(ws.IPAddrToName("192.168.5.8"), ""); // no entry
    EXPECT_EQ(resolver.reverseLookups, 2);
    for (const char* bad : {"", "gate-pc", "300.1.1.1", "::1"})
        EXPECT_EQ(ws.IPAddrToName(bad), "") << bad;
    EXPECT_EQ(resolver.reverseLookups, 2);
}

// The real resolver on this machine: whatever it finds, never a loopback address
// while an interface holds another IPv4 address.
TEST(SystemHostResolver, LocalIPIsARealAddressOfThisMachine) {
    gc::platform::SystemHostResolver resolver;
    Workstation ws(resolver);
    const QString ip = ws.LocalIP();
    if (ip.isEmpty())
        GTEST_SKIP() << "this machine has no IPv4 address";
    const QHostAddress address(ip);
    ASSERT_EQ(address.protocol(), QAbstractSocket::IPv4Protocol);
    const auto all = QNetworkInterface::allAddresses();
    const bool hasOther = std::any_of(all.begin(), all.end(), [](const QHostAddress& a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback();
    });
    if (hasOther) {
        EXPECT_FALSE(address.isLoopback()) << ip.toStdString();
    }
    EXPECT_NE(ws.IPAddrToName("127.0.0.1"), "127.0.0.1");
}
