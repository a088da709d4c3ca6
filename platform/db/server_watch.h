#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

typedef struct pg_conn PGconn;

namespace gc::db {

// Gives up on a server that stopped answering. A stopped server process keeps its
// socket open and its machine answers TCP keepalives, so libpq would wait for a reply for
// ever, with the window frozen. The watch looks four times a second at the thread that
// opened the connection: when that thread has waited in one and the same poll on the
// server's socket for the whole limit, the watch ends the server process of the
// connection (so a statement it still holds is never run later) and shuts the socket;
// the statement fails, and the next action opens the connection again. An idle
// connection and a statement answered within the limit are never touched.
class ServerWatch {
  public:
    // Watches the calling thread's waits on `connection`'s socket.
    ServerWatch(PGconn* connection, std::chrono::seconds limit);
    ~ServerWatch();
    ServerWatch(const ServerWatch&) = delete;
    ServerWatch& operator=(const ServerWatch&) = delete;

    // True once the watch has cut the connection.
    bool gaveUp() const { return gaveUp_; }

  private:
    void run();
    // The watched thread's current system call, when it is a poll that includes the
    // socket; empty otherwise.
    QByteArray waitOnSocket() const;
    // Over a connection of its own, within a few seconds; a failure leaves it be.
    void endServerProcess() const;

    const int socket_;
    const int serverPid_;
    QList<QPair<QByteArray, QByteArray>> conninfo_;
    const std::chrono::seconds limit_;
    const long thread_;
    std::atomic_bool gaveUp_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread watcher_;
};

} // namespace gc::db
