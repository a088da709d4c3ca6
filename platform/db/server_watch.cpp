#include "platform/db/server_watch.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <libpq-fe.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace gc::db {

namespace {

// What the socket knows of its traffic; false where it keeps no TCP_INFO (a Unix-domain
// socket), and the wait then counts from its start alone.
bool socketTraffic(int socket, tcp_info& info) {
    info = {};
    socklen_t size = sizeof info;
    return getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
           size >= offsetof(tcp_info, tcpi_bytes_received);
}

} // namespace

ServerWatch::ServerWatch(PGconn* connection, std::chrono::milliseconds limit)
    : connection_(connection), socket_(PQsocket(connection)), serverPid_(PQbackendPID(connection)),
      limit_(limit), signal_(::eventfd(0, EFD_CLOEXEC)) {
    if (signal_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    PQconninfoOption* options = PQconninfo(connection);
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (o->val && qstrcmp(o->keyword, "connect_timeout") != 0)
            conninfo_.append(qMakePair(QByteArray(o->keyword), QByteArray(o->val)));
    PQconninfoFree(options);
    conninfo_.append(qMakePair(QByteArray("connect_timeout"), QByteArray("2")));
    try {
        watcher_ = std::thread([this] { run(); });
    } catch (...) {
        ::close(signal_);
        throw;
    }
}

ServerWatch::~ServerWatch() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    tell();
    watcher_.join();
    ::close(signal_);
}

void ServerWatch::tell() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t told = ::write(signal_, &one, sizeof one);
}

bool ServerWatch::begin() {
    // An inner wait (a statement's row inside a read loop's wait) costs a count only.
    if (depth_ > 0) {
        ++depth_;
        return true;
    }
    if (PQsocket(connection_) != socket_)
        return false;
    depth_ = 1;
    std::lock_guard lock(mutex_);
    waiting_ = true;
    since_ = Clock::now();
    bytesTaken_.reset(); // read by the watch's first look
    // Only a watch that sleeps is woken: a wait costs no system call while it looks.
    if (asleep_) {
        asleep_ = false;
        tell();
    }
    return true;
}

void ServerWatch::end() {
    if (--depth_ > 0)
        return;
    std::lock_guard lock(mutex_);
    waiting_ = false;
}

// Data received moves the time forward, and so does the server taking what was sent
// (a large value on its way up).
ServerWatch::Clock::time_point ServerWatch::lastProgress() {
    tcp_info info;
    if (!socketTraffic(socket_, info))
        return since_;
    const Clock::time_point now = Clock::now();
    if (bytesTaken_ && *bytesTaken_ != info.tcpi_bytes_acked)
        since_ = now;
    bytesTaken_ = info.tcpi_bytes_acked;
    return std::max(since_, now - std::chrono::milliseconds(info.tcpi_last_data_recv));
}

void ServerWatch::endServerProcess() const {
    std::vector<const char*> keywords, values;
    for (const auto& [keyword, value] : conninfo_) {
        keywords.push_back(keyword.constData());
        values.push_back(value.constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* own = PQconnectdbParams(keywords.data(), values.data(), 0);
    if (PQstatus(own) == CONNECTION_OK) {
        // Waits up to a second for the process to be gone, so that its transaction's outcome
        // is known when the connection is opened again; servers before 14 take no wait.
        const QByteArray pid = QByteArray::number(serverPid_);
        const QByteArray waiting = "select pg_terminate_backend(" + pid + ", 1000)";
        PGresult* ended = PQexec(own, waiting.constData());
        if (PQresultStatus(ended) != PGRES_TUPLES_OK) {
            PQclear(ended);
            const QByteArray plain = "select pg_terminate_backend(" + pid + ")";
            ended = PQexec(own, plain.constData());
        }
        PQclear(ended);
    }
    PQfinish(own);
}

// The watch sleeps until told (a wait begun, the stop) and looks every 200 ms while a wait
// is marked. It waits on a descriptor rather than a condition: the condition's timed wait
// uses a clock call that the thread checker does not follow.
void ServerWatch::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        asleep_ = !waiting_;
        const int timeout = asleep_ ? -1 : 200;
        lock.unlock();
        pollfd told{signal_, POLLIN, 0};
        if (::poll(&told, 1, timeout) > 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(signal_, &count, sizeof count);
        }
        lock.lock();
        asleep_ = false;
        if (stop_ || !waiting_ || Clock::now() - lastProgress() < limit_)
            continue;
        // The lock is held to the end: the wait cannot end and its socket cannot be closed
        // before the process is ended and the socket shut.
        gaveUp_ = true;
        endServerProcess();
        ::shutdown(socket_, SHUT_RDWR);
        return;
    }
}

} // namespace gc::db
