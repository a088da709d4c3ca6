#include "windows/transfer/db_maghsad.h"

#include "core/connection_settings.h"
#include "core/database_check.h"
#include "core/digits.h"
#include "core/persian_date.h"
#include "core/transfer/preflight.h"
#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/shared/mask_inputs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace gc {

using ui::MsgIcon;

namespace {

QCheckBox* checkBox(const char* caption, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    // As wide as its caption: a click anywhere on the box ticks it.
    box->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return box;
}

QLabel* label(const char* caption, const char* name, QWidget* parent) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    l->setObjectName(name);
    return l;
}

QLineEdit* edit(const QString& text, const char* name, QWidget* parent) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setLayoutDirection(Qt::LeftToRight);
    return e;
}

} // namespace

Tdb_maghsad::Tdb_maghsad(const db::Connection& source, CurrentPersianDate& date, QWidget* parent)
    : QDialog(parent), source_(source), date_(date) {
    setObjectName("db_maghsad");
    setWindowTitle(QString::fromUtf8("ديتابيس مقصد"));
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    buildControls();
    buildLayout();

    connect(RadioGroup1, &ui::RadioGroup::clicked, this, &Tdb_maghsad::RadioGroup1Click);
    connect(SystemType, &QComboBox::activated, this, &Tdb_maghsad::SystemTypeChange);
    connect(StaticText1, &ui::ClickableLabel::clicked, this, &Tdb_maghsad::StaticText1Click);
    connect(asami_chk, &QCheckBox::toggled, this, &Tdb_maghsad::asami_chkClick);
    connect(arbabrojo_chk, &QCheckBox::toggled, this, &Tdb_maghsad::arbabrojo_chkClick);
    connect(Button1, &QPushButton::clicked, this, &Tdb_maghsad::Button1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tdb_maghsad::BitBtn1Click);
    connect(cancel_btn, &QPushButton::clicked, this, &Tdb_maghsad::cancel_btnClick);
    connect(&runner_, &transfer::TransferRunner::logLine, Memo1, &QPlainTextEdit::appendPlainText);
    connect(&runner_, &transfer::TransferRunner::progress, this, &Tdb_maghsad::setProgress);
    connect(&runner_, &transfer::TransferRunner::finished, this, &Tdb_maghsad::finished);
}

