#include "app/forms.h"

#include "app/core_pages.h"
#include "app/payam_otagh_pages.h"
#include "capture/dorbin.h"
#include "core/data_module.h"
#include "core/services.h"
#include "registers/amval/amval_ins.h"
#include "registers/amval/amval_list.h"
#include "registers/anbar/anbar_ins.h"
#include "registers/anbar/anbar_src.h"
#include "registers/arbab/arbab_prints.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/arbab/arbabrojo_list.h"
#include "registers/arbab/arbabrojo_pic.h"
#include "registers/asami/asami.h"
#include "registers/asami/asami_page.h"
#include "registers/kala/kala.h"
#include "registers/kala/kala_page.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/khodro/khodro_list.h"
#include "registers/khodro/khodro_rep.h"
#include "registers/loh/loh_ins.h"
#include "registers/loh/loh_src.h"
#include "registers/parking/park_ins.h"
#include "registers/parking/parking.h"
#include "registers/parking/parking_rep.h"
#include "registers/prs/prs.h"
#include "registers/prs/prs_chap.h"
#include "registers/prs/prs_list.h"
#include "registers/prs/prs_print.h"
#include "registers/shared/list_page.h"
#include "registers/shared/register_context.h"
#include "windows/messages/payam_window.h"
#include "windows/phonebook/log_window.h"
#include "windows/phonebook/phone_pages.h"
#include "windows/phonebook/phone_window.h"
#include "windows/rooms/otaghha_window.h"
#include "windows/shell/change_pass_window.h"
#include "windows/shell/login_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/server_window.h"
#include "windows/shell/setting_window.h"
#include "windows/shell/users_window.h"
#include "windows/transfer/db_maghsad.h"

#include <QCheckBox>
#include <QComboBox>

