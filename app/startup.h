#pragma once

#include "core/database_check.h"

#include <functional>

namespace gc {

class Tdm;
class Tserver;
struct ConnectionSettings;

// The start-up's connection loop: read the settings, build the connection string,
// open the shared connection; on a missing key or a failure say so and show the
// settings window, until the connection opens or the window's finish button is used.
// A database opened without the program's tables is offered the schema set-up first, and
// a new, empty file at the first start gets it at once, so login meets its users.
class ConnectionLoop {
  public:
    ConnectionLoop(Tdm& dm, Tserver& server);

    // Shows the settings window modally; tests replace it.
    std::function<void()> showServerModal;

    bool KeepTrying = true;
    bool RunApplication = true;

    // One attempt.
    void attempt();
    // Attempts while KeepTrying; returns RunApplication.
    bool run();

  private:
    bool open(const ConnectionSettings& settings);
    void settle(const ConnectionSettings& settings);
    bool setUpTables(const ConnectionSettings& settings, const DatabaseCheck& check);
    void backToSettings();

    // A file database is created only by the first start (no settings were stored yet);
    // at a later start a missing file means a moved file or another working folder.
    bool mayCreateFile_ = false;
    Tdm& dm_;
    Tserver& server_;
};

} // namespace gc
