#include "platform/db/server_watch.h"

#include <QByteArray>
#include <QFile>
#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace gc::db {

namespace {

bool isPollCall(long number) {
#ifdef SYS_poll
    if (number == SYS_poll)
        return true;
#endif
    return number == SYS_ppoll;
}

} // namespace

ServerWatch::ServerWatch(PGconn* connection, std::chrono::seconds limit)
    : socket_(PQsocket(connection)), serverPid_(PQbackendPID(connection)), limit_(limit),
      thread_(long(syscall(SYS_gettid))) {
    PQconninfoOption* options = PQconninfo(connection);
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (o->val && qstrcmp(o->keyword, "connect_timeout") != 0)
            conninfo_.append(qMakePair(QByteArray(o->keyword), QByteArray(o->val)));
    PQconninfoFree(options);
    conninfo_.append(qMakePair(QByteArray("connect_timeout"), QByteArray("2")));
    watcher_ = std::thread([this] { run(); });
}

ServerWatch::~ServerWatch() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    watcher_.join();
}

// /proc gives a blocked thread's call as its number and arguments; a poll's first two are
// the address of its descriptor array (in this process) and the array's length. While the
// line stays the same the call has not returned, so the array is still in place.
QByteArray ServerWatch::waitOnSocket() const {
    QFile file(QStringLiteral("/proc/self/task/%1/syscall").arg(thread_));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = file.readAll().trimmed();
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() < 3)
        return {};
    bool ok = false;
    if (!isPollCall(parts[0].toLong(&ok)) || !ok)
        return {};
    const unsigned long count = parts[2].toULong(nullptr, 16);
    if (count == 0 || count > 16)
        return {};
    // Copied by the kernel: the array belongs to another thread and may be gone by now.
    pollfd fds[16];
    iovec local{fds, count * sizeof(pollfd)};
    iovec remote{reinterpret_cast<void*>(parts[1].toULongLong(nullptr, 16)), local.iov_len};
    if (process_vm_readv(getpid(), &local, 1, &remote, 1, 0) != ssize_t(local.iov_len))
        return {};
    for (unsigned long i = 0; i < count; ++i)
        if (fds[i].fd == socket_)
            return line;
    return {};
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
        const QByteArray sql =
            "select pg_terminate_backend(" + QByteArray::number(serverPid_) + ")";
        PQclear(PQexec(own, sql.constData()));
    }
    PQfinish(own);
}

void ServerWatch::run() {
    using Clock = std::chrono::steady_clock;
    QByteArray waiting;
    Clock::time_point since;
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stop_; })) {
        const QByteArray now = waitOnSocket();
        if (now.isEmpty() || now != waiting) {
            waiting = now;
            since = Clock::now();
            continue;
        }
        if (Clock::now() - since < limit_)
            continue;
        gaveUp_ = true;
        endServerProcess();
        ::shutdown(socket_, SHUT_RDWR);
        return;
    }
}

} // namespace gc::db
