#pragma once

#include <memory>

namespace gc {

class Services;
class Tlogin;
class Tserver;
class Tdm;
class Tmain;
class Tchange_pass;
class Tsetting;
class Tusers;

// The shell's windows, the data module and the services, as the login window reaches
// them; the program's Forms (app/) owns them with every other window.
struct ShellForms {
    std::unique_ptr<Services> services;
    std::unique_ptr<Tlogin> login;
    std::unique_ptr<Tserver> server;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<Tmain> main;
    std::unique_ptr<Tchange_pass> change_pass;
    std::unique_ptr<Tsetting> setting;
    std::unique_ptr<Tusers> users;
};

} // namespace gc