namespace gc {

Forms::Forms() : Forms(PlatformServices::system()) {}

Forms::Forms(PlatformServices platform) {
    services = std::make_unique<Services>(std::move(platform));
    login = std::make_unique<Tlogin>(*this);
    server = std::make_unique<Tserver>();
    dm = std::make_unique<Tdm>();
    setDm(dm.get());
    main = std::make_unique<Tmain>(*dm, *services, *login);
    change_pass = std::make_unique<Tchange_pass>(*dm, *login);
    registerContext = std::make_unique<registers::RegisterContext>(registers::RegisterContext{
        *dm, services->date(), services->clock(), [this] { return login->us->currentText(); },
        services->opener(), services->printUi()});
    ins = std::make_unique<registers::Tins>(*registerContext);
    prs = std::make_unique<registers::Tprs>(*registerContext);
    setting = std::make_unique<Tsetting>(*dm);
    amval_list = std::make_unique<registers::Tamval_list>(*registerContext, *ins);
    prs_list = std::make_unique<registers::Tprs_list>(*registerContext, *prs);
    users = std::make_unique<Tusers>(*dm);
    asami = std::make_unique<registers::Tasami>(*registerContext);
    khodro_ins = std::make_unique<registers::Tkhodro_ins>(*registerContext);
    khodro_list = std::make_unique<registers::Tkhodro_list>(*registerContext, *khodro_ins);
    khodro_rep = std::make_unique<registers::Tkhodro_rep>(*khodro_list);
    parking = std::make_unique<registers::Tparking>(*registerContext);
    park_ins = std::make_unique<registers::Tpark_ins>(*registerContext);
    parking->setEntry(park_ins.get());
    parking_rep = std::make_unique<registers::Tparking_rep>(*parking);
    arbabrojo = std::make_unique<registers::Tarbabrojo>(*registerContext, capture::defaultKernel());
    arbabrojo_list = std::make_unique<registers::Tarbabrojo_list>(*registerContext, *arbabrojo);
    loh_ins = std::make_unique<registers::Tloh_ins>(*registerContext);
    loh_src = std::make_unique<registers::Tloh_src>(*registerContext, *loh_ins);
    kala = std::make_unique<registers::Tkala>(*registerContext);
    anbar_src = std::make_unique<registers::Tanbar_src>(*registerContext);
    anbar_ins = std::make_unique<registers::Tanbar_ins>(*registerContext);
    anbar_src->setEntry(anbar_ins.get());
    otaghha = std::make_unique<Totaghha>(*dm, services->opener());
    payam = std::make_unique<Tpayam>(*dm, *services);
    phone = std::make_unique<Tphone>(*dm, *services);
    prs_chap = std::make_unique<registers::Tprs_chap>(*prs_list);
    dorbin = std::make_unique<capture::Tdorbin>();
    // The camera window's stop unticks the visitor window's camera.
    QObject::connect(dorbin.get(), &capture::Tdorbin::cameraStopped, arbabrojo->camera(),
                     [this] { arbabrojo->camera()->setChecked(false); });
    arbabrojo_pic = std::make_unique<registers::Tarbabrojo_pic>(*registerContext);
    arbabrojo_list->setPicturesWindow(arbabrojo_pic.get());
    log = std::make_unique<Tlog>(*dm, services->opener());
    prs_print = std::make_unique<registers::Tprs_print>(*prs_list);
    visit_prints = std::make_unique<registers::VisitPrints>(
        *registerContext, std::make_unique<report::SystemPrinter>());
    arbabrojo_list->setPrintHooks(registers::makeVisitPrintHooks(*visit_prints));
    db_maghsad = std::make_unique<Tdb_maghsad>(dm->ADOConnection1, services->date());
    server->showTransfer = [this] { db_maghsad->prepareAndShow(); };
    server->databaseOpen = [this] { return dm->ADOConnection1.connected(); };

    main->registerPage("setting", std::make_unique<SettingPage>(*setting));
    main->registerPage("karbaran", std::make_unique<UsersPage>(*users, services->user()));
    main->registerPage("amval", std::make_unique<registers::RegisterListPage>(
                                    *amval_list, [this](const PageContext& c) {
                                        c.fitSize(*amval_list);
                                        amval_list->prepare();
                                    }));
    main->registerPage("khodro", std::make_unique<registers::RegisterListPage>(
                                     *khodro_list, [this](const PageContext& c) {
                                         c.fitSize(*khodro_list);
                                         khodro_list->prepare();
                                     }));
    main->registerPage("prs", std::make_unique<registers::RegisterListPage>(
                                  *prs_list, [this](const PageContext& c) {
                                      c.fitSize(*prs_list);
                                      prs_list->prepare();
                                  }));
    main->registerPage("parking", std::make_unique<registers::RegisterListPage>(
                                      *parking, [this](const PageContext& c) {
                                          c.fitSize(*parking);
                                          parking->prepare();
                                      }));
    main->registerPage("arbab", std::make_unique<registers::RegisterListPage>(
                                    *arbabrojo_list, [this](const PageContext& c) {
                                        c.fitSize(*arbabrojo_list);
                                        arbabrojo_list->prepare();
                                    }));
    main->registerPage("loh", std::make_unique<registers::RegisterListPage>(
                                  *loh_src, [this](const PageContext& c) {
                                      c.fitSize(*loh_src);
                                      loh_src->prepare();
                                  }));
    main->registerPage("kala", std::make_unique<registers::KalaPage>(*kala));
    main->registerPage("asami", std::make_unique<registers::AsamiPage>(*asami));
    main->registerPage("anbar", std::make_unique<registers::RegisterListPage>(
                                    *anbar_src, [this](const PageContext& c) {
                                        c.fitSize(*anbar_src);
                                        anbar_src->prepare();
                                    }));
    main->registerPage("phone", std::make_unique<PhonePage>(*phone));
    main->registerPage("log", std::make_unique<LogPage>(*log));
    main->registerPage("dorbin", std::make_unique<DorbinPage>(*dorbin));
    main->registerPage("otagh", std::make_unique<OtaghPage>(*otaghha));
    main->registerPage("payam", std::make_unique<PayamPage>(*payam));
}

Forms::~Forms() {
    // Windows first, in the reverse order of creation; the data module outlives them.
    db_maghsad.reset();
    visit_prints.reset();
    prs_print.reset();
    log.reset();
    arbabrojo_pic.reset();
    dorbin.reset();
    prs_chap.reset();
    phone.reset();
    payam.reset();
    otaghha.reset();
    anbar_ins.reset();
    anbar_src.reset();
    kala.reset();
    loh_src.reset();
    loh_ins.reset();
    arbabrojo_list.reset();
    arbabrojo.reset();
    parking_rep.reset();
    park_ins.reset();
    parking.reset();
    khodro_rep.reset();
    khodro_list.reset();
    khodro_ins.reset();
    asami.reset();
    users.reset();
    prs_list.reset();
    amval_list.reset();
    setting.reset();
    prs.reset();
    ins.reset();
    registerContext.reset();
    change_pass.reset();
    main.reset();
    server.reset();
    login.reset();
    setDm(nullptr);
    dm.reset();
}

} // namespace gc
