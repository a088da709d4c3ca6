#include "windows/shell/users_window.h"

#include "core/accounts.h"
#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/db/sql_text.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace gc {

using db::quoted;
using ui::MsgIcon;

namespace {

const char* const kFlagSuffix[] = {"ins", "edit", "del", "show"};
const char* const kFlagColumn[] = {"darj", "virayesh", "hazf", "namayesh"};
const char* const kFlagCaption[] = {"ثبت", "ويرايش", "حذف", "مشاهده"};

// The order in which a save writes the pages.
const char* const kSaveOrder[] = {"setting", "phone",  "anbar",  "amval",   "loh",
                                  "asami",   "otagh",  "kala",   "parking", "arbab",
                                  "prs",     "khodro", "zamaem", "karbaran"};

void say(const char* text) {
    ui::dialogs().message(MsgIcon::None, QString::fromUtf8(text), ui::Ok);
}

QString pickUserPrompt() {
    return QString::fromUtf8("براي ديدن و دادن دسترسي ها روي يک کاربر کليک کنيد");
}

void reportError(const db::DbError& e) {
    ui::dialogs().message(MsgIcon::Error, e.message(), ui::Ok);
}

// The four flags of the dastrasi row `q` is on, in kFlagColumn's order.
std::array<bool, 4> storedFlags(db::Query& q) {
    std::array<bool, 4> flags{};
    for (int f = 0; f < 4; ++f)
        flags[f] = q.fieldByName(kFlagColumn[f]).asBoolean();
    return flags;
}

} // namespace

const std::array<PageRight, 14>& PageRights() {
    static const std::array<PageRight, 14> pages{{
        {"amval", QString::fromUtf8("صفحه اموال"), "amval_"},
        {"anbar", QString::fromUtf8("صفحه انبار"), "anbar_"},
        {"khodro", QString::fromUtf8("صفحه خودرو"), "khodro_"},
        {"prs", QString::fromUtf8("صفحه پرسنل"), "prs_"},
        {"arbab", QString::fromUtf8("صفحه ارباب رجوع"), "arbab_"},
        {"parking", QString::fromUtf8("صفحه پارکينگ"), "parking_"},
        {"phone", QString::fromUtf8("دفترچه تلفن"), "phone_"},
        {"setting", QString::fromUtf8("تنظيمات"), "set_"},
        {"kala", QString::fromUtf8("کالاها"), "kala_"},
        {"otagh", QString::fromUtf8("اتاق ها"), "otagh_"},
        {"karbaran", QString::fromUtf8("کاربران"), "karbaran_"},
        {"asami", QString::fromUtf8("اسامي"), "asami_"},
        {"loh", QString::fromUtf8("لوح"), "loh_"},
        {"zamaem", QString::fromUtf8("فايل و ضمائم"), "zamaem_"},
    }};
    return pages;
}

Tusers::Tusers(Tdm& dm, QWidget* parent) : QDialog(parent), dm_(dm) {
    setObjectName("users");
    setWindowTitle(QString::fromUtf8("كاربران"));
    setLayoutDirection(Qt::RightToLeft);

    us = new QLineEdit(this);
    us->setObjectName("us");
    ps = new QLineEdit(this);
    ps->setObjectName("ps");
    ins_btn = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                              QString::fromUtf8("ثبت کاربر"), this);
    ins_btn->setObjectName("ins_btn");
    DBGrid1 = new ui::QueryGrid(dm_.adoq_user,
                                {{"us", QString::fromUtf8("نام كاربري")},
                                 {"ps", QString::fromUtf8("كلمه عبور")},
                                 {"ver", QString::fromUtf8("نسخه")}},
                                this);
    DBGrid1->setObjectName("DBGrid1");
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QString::fromUtf8("حذف"));
    N1->setObjectName("N1");
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });
    ins_btn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                               QString::fromUtf8("ثبت دسترسي ها"), this);
    ins_btn2->setObjectName("ins_btn2");
    DBGrid2 = new ui::QueryGrid(dm_.ADOQ_dastrasi,
                                {{"page_name", QString::fromUtf8("نام صفحه")},
                                 {"darj", QString::fromUtf8("دسترسي ثبت")},
                                 {"virayesh", QString::fromUtf8("دسترسي ويرايش")},
                                 {"hazf", QString::fromUtf8("دسترسي حذف")},
                                 {"namayesh", QString::fromUtf8("دسترسي نمايش")}},
                                this);
    DBGrid2->setObjectName("DBGrid2");
    Label3 = new QLabel(QString::fromUtf8("كاربر جاري"), this);
    Label3->setObjectName("Label3");
    karbar = new QLabel(this);
    karbar->setObjectName("karbar");
    prs_id = new QLabel(this);
    prs_id->setObjectName("prs_id");
    prs_id->setVisible(false);

    auto* userRow = new QHBoxLayout;
    userRow->addWidget(new QLabel(QString::fromUtf8("نام كاربري"), this));
    userRow->addWidget(us);
    userRow->addWidget(new QLabel(QString::fromUtf8("رمز"), this));
    userRow->addWidget(ps);
    userRow->addWidget(ins_btn);
    auto* current = new QHBoxLayout;
    current->addWidget(Label3);
    current->addWidget(karbar);
    current->addWidget(prs_id);
    current->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(userRow);
    left->addWidget(DBGrid1, 1);
    left->addWidget(DBGrid2, 1);
    rightsOf = new QLabel(pickUserPrompt(), this);
    rightsOf->setObjectName("rightsOf");
    auto* rights = new QVBoxLayout;
    rights->addWidget(rightsOf);
    rights->addWidget(buildRights());
    rights->addWidget(ins_btn2, 0, Qt::AlignLeft);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(rights);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(current);

    connect(ins_btn, &QPushButton::clicked, this, &Tusers::ins_btnClick);
    connect(N1, &QAction::triggered, this, &Tusers::N1Click);
    connect(ins_btn2, &QPushButton::clicked, this, &Tusers::ins_btn2Click);
    // The boxes always show the rights of the user in the current row, however it moved.
    connect(&dm_.adoq_user, &db::Query::currentRowChanged, this, &Tusers::DBGrid1CellClick);
    connect(&dm_.adoq_user, &db::Query::resetDone, this, &Tusers::DBGrid1CellClick);
}

