#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

typedef struct pg_conn PGconn;

namespace gc::db {

// Gives up on a server that went silent. A stopped server process keeps its socket open
// and its machine answers TCP keepalives, so libpq would wait for a reply for ever, with
// the window frozen. The data layer marks each wait for the server (begin/end, through
// Connection::serverWait); while one is marked the watch asks the socket what it has
// done (TCP_INFO): when nothing has arrived, and nothing sent has been taken, for the
// whole limit since the wait began, the watch ends the server process over a connection
// of its own (so a statement it holds is never run later) and shuts the socket; the
// statement fails and the next action opens the connection again. A stream of rows, a
// series of short statements, a large value on a slow link and an idle connection are
// never touched.
class ServerWatch {
  public:
    // Watches `connection`, open, from now until the watch goes: its socket and server
    // process are taken here, once. It also gives the parameters of the watch's own
    // connection. Throws std::system_error when the watch cannot start (no descriptor or
    // thread left).
    ServerWatch(PGconn* connection, std::chrono::milliseconds limit);
    ~ServerWatch();
    ServerWatch(const ServerWatch&) = delete;
    ServerWatch& operator=(const ServerWatch&) = delete;

    // A wait for the server starts or ends; an inner wait counts as part of the outer one.
    // Both are called from the connection's thread only.
    // begin() marks nothing and returns false once libpq has let the socket go (the
    // connection was lost): its number may already be another file's. Neither makes a
    // system call, save begin() waking a watch that sleeps. end() waits while the watch cuts.
    bool begin();
    void end();
    // True once the watch has cut the connection.
    bool gaveUp() const { return gaveUp_; }

  private:
    using Clock = std::chrono::steady_clock;
    void run();
    void tell();
    // When the socket last showed progress, no earlier than the wait's start.
    Clock::time_point lastProgress();
    // Over a connection of its own, within a few seconds; a failure leaves it be.
    void endServerProcess() const;

    PGconn* const connection_;
    const int socket_;
    const int serverPid_;
    QList<QPair<QByteArray, QByteArray>> conninfo_;
    const std::chrono::milliseconds limit_;
    std::atomic_bool gaveUp_{false};
    std::mutex mutex_;
    bool stop_ = false;
    bool waiting_ = false; // while a wait is marked; read by the watch
    int depth_ = 0;        // waits nested in the marked one; the connection's thread's own
    Clock::time_point since_;
    std::optional<std::uint64_t> bytesTaken_;
    const int signal_; // tells the watch that a wait began or that it is to stop
    bool asleep_ = false;
    std::thread watcher_;
};

} // namespace gc::db
