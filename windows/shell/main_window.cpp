#include "windows/shell/main_window.h"

#include "core/data_module.h"
#include "core/page_access.h"
#include "core/report_project.h"
#include "core/services.h"
#include "core/unread_messages.h"
#include "platform/db/db_error.h"
#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

namespace gc {

using ui::MsgIcon;

namespace {

QString refusal() {
    return QString::fromUtf8("شما دسترسي به اين صفحه را نداريد");
}

// Where a newly set-up administrator grants rights, in the words of the menu and the
// users window.
QString firstStepsHint() {
    return QString::fromUtf8(
        "شما فعلا جز «پيام» فقط صفحه «كاربران» را مي توانيد باز کنيد. براي دادن دسترسي به "
        "خودتان و ديگران:\n"
        "۱. از منوي «اطلاعات پايه» گزينه «كاربران» را باز کنيد.\n"
        "۲. در جدول کاربران روي نام کاربر کليک کنيد.\n"
        "۳. در «تعيين سطوح دسترسي به صفحات مختلف برنامه» خانه هاي ثبت، ويرايش، حذف و "
        "مشاهده هر صفحه را علامت بزنيد (خانه هاي رديف «همه صفحه ها» يک ستون را يکجا علامت "
        "مي زنند).\n"
        "۴. دکمه «ثبت دسترسي ها» را بزنيد.\n"
        "دسترسي تازه از باز کردن بعدي هر صفحه اعمال مي شود.");
}

// The menu in the order of the form: the bar runs right to left, the submenu top to
// bottom. The last two entries of the submenu open the activity-log viewer and the
// camera, which have no entries of their own otherwise.
struct MenuItem {
    const char* name;
    const char* caption;
    void (Tmain::*handler)();
};

const MenuItem kBarBefore[] = {
    {"N1", "اموال", &Tmain::N1Click},        {"N16", "انبار", &Tmain::N16Click},
    {"N8", "خودرو", &Tmain::N8Click},        {"N3", "پرسنل", &Tmain::N3Click},
    {"N11", "ارباب رجوع", &Tmain::N11Click}, {"N10", "پاركينگ", &Tmain::N10Click},
    {"N17", "پيام", &Tmain::N17Click},
};

const MenuItem kSubmenu[] = {
    {"N18", "دفترچه تلفن", &Tmain::N18Click},
    {"N6", "تنظيمات", &Tmain::N6Click},
    {"N14", "کالاها", &Tmain::N14Click},
    {"N12", "اتاق ها", &Tmain::N12Click},
    {"N7", "كاربران", &Tmain::N7Click},
    {"N9", "اسامي و تصاوير پرسنل", &Tmain::N9Click},
    {"N15", "لوح", &Tmain::N15Click},
    {"N13", "فايل ملاقات", &Tmain::N13Click},
    {"N19", "فايل ملاقات با کروکي", &Tmain::N19Click},
    {"N5", "درباره", &Tmain::N5Click},
    {"N21", "گزارش عمليات", &Tmain::N21Click},
    {"N20", "دوربين", &Tmain::N20Click},
};

const MenuItem kBarAfter[] = {
    {"N2", "خروج", &Tmain::N2Click},
};

const char* const kEntries[] = {"amval", "anbar",   "khodro", "prs",   "arbab",    "parking",
                                "phone", "setting", "kala",   "otagh", "karbaran", "asami",
                                "loh",   "payam",   "log",    "dorbin"};

} // namespace

Tmain::Tmain(Tdm& dm, Services& services, QWidget& applicationWindow, QWidget* parent)
    : QMainWindow(parent), dm_(dm), services_(services), applicationWindow_(applicationWindow) {
    setObjectName("main");
    setWindowTitle(QString::fromUtf8("كنترل ورود و خروج"));
    setLayoutDirection(Qt::RightToLeft);
    resize(454, 410);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    Image1 = new QLabel(client);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    Image1->setGeometry(0, 0, 417, 337);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kPollInterval);
    connect(Timer1, &QTimer::timeout, this, &Tmain::Timer1Timer);

