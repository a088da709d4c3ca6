#include "windows/phonebook/log_window.h"

#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"
#include "registers/shared/grid_export.h"
#include "registers/shared/mask_inputs.h"
#include "registers/shared/stamp_check.h"
#include "windows/phonebook/grid_widths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace gc {

namespace {

void reportError(const db::DbError& e) {
    ui::showMessage(ui::MsgIcon::Error, e.message());
}

QCheckBox* filterBox(const char* caption, const char* objectName, QList<QWidget*> inputs,
                     QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(objectName);
    for (QWidget* input : inputs) {
        input->setEnabled(false);
        QObject::connect(box, &QCheckBox::toggled, input, &QWidget::setEnabled);
    }
    return box;
}

QLineEdit* textInput(const char* objectName, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(objectName);
    return e;
}

} // namespace

Tlog::Tlog(Tdm& dm, xlsx::FileOpener& opener, QString exportFolder, QWidget* parent)
    : QDialog(parent), dm_(dm), opener_(opener), exportFolder_(std::move(exportFolder)) {
    setObjectName("log");
    setWindowTitle(QStringLiteral("log"));
    setLayoutDirection(Qt::RightToLeft);

    karbar = new QComboBox(this);
    karbar->setObjectName("karbar");
    karbar->setEditable(true);
    karbar->setInsertPolicy(QComboBox::NoInsert);
    dat1 = new registers::MaskEdit(registers::MaskEdit::Kind::Date, "dat1", this);
    dat2 = new registers::MaskEdit(registers::MaskEdit::Kind::Date, "dat2", this);
    computer_name = textInput("computer_name", this);
    cmt = textInput("cmt", this);
    ip = textInput("ip", this);
    ip->setLayoutDirection(Qt::LeftToRight);
    CheckBox1 = filterBox("نام کاربر", "CheckBox1", {karbar}, this);
    CheckBox2 = filterBox("تاريخ", "CheckBox2", {dat1, dat2}, this);
    CheckBox3 = filterBox("نام كامپيوتر", "CheckBox3", {computer_name}, this);
    CheckBox4 = filterBox("شرح عمليات", "CheckBox4", {cmt}, this);
    CheckBox5 = filterBox("IP", "CheckBox5", {ip}, this);

    BitBtn1 = new QPushButton(QString::fromUtf8("جستجو"), this);
    BitBtn1->setObjectName("BitBtn1");
    cnt = new QLabel(this);
    cnt->setObjectName("cnt");
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    SpeedButton1->setToolTip(QString::fromUtf8("اکسل"));

    DBGrid1 = new ui::QueryGrid(dm_.ADOQuery1,
                                {{"karbar", QString::fromUtf8("نام کاربر")},
                                 {"ip", QStringLiteral("IP")},
                                 {"computer_name", QString::fromUtf8("نام کامپيوتر")},
                                 {"saat", QString::fromUtf8("ساعت")},
                                 {"tarikh", QString::fromUtf8("تاريخ")},
                                 {"cmt", QString::fromUtf8("شرح عمليات")},
                                 {"saat_sys", QString::fromUtf8("تاريخ و ساعت سرور")}},
                                this);
    DBGrid1->setObjectName("DBGrid1");
    KeepColumnWidths(*DBGrid1, {{"karbar", 80},
                                {"ip", 100},
                                {"computer_name", 110},
                                {"saat", 80},
                                {"tarikh", 80},
                                {"cmt", 250},
                                {"saat_sys", 130}});

    auto* filtersGrid = new QGridLayout;
    filtersGrid->addWidget(CheckBox1, 0, 0);
    filtersGrid->addWidget(karbar, 0, 1);
    filtersGrid->addWidget(CheckBox2, 0, 2);
    auto* range = new QHBoxLayout;
    range->addWidget(dat1);
    range->addWidget(new QLabel(QString::fromUtf8("تـــــــــــــا"), this));
    range->addWidget(dat2);
    filtersGrid->addLayout(range, 0, 3);
    filtersGrid->addWidget(CheckBox3, 1, 0);
    filtersGrid->addWidget(computer_name, 1, 1);
    filtersGrid->addWidget(CheckBox4, 1, 2);
    filtersGrid->addWidget(cmt, 1, 3);
    filtersGrid->addWidget(CheckBox5, 2, 0);
    filtersGrid->addWidget(ip, 2, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(BitBtn1);
    actions->addWidget(cnt, 1);
    actions->addWidget(SpeedButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filtersGrid);
    layout->addLayout(actions);
    layout->addWidget(DBGrid1, 1);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, &Tlog::SpeedButton1Click);
}

void Tlog::prepare() {
    offerUserNames();
    karbar->setCurrentIndex(-1);
    karbar->clearEditText();
    computer_name->clear();
    cmt->clear();
    ip->clear();
    // The scratch query may hold another window's rows or statement by now; they are
    // not the log's and must not be listed or exported as if they were.
    if (!showsLogList()) {
        dm_.ADOQuery1.close();
        cnt->clear();
    }
}

void Tlog::offerUserNames() {
    db::Query users(dm_.ADOConnection1, QStringLiteral("log_users"));
    users.setSql(QStringLiteral("select us from users order by us"));
    users.open();
    QStringList names;
    for (users.first(); !users.eof(); users.next())
        names << users.fieldByName("us").asString();
    const QSignalBlocker block(karbar);
    karbar->clear();
    karbar->addItems(names);
}

bool Tlog::showsLogList() {
    return dm_.ADOQuery1.isActive() && !listSql_.isEmpty() &&
           dm_.ADOQuery1.sql().text() == listSql_;
}

LogFilters Tlog::filters() const {
    LogFilters f;
    auto on = [this](const QWidget* input) { return input->isEnabledTo(this); };
    if (on(karbar))
        f.karbar = karbar->currentText();
    if (on(dat1))
        f.dates = {dat1->storedText(), dat2->storedText()};
    if (on(cmt))
        f.cmt = cmt->text();
    if (on(computer_name))
        f.computer_name = computer_name->text();
    if (on(ip))
        f.ip = ip->text();
    return f;
}

bool Tlog::BitBtn1Click() {
    if (dat1->isEnabledTo(this) &&
        !registers::stampsAcceptable({{dat1, CheckBox2->text()}, {dat2, CheckBox2->text()}}))
        return false;
    const LogFilters f = filters();
    db::Query& q = dm_.ADOQuery1;
    try {
        q.setSql(LogCountSql(f));
        q.open();
        cnt->setText(q.fieldByName("c").asString());
        q.setSql(LogListSql(f));
        q.open();
        listSql_ = q.sql().text();
    } catch (const db::DbError& e) {
        cnt->clear();
        reportError(e);
        return false;
    }
    return true;
}

void Tlog::SpeedButton1Click() {
    if (!showsLogList() && !BitBtn1Click())
        return;
    registers::ExportGridToExcel(
        dm_.ADOQuery1,
        {{"id", QString::fromUtf8("شناسه")},
         {"karbar", QString::fromUtf8("نام کاربري")},
         {"ip", QString::fromUtf8("آي پي")},
         {"computer_name", QString::fromUtf8("نام کامپيوتر")},
         {"saat", QString::fromUtf8("ساعت")},
         {"tarikh", QString::fromUtf8("تاريخ")},
         {"cmt", QString::fromUtf8("شرح عمليات")},
         {"saat_sys", QString::fromUtf8("ساعت سرور")}},
        opener_, exportFolder_, registers::ExportName(windowTitle(), QDateTime::currentDateTime()));
}

} // namespace gc
