#pragma once

#include "windows/shell/shell_forms.h"

#include <memory>

namespace gc {

struct PlatformServices;
class Totaghha;
class Tpayam;
class Tphone;
class Tlog;
class Tdb_maghsad;
namespace capture {
class Tdorbin;
}
namespace registers {
struct RegisterContext;
class Tkhodro_ins;
class Tkhodro_list;
class Tkhodro_rep;
class Tparking;
class Tpark_ins;
class Tparking_rep;
class Tprs;
class Tins;
class Tamval_list;
class Tprs_list;
class Tprs_print;
class Tprs_chap;
class Tasami;
class Tloh_ins;
class Tloh_src;
class Tkala;
class Tanbar_src;
class Tanbar_ins;
class Tarbabrojo;
class Tarbabrojo_list;
class Tarbabrojo_pic;
class VisitPrints;
} // namespace registers

// The program's windows and data module, each created once at start-up in a fixed
// order, the login window first, and kept until the program ends; and the services
// they share, which exist before any window.
struct Forms : ShellForms {
    // On the system's clock, resolver, keyboard layout and sound.
    Forms();
    explicit Forms(PlatformServices platform);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    // What the register windows share; made before the first of them.
    std::unique_ptr<registers::RegisterContext> registerContext;
    std::unique_ptr<registers::Tins> ins;
    std::unique_ptr<registers::Tamval_list> amval_list;
    std::unique_ptr<registers::Tprs> prs;
    std::unique_ptr<registers::Tprs_list> prs_list;
    std::unique_ptr<registers::Tasami> asami;
    std::unique_ptr<registers::Tkhodro_ins> khodro_ins;
    std::unique_ptr<registers::Tkhodro_list> khodro_list;
    std::unique_ptr<registers::Tkhodro_rep> khodro_rep;
    std::unique_ptr<registers::Tparking> parking;
    std::unique_ptr<registers::Tpark_ins> park_ins;
    std::unique_ptr<registers::Tparking_rep> parking_rep;
    std::unique_ptr<registers::Tarbabrojo> arbabrojo;
    std::unique_ptr<registers::Tarbabrojo_list> arbabrojo_list;
    std::unique_ptr<registers::Tloh_ins> loh_ins;
    std::unique_ptr<registers::Tloh_src> loh_src;
    std::unique_ptr<registers::Tkala> kala;
    std::unique_ptr<registers::Tanbar_src> anbar_src;
    std::unique_ptr<registers::Tanbar_ins> anbar_ins;
    std::unique_ptr<Totaghha> otaghha;
    std::unique_ptr<Tpayam> payam;
    std::unique_ptr<Tphone> phone;
    std::unique_ptr<registers::Tprs_chap> prs_chap;
    std::unique_ptr<capture::Tdorbin> dorbin;
    std::unique_ptr<registers::Tarbabrojo_pic> arbabrojo_pic;
    std::unique_ptr<Tlog> log;
    std::unique_ptr<registers::Tprs_print> prs_print;
    std::unique_ptr<registers::VisitPrints> visit_prints;
    std::unique_ptr<Tdb_maghsad> db_maghsad;
};

} // namespace gc
