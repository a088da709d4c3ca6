#pragma once

#include <memory>

namespace gc {

class Tlogin;
class Tserver;
class Tdm;

// The program's windows and data module, each created once at start-up in a fixed
// order, the login window first, and kept until the program ends.
struct Forms {
    Forms();
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    std::unique_ptr<Tlogin> login;
    std::unique_ptr<Tserver> server;
    std::unique_ptr<Tdm> dm;
};

} // namespace gc