    buildMenu();
}

Tmain::~Tmain() = default;

void Tmain::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    const auto add = [this](QWidget* menu, const MenuItem& item) {
        auto* action = new QAction(QString::fromUtf8(item.caption), this);
        action->setObjectName(item.name);
        connect(action, &QAction::triggered, this, item.handler);
        menu->addAction(action);
    };
    for (const MenuItem& item : kBarBefore)
        add(bar, item);
    QMenu* basics = bar->addMenu(QString::fromUtf8("اطلاعات پايه"));
    basics->menuAction()->setObjectName("N4");
    for (const MenuItem& item : kSubmenu)
        add(basics, item);
    for (const MenuItem& item : kBarAfter)
        add(bar, item);
}

void Tmain::registerPage(const QString& entry, std::unique_ptr<Page> page) {
    if (std::find(std::begin(kEntries), std::end(kEntries), entry) == std::end(kEntries))
        throw std::invalid_argument("no menu entry " + entry.toStdString());
    if (!page || pages_.count(entry))
        throw std::invalid_argument("page already registered: " + entry.toStdString());
    pages_[entry] = std::move(page);
}

Page* Tmain::page(const QString& entry) const {
    const auto it = pages_.find(entry);
    return it == pages_.end() ? nullptr : it->second.get();
}

bool Tmain::CheckPageAccess(const QString& pageKey, Page* target) {
    const auto right = ReadPageAccess(dm_, services_.user().id(), pageKey);
    if (!right) {
        ui::showMessage(MsgIcon::None, refusal());
        return false;
    }
    // Before the open flag is tested: a refused page keeps the commands just set.
    if (target) {
        const PageCommands commands = target->commands();
        SetCommandsEnabled(commands.insert, right->darj);
        SetCommandsEnabled(commands.edit, right->virayesh);
        SetCommandsEnabled(commands.remove, right->hazf);
    }
    if (!right->namayesh) {
        ui::showMessage(MsgIcon::None, refusal());
        return false;
    }
    return true;
}

void Tmain::openEntry(const QString& entry, const QString& right) {
    try {
        Page* target = page(entry);
        if (!right.isEmpty() && !CheckPageAccess(right, target))
            return;
        if (!target) {
            ui::showMessage(MsgIcon::Information,
                            QString::fromUtf8("اين صفحه در اين نسخه برنامه هنوز موجود نيست"));
            return;
        }
        target->prepare(PageContext(size(), services_.date()));
        target->showModal();
    } catch (const db::DbError& e) {
        ui::showMessage(MsgIcon::Error, e.message());
    }
}

void Tmain::N1Click() {
    openEntry("amval", "amval");
}
void Tmain::N16Click() {
    openEntry("anbar", "anbar");
}
void Tmain::N8Click() {
    openEntry("khodro", "khodro");
}
void Tmain::N3Click() {
    openEntry("prs", "prs");
}
void Tmain::N11Click() {
    openEntry("arbab", "arbab");
}
void Tmain::N10Click() {
    openEntry("parking", "parking");
}
void Tmain::N17Click() {
    openEntry("payam", QString());
}
void Tmain::N18Click() {
    openEntry("phone", "phone");
}
void Tmain::N6Click() {
    openEntry("setting", "setting");
}
void Tmain::N14Click() {
    openEntry("kala", "kala");
}
void Tmain::N12Click() {
    openEntry("otagh", "otagh");
}
void Tmain::N7Click() {
    openEntry("karbaran", "karbaran");
}
void Tmain::N9Click() {
    openEntry("asami", "asami");
}
void Tmain::N15Click() {
    openEntry("loh", "loh");
}
void Tmain::N21Click() {
    openEntry("log", "karbaran");
}
void Tmain::N20Click() {
    openEntry("dorbin", "arbab");
}