QWidget* Tusers::buildRights() {
    auto* group = new QGroupBox(QString::fromUtf8("تعيين سطوح دسترسي به صفحات مختلف برنامه"), this);
    auto* grid = new QGridLayout(group);
    // The first row's boxes set a whole column.
    grid->addWidget(new QLabel(QString::fromUtf8("همه صفحه ها"), group), 0, 0);
    QCheckBox** columnBoxes[] = {&ins_chek, &edit_chek, &del_chek, &show_chek};
    const char* const columnNames[] = {"ins_chek", "edit_chek", "del_chek", "show_chek"};
    for (int f = 0; f < 4; ++f) {
        auto* b = new QCheckBox(QString::fromUtf8(kFlagCaption[f]), group);
        b->setObjectName(columnNames[f]);
        *columnBoxes[f] = b;
        grid->addWidget(b, 0, f + 1);
        connect(b, &QCheckBox::clicked, this,
                [this, f](bool checked) { setColumn(Flag(f), checked); });
    }
    int row = 1;
    for (const PageRight& page : PageRights()) {
        grid->addWidget(new QLabel(page.caption, group), row, 0);
        std::array<QCheckBox*, 4> boxes{};
        for (int f = 0; f < 4; ++f) {
            boxes[f] = new QCheckBox(QString::fromUtf8(kFlagCaption[f]), group);
            boxes[f]->setObjectName(page.prefix + kFlagSuffix[f]);
            grid->addWidget(boxes[f], row, f + 1);
        }
        boxes_.insert(page.key, boxes);
        ++row;
    }
    // A column's box follows its pages, however they changed: a click on a user, a click on a
    // page's box, a click on the column's box.
    for (const auto& boxes : std::as_const(boxes_))
        for (int f = 0; f < 4; ++f)
            connect(boxes[f], &QCheckBox::toggled, this, [this, f] { showColumn(Flag(f)); });
    return group;
}

QCheckBox* Tusers::box(const QString& pageKey, Flag flag) const {
    const auto it = boxes_.constFind(pageKey);
    return it == boxes_.constEnd() ? nullptr : (*it)[flag];
}

void Tusers::prepare() {
    dm_.adoq_user.openSql({"Select * from users order by us "});
    us->clear();
    ps->clear();
}

void Tusers::setColumn(Flag flag, bool checked) {
    for (const PageRight& page : PageRights())
        box(page.key, flag)->setChecked(checked);
}

QCheckBox* Tusers::columnBox(Flag flag) const {
    const std::array<QCheckBox*, 4> columns{ins_chek, edit_chek, del_chek, show_chek};
    return columns[flag];
}

// Ticked while every page of the column is, so that one click clears a full column and
// one click fills any other.
void Tusers::showColumn(Flag flag) {
    bool all = true;
    for (const PageRight& page : PageRights())
        all = all && box(page.key, flag)->isChecked();
    columnBox(flag)->setChecked(all);
}

bool Tusers::hasSelectedUser() {
    return dm_.adoq_user.isActive() && !dm_.adoq_user.eof();
}

void Tusers::ins_btnClick() {
    try {
        switch (CreateUser(dm_.ADOQuery1, us->text(), ps->text())) {
        case NewUser::NameEmpty:
            say("لطفا نام كاربري را وارد نماييد");
            return;
        case NewUser::NameTaken:
            say("خطا، نام كاربري تكراري است");
            return;
        case NewUser::Created:
            break;
        }
        say("ثبت شد");
        dm_.adoq_user.openSql({"select * from users"});
    } catch (const db::DbError& e) {
        reportError(e);
    }
}

