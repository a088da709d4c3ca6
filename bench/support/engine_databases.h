#pragma once

#include "bench/support/bench_engines.h"
#include "bench/support/bench_peers.h"

#include <QString>
#include <map>
#include <memory>

namespace gcbench {

// For each engine a benchmark runs on: the connection string of its database, and the
// engine's own client library connected to it.
class EngineDatabases {
  public:
    void add(Engine engine, const QString& connectionString) {
        connectionStrings_[engine] = connectionString;
        peers_[engine] = makePeer(connectionString);
    }
    const QString& connectionString(Engine engine) const { return connectionStrings_.at(engine); }
    Peer& peer(Engine engine) const { return *peers_.at(engine); }
    // Closes the peers' connections.
    void clear() { peers_.clear(); }

  private:
    std::map<Engine, QString> connectionStrings_;
    std::map<Engine, std::unique_ptr<Peer>> peers_;
};

} // namespace gcbench