void Tmain::N13Click() {
    uploadReportProject("zamaem");
}
void Tmain::N19Click() {
    uploadReportProject("molaghat_file");
}

void Tmain::uploadReportProject(const QString& table) {
    try {
        const auto right = ReadPageAccess(dm_, services_.user().id(), "zamaem");
        if (!right || !right->darj) {
            ui::showMessage(MsgIcon::None, refusal());
            return;
        }
        const QString fileName = ui::dialogs().openFileName(QString(), QString());
        if (fileName.isEmpty() || !IsReportProjectFile(fileName))
            return;
        // The whole file is read before the table is touched.
        QFile file(fileName);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (!file.isOpen() || file.error() != QFileDevice::NoError) {
            ui::showMessage(MsgIcon::Error,
                            QString::fromUtf8("فايل خوانده نشد: %1\n%2")
                                .arg(text::isolatedLtr(fileName), file.errorString()));
            return;
        }
        StoreReportProject(dm_, table, bytes);
        ui::showMessage(MsgIcon::None, QString::fromUtf8("ثبت شد"));
    } catch (const db::DbError& e) {
        ui::showMessage(MsgIcon::Error, e.message());
    }
}

void Tmain::N5Click() {
    ui::showMessage(MsgIcon::Information,
                    QString::fromUtf8("كنترل ورود و خروج\nثبت ورود و خروج اموال، كالا، خودرو، "
                                      "پرسنل و ارباب رجوع در درب ورودي سازمان"));
}

void Tmain::N2Click() {
    close();
}

void Tmain::afterLogin(platform::KeyboardSwitch keyboard) {
    showKeyboardNote(platform::keyboardSwitchNote(keyboard, QGuiApplication::platformName()));
    if (!firstStepsTold_)
        tellFirstSteps();
}

void Tmain::showKeyboardNote(const QString& note) {
    if (!keyboardNote_) {
        if (note.isEmpty())
            return;
        keyboardNote_ = new QLabel(this);
        keyboardNote_->setObjectName("KeyboardNote");
        keyboardNote_->setWordWrap(true);
        statusBar()->addWidget(keyboardNote_, 1);
    }
    keyboardNote_->setText(note);
    statusBar()->setVisible(!note.isEmpty());
}

void Tmain::tellFirstSteps() {
    try {
        if (!OnlyTheUsersPageOpens(dm_, services_.user().id()))
            return;
    } catch (const db::DbError& e) {
        ui::showMessage(MsgIcon::Error, e.message());
        return;
    }
    firstStepsTold_ = true;
    ui::showMessage(MsgIcon::Information, firstStepsHint());
}

void Tmain::Timer1Timer() {
    try {
        const qint64 count = CountUnreadMessages(dm_, services_.user().id());
        pollErrorShown_ = false;
        if (count != 0) {
            // Off while the box is open, so that boxes never pile up.
            Timer1->stop();
            services_.sound().playSystemExit();
            ui::showMessage(MsgIcon::None, QString::fromUtf8("شما اين تعداد پيام ناخوانده داريد ") +
                                               QString::number(count));
        }
    } catch (const db::DbError& e) {
        // One box for a failure that lasts; the next success re-arms it.
        if (!pollErrorShown_) {
            pollErrorShown_ = true;
            Timer1->stop();
            ui::showMessage(MsgIcon::Error, e.message());
        }
    }
    Timer1->start();
}

bool Tmain::FormCloseQuery() {
    return ui::dialogs().message(MsgIcon::Warning,
                                 QString::fromUtf8("آيا مي خواهيد از برنامه خارج شويد"),
                                 ui::Yes | ui::No | ui::Cancel) == ui::Yes;
}

void Tmain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    applicationWindow_.close();
}

void Tmain::FormResize() {
    Image1->resize(width() - 10, height() - 80);
}

void Tmain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

} // namespace gc