void Tusers::N1Click() {
    if (!hasSelectedUser())
        return;
    if (dm_.adoq_user.fieldByName("us").asString() == "admin") {
        say("امکان حذف مدير نيست");
        return;
    }
    db::Connection& c = dm_.ADOConnection1;
    try {
        // The user's rights go with the user, so no later account can inherit them.
        c.beginTransaction();
        dm_.ADOQuery1.sql().clear();
        dm_.ADOQuery1.sql().add("delete from dastrasi where prs_id=" +
                                dm_.adoq_user.fieldByName("id").asString());
        dm_.ADOQuery1.execSql();
        dm_.adoq_user.deleteRecord();
        c.commit();
    } catch (const db::DbError& e) {
        c.rollback();
        reportError(e);
        return;
    }
    say("حذف شد");
}

void Tusers::DBGrid1CellClick() {
    for (const auto& boxes : std::as_const(boxes_))
        for (QCheckBox* b : boxes)
            b->setChecked(false);
    loadedUser_.clear();
    loadedRights_.clear();
    if (!hasSelectedUser()) {
        rightsOf->setText(pickUserPrompt());
        return;
    }
    // The name isolated: a Latin name keeps the marks on the Persian side.
    const QString name = dm_.adoq_user.fieldByName("us").asString();
    rightsOf->setText(
        QString::fromUtf8("دسترسي هاي کاربر «%1»").arg(QChar(0x2068) + name + QChar(0x2069)));
    try {
        const QString userId = dm_.adoq_user.fieldByName("id").asString();
        db::Query& q = dm_.ADOQ_dastrasi;
        q.openSql({"select * from dastrasi where prs_id=" + userId});
        for (const PageRight& page : PageRights())
            loadedRights_.insert(page.key, std::nullopt);
        for (q.first(); !q.eof(); q.next()) {
            const QString key = q.fieldByName("page_name").asString();
            const auto it = boxes_.constFind(key);
            if (it == boxes_.constEnd())
                continue;
            const Flags flags = storedFlags(q);
            for (int f = 0; f < 4; ++f)
                (*it)[f]->setChecked(flags[f]);
            loadedRights_.insert(key, flags);
        }
        loadedUser_ = userId;
    } catch (const db::DbError& e) {
        reportError(e);
    }
}

Tusers::Flags Tusers::ticked(const QString& pageKey) const {
    Flags flags{};
    for (int f = 0; f < 4; ++f)
        flags[f] = box(pageKey, Flag(f))->isChecked();
    return flags;
}

std::optional<Tusers::Flags> Tusers::storedRights(const QString& userId, const QString& pageKey) {
    db::Query& q = dm_.ADOQuery1;
    q.openSql({"select * from dastrasi where prs_id=" + userId +
               " and page_name=" + quoted(pageKey) + " order by id"});
    if (q.isEmpty())
        return std::nullopt;
    q.last(); // of several rows the last one is what a click shows
    return storedFlags(q);
}

void Tusers::checkUnchanged(const QString& userId, const QString& pageKey) {
    if (storedRights(userId, pageKey) == loadedRights_.value(pageKey))
        return;
    QString caption = pageKey;
    for (const PageRight& page : PageRights())
        if (page.key == pageKey)
            caption = page.caption;
    throw db::DbError(QString::fromUtf8("دسترسي «%1» در اين فاصله از ايستگاه ديگري تغيير کرده "
                                        "است؛ چيزي ثبت نشد. براي ديدن دسترسي تازه دوباره روي "
                                        "کاربر کليک کنيد")
                          .arg(caption));
}

void Tusers::saveRights(const QString& userId) {
    db::Query& q = dm_.ADOQuery1;
    const bool loaded = userId == loadedUser_;
    for (const char* key : kSaveOrder) {
        if (loaded) {
            if (ticked(key) == loadedRights_.value(key))
                continue;
            checkUnchanged(userId, key);
        }
        q.sql().clear();
        q.sql().add("Delete From Dastrasi Where prs_id=" + userId +
                    " and page_name=" + quoted(key));
        q.execSql();
        q.openSql({"Select * From Dastrasi "});
        q.append();
        q.fieldByName("prs_id").setAsString(userId);
        q.fieldByName("page_name").setAsString(key);
        for (int f = 0; f < 4; ++f)
            q.fieldByName(kFlagColumn[f])
                .setAsString(box(key, Flag(f))->isChecked() ? "True" : "False");
        q.post();
    }
}

void Tusers::ins_btn2Click() {
    if (!hasSelectedUser())
        return;
    db::Connection& c = dm_.ADOConnection1;
    try {
        // All pages or none: a failure never leaves a user with part of the rights; the
        // check for another workstation's change and the write cannot interleave with it.
        const QString userId = dm_.adoq_user.fieldByName("id").asString();
        c.beginWriteTransaction("dastrasi");
        saveRights(userId);
        c.commit();
        if (userId == loadedUser_)
            for (const PageRight& page : PageRights())
                loadedRights_.insert(page.key, ticked(page.key));
    } catch (const db::DbError& e) {
        dm_.ADOQuery1.cancel();
        c.rollback();
        reportError(e);
        return;
    }
    try {
        dm_.ADOQ_dastrasi.close();
        dm_.ADOQ_dastrasi.open();
    } catch (const db::DbError& e) {
        reportError(e);
    }
    say("ثبت شد");
}

} // namespace gc