void Tdb_maghsad::buildControls() {
    Label1 = label("نام سرور sql /محل قرارگيري فايل اكسس", "Label1", this);
    SqlServerName = edit("localhost", "SqlServerName", this);
    Label3 = label("نام ديتابيس/نام فايل اكسس", "Label3", this);
    DataBase = edit("Tovarmesk", "DataBase", this);
    Label4 = label("کلمه کاربري sa/admin", "Label4", this);
    UserName = edit("sa", "UserName", this);
    Label5 = label("رمز عبور", "Label5", this);
    Password = edit(kServerPassword, "Password", this);
    Password->setEchoMode(QLineEdit::Password);
    Label9 = label("System Type:", "Label9", this);
    SystemType = new QComboBox(this);
    ui::drawLeftToRight(*SystemType);
    SystemType->setObjectName("SystemType");
    SystemType->setLayoutDirection(Qt::LeftToRight);
    SystemType->addItems({"32-bit", "64-bit"});
    RadioGroup1 =
        new ui::RadioGroup(QString::fromUtf8("نحوه اتصال به سرور: "),
                           {"Windows Authentication", "SQL Server Authentication", "Access"}, this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setItemIndex(1);
    StaticText1 = new ui::ClickableLabel(QString::fromUtf8("انتخاب فايل ديتابيس"), this);
    StaticText1->setObjectName("StaticText1");
    QFont underlined = StaticText1->font();
    underlined.setUnderline(true);
    StaticText1->setFont(underlined);
    StaticText1->setVisible(false);
    Button1 = new QPushButton("Connect", this);
    Button1->setObjectName("Button1");
    Label2 =
        label("از اين تاريخ به بعد جداولي را که در زير انتخاب شده اند انتقال بده", "Label2", this);
    dat = new registers::MaskEdit(registers::MaskEdit::Kind::Date, "dat", this);
    old_data_del = checkBox("اطلاعات قبلي پاک شود", "old_data_del", this);
    amval_chk = checkBox("اموال", "amval_chk", this);
    anbar_chk = checkBox("انبار", "anbar_chk", this);
    khodro_chk = checkBox("خودرو", "khodro_chk", this);
    prs_chk = checkBox("پرسنل", "prs_chk", this);
    parking_chk = checkBox("پارکينگ", "parking_chk", this);
    phone_chk = checkBox("تلفن", "phone_chk", this);
    kala_chk = checkBox("کالا", "kala_chk", this);
    otagh_chk = checkBox("اتاق ها", "otagh_chk", this);
    asami_chk = checkBox("اسامي", "asami_chk", this);
    asami_pic_chk = checkBox("تصاوير پرسنل", "asami_pic_chk", this);
    asami_pic_chk->setEnabled(false);
    arbabrojo_chk = checkBox("ارباب رجوع", "arbabrojo_chk", this);
    arbabrojo_pic_chk = checkBox("تصاوير ارباب رجوع", "arbabrojo_pic_chk", this);
    arbabrojo_pic_chk->setEnabled(false);
    other_chk = checkBox("ساير جداول", "other_chk", this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLayoutDirection(Qt::RightToLeft);
    ui::readRightToLeft(*Memo1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    setProgress(0, 0);
    BitBtn1 = new QPushButton(QString::fromUtf8("انتقال اطلاعات"), this);
    BitBtn1->setObjectName("BitBtn1");
    cancel_btn = new QPushButton(QString::fromUtf8("انصراف"), this);
    cancel_btn->setObjectName("cancel_btn");
    cancel_btn->setEnabled(false);
}

void Tdb_maghsad::buildLayout() {
    auto* form = new QFormLayout;
    form->addRow(Label1, SqlServerName);
    form->addRow(Label3, DataBase);
    form->addRow(Label4, UserName);
    form->addRow(Label5, Password);
    form->addRow(Label9, SystemType);
    auto* connectRow = new QHBoxLayout;
    connectRow->addWidget(StaticText1);
    connectRow->addStretch();
    connectRow->addWidget(Button1);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(Label2);
    dateRow->addWidget(dat);
    dateRow->addStretch();
    auto* boxes = new QGridLayout;
    QCheckBox* const order[] = {
        amval_chk, anbar_chk, khodro_chk,    prs_chk,       parking_chk,       phone_chk, kala_chk,
        otagh_chk, asami_chk, asami_pic_chk, arbabrojo_chk, arbabrojo_pic_chk, other_chk};
    int i = 0;
    for (QCheckBox* box : order) {
        boxes->addWidget(box, i / 4, i % 4);
        ++i;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ProgressBar1, 1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(RadioGroup1);
    top->addLayout(connectRow);
    top->addLayout(dateRow);
    top->addWidget(old_data_del);
    top->addLayout(boxes);
    top->addWidget(Memo1, 1);
    top->addLayout(buttons);
}

void Tdb_maghsad::prepare() {
    Button1->setText("Connect");
    setProgress(0, 0);
    dat->setText(date_.todayText());
    Memo1->clear();
}

void Tdb_maghsad::prepareAndShow() {
    prepare();
    exec();
}

void Tdb_maghsad::RadioGroup1Click() {
    const bool access = RadioGroup1->itemIndex() == 2;
    StaticText1->setVisible(access);
    const ConnectionProposal proposal = ProposedConnection(access);
    DataBase->setText(proposal.database);
    UserName->setText(proposal.user);
    Password->setText(proposal.password);
}

void Tdb_maghsad::SystemTypeChange() {
    DataBase->setText(
        ProposedDatabaseName(RadioGroup1->itemIndex() == 2, SystemType->currentIndex()));
}

void Tdb_maghsad::StaticText1Click() {
    const QString file = ui::dialogs().openFileName(
        QString(), "Access 2003 File (*.mdb);;Access 2007 Files (*.accdb);;All Files (*.*)");
    if (!file.isEmpty())
        SqlServerName->setText(file);
}

void Tdb_maghsad::asami_chkClick() {
    asami_pic_chk->setEnabled(asami_chk->isChecked());
}

void Tdb_maghsad::arbabrojo_chkClick() {
    arbabrojo_pic_chk->setEnabled(arbabrojo_chk->isChecked());
}

// The fields as they are now, the password as typed.
QString Tdb_maghsad::destinationString() const {
    static const QString kinds[] = {"Windows", "SQL Server", "Access"};
    const int index = RadioGroup1->itemIndex();
    const ConnectionSettings typed{SystemType->currentText(),
                                   SqlServerName->text(),
                                   DataBase->text(),
                                   UserName->text(),
                                   index >= 0 ? kinds[index] : QString(),
                                   Password->text()};
    return BuildConnectionString(typed).value_or(QString());
}

void Tdb_maghsad::Button1Click() {
    // Only a test: a mistyped path makes no file, and nothing is written.
    db::Connection test("transfer_connect_test");
    test.setConnectionString(destinationString());
    test.setReadOnly(true);
    try {
        if (transfer::destinationFileMissing(test.connectionString()))
            throw db::DbError(
                transfer::missingFileMessage(db::connectionTarget(test.connectionString()).file));
        test.open();
        Button1->setText("Connected");
    } catch (const db::DbError& e) {
        Button1->setText("No Connected");
        Memo1->appendPlainText(e.message());
    }
}

bool Tdb_maghsad::readOptions(transfer::TransferOptions& o) {
    const QString start = toAsciiDigits(dat->storedText());
    static const QRegularExpression full(R"(^\d{4}/\d{2}/\d{2}$)");
    if (!transfer::isBlankDate(start) && !full.match(start).hasMatch()) {
        ui::dialogs().message(MsgIcon::Warning, QString::fromUtf8("تاريخ شروع را کامل وارد نماييد"),
                              ui::Ok);
        dat->setFocus();
        return false;
    }
    o.source = source_.connectionString();
    o.destination = destinationString();
    o.startDate = start;
    o.deleteOld = old_data_del->isChecked();
    o.amval = amval_chk->isChecked();
    o.anbar = anbar_chk->isChecked();
    o.khodro = khodro_chk->isChecked();
    o.prs = prs_chk->isChecked();
    o.parking = parking_chk->isChecked();
    o.phone = phone_chk->isChecked();
    o.kala = kala_chk->isChecked();
    o.otagh = otagh_chk->isChecked();
    o.asami = asami_chk->isChecked();
    o.asamiPic = asami_pic_chk->isChecked();
    o.arbabrojo = arbabrojo_chk->isChecked();
    o.arbabrojoPic = arbabrojo_pic_chk->isChecked();
    o.other = other_chk->isChecked();
    return true;
}

namespace {

bool agreed(MsgIcon icon, const QString& question) {
    return ui::dialogs().message(icon, question, ui::Yes | ui::No) == ui::Yes;
}

// The tables and columns the run writes, made where the destination lacks them and the
// user agrees; a new file was agreed to already.
bool setUpDestination(transfer::Preflight& check, const QString& where, bool newFile) {
    const QStringList tables = check.missingTables();
    const QStringList columns = check.missingColumns();
    if (tables.isEmpty() && columns.isEmpty())
        return true;
    QString question = tables.isEmpty() ? transfer::upgradeQuestion(where, columns)
                                        : transfer::schemaQuestion(where);
    if (const QStringList others = check.otherTables(); !tables.isEmpty() && !others.isEmpty())
        question = OtherTablesNote(others) + '\n' + question;
    if (!newFile && !agreed(MsgIcon::Question, question))
        return false;
    const SchemaResult schema = check.setUpSchema();
    if (schema.complete())
        return true;
    ui::dialogs().message(MsgIcon::Warning, schema.message(), ui::Ok);
    return false;
}

} // namespace

// Before anything is written: the destination is another database, has the tables and
// columns, and the user agrees to what the run deletes, doubles or replaces. A missing
// file is made only once the user agrees to its set-up.
bool Tdb_maghsad::confirm(const transfer::TransferOptions& o) {
    try {
        const QString where = transfer::Ends::describe(o.destination);
        const bool newFile = transfer::destinationFileMissing(o.destination);
        if (newFile && !agreed(MsgIcon::Question, transfer::schemaQuestion(where)))
            return false;
        transfer::Preflight check(o, "transfer_check", newFile);
        if (!setUpDestination(check, where, newFile))
            return false;
        QString question = transfer::deleteQuestion(where, o);
        if (!o.deleteOld) {
            const QStringList occupied = check.occupiedSections();
            const QStringList users = check.sameNameUsers();
            if (occupied.isEmpty() && users.isEmpty())
                return true;
            question = transfer::doublingQuestion(where, occupied, users);
        }
        return agreed(MsgIcon::Warning, question);
    } catch (const db::DbError& e) {
        ui::dialogs().message(MsgIcon::Warning, e.message(), ui::Ok);
        return false;
    }
}

void Tdb_maghsad::BitBtn1Click() {
    if (running())
        return;
    transfer::TransferOptions options;
    if (!readOptions(options) || !confirm(options))
        return;
    Memo1->clear();
    setProgress(0, 0);
    BitBtn1->setEnabled(false);
    cancel_btn->setEnabled(true);
    runner_.start(options);
}

void Tdb_maghsad::cancel_btnClick() {
    runner_.cancel();
}

void Tdb_maghsad::setProgress(int done, int total) {
    // A bar with no range would show itself busy.
    ProgressBar1->setRange(0, std::max(total, 1));
    ProgressBar1->setValue(done);
}

void Tdb_maghsad::finished() {
    BitBtn1->setEnabled(true);
    cancel_btn->setEnabled(false);
    const transfer::TransferResult& r = runner_.result();
    if (r.ok) {
        if (!r.counts.empty())
            setProgress(r.counts.back().sourceRows, r.counts.back().sourceRows);
        return;
    }
    Memo1->appendPlainText(r.message);
    ui::dialogs().message(MsgIcon::Warning, r.message, ui::Ok);
}

void Tdb_maghsad::reject() {
    if (running()) {
        runner_.cancel();
        return;
    }
    QDialog::reject();
}

void Tdb_maghsad::closeEvent(QCloseEvent* event) {
    if (running()) {
        runner_.cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace gc
