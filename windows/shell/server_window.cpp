#include "windows/shell/server_window.h"

#include "core/connection_settings.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/db_error.h"
#include "platform/settings/registry.h"
#include "platform/text/codepage.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace gc {

using ui::ClickableLabel;
using ui::MsgIcon;

Tserver::Tserver(QWidget* parent) : QDialog(parent) {
    setObjectName("server");
    setWindowTitle(QString::fromUtf8("تنظيمات اتصال به بانک"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    Label1 = new ClickableLabel(QString::fromUtf8("نام سرور sql /محل قرارگيري فايل اكسس"), this);
    SqlServerName = new QLineEdit(kDefaultServer, this);
    Label7 = new QLabel(QString::fromUtf8("اگر فايل اكسس در سيستم راه دور"), this);
    Label6 = new QLabel("\\\\Server1\\ShareNameFolder\\Tovarmesk.accdb", this);
    Label3 = new QLabel(QString::fromUtf8("نام ديتابيس/نام فايل اكسس"), this);
    DataBase = new QLineEdit("Tovarmesk.accdb", this);
    Label4 = new QLabel(QString::fromUtf8("کلمه کاربري sa/admin"), this);
    UserName = new QLineEdit("sa", this);
    Label5 = new ClickableLabel(QString::fromUtf8("رمز عبور"), this);
    Password = new QLineEdit(kServerPassword, this);
    Password->setEchoMode(QLineEdit::Password);
    Label9 = new QLabel("System Type:", this);
    SystemType = new QComboBox(this);
    ui::drawLeftToRight(*SystemType);
    SystemType->addItems({"32-bit", "64-bit"});
    RadioGroup1 =
        new ui::RadioGroup(QString::fromUtf8("نحوه اتصال به سرور: "),
                           {"Windows Authentication", "SQL Server Authentication", "Access"}, this);
    RadioGroup1->setItemIndex(1);
    StaticText1 = new ClickableLabel(QString::fromUtf8("انتخاب فايل ديتابيس"), this);
    QFont underlined = StaticText1->font();
    underlined.setUnderline(true);
    StaticText1->setFont(underlined);
    StaticText1->setVisible(false);
    Button1 = new QPushButton(QString::fromUtf8("تاييد"), this);
    Button2 = new QPushButton(QString::fromUtf8("خاتمه"), this);
    Label8 = new ClickableLabel("- - -", this);
    BitBtn1 = new QPushButton(QString::fromUtf8("انتقال به..."), this);
    nextStartNote = new QLabel(
        QString::fromUtf8("تنظيمات ذخيره شده از اجراي بعدي برنامه به کار مي رود؛ تا آن زمان "
                          "برنامه با بانک اطلاعاتي باز شده کار مي کند"),
        this);
    nextStartNote->setObjectName("nextStartNote");
    nextStartNote->setWordWrap(true);
    nextStartNote->setVisible(false);

    const std::pair<QObject*, const char*> names[] = {
        {Label1, "Label1"},           {SqlServerName, "SqlServerName"},
        {Label7, "Label7"},           {Label6, "Label6"},
        {Label3, "Label3"},           {DataBase, "DataBase"},
        {Label4, "Label4"},           {UserName, "UserName"},
        {Label5, "Label5"},           {Password, "Password"},
        {Label9, "Label9"},           {SystemType, "SystemType"},
        {RadioGroup1, "RadioGroup1"}, {StaticText1, "StaticText1"},
        {Button1, "Button1"},         {Button2, "Button2"},
        {Label8, "Label8"},           {BitBtn1, "BitBtn1"}};
    for (const auto& [object, name] : names)
        object->setObjectName(name);

    // Host names, paths and the system types read left to right inside the form.
    for (QWidget* w : std::initializer_list<QWidget*>{SqlServerName, Label6, DataBase, UserName,
                                                      Password, Label9, SystemType})
        w->setLayoutDirection(Qt::LeftToRight);

    buildLayout();

    connect(RadioGroup1, &ui::RadioGroup::clicked, this, &Tserver::RadioGroup1Click);
    connect(SystemType, &QComboBox::activated, this, &Tserver::SystemTypeChange);
    connect(StaticText1, &ClickableLabel::clicked, this, &Tserver::StaticText1Click);
    connect(Label1, &ClickableLabel::clicked, this, &Tserver::Label1Click);
    connect(Label5, &ClickableLabel::clicked, this, &Tserver::Label5Click);
    connect(Button1, &QPushButton::clicked, this, &Tserver::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tserver::Button2Click);
    connect(Label8, &ClickableLabel::clicked, this, &Tserver::Label8Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tserver::BitBtn1Click);
}

void Tserver::buildLayout() {
    auto* form = new QFormLayout;
    form->addRow(Label1, SqlServerName);
    form->addRow(Label7, Label6);
    form->addRow(Label3, DataBase);
    form->addRow(Label4, UserName);
    form->addRow(Label5, Password);
    form->addRow(Label9, SystemType);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(Label8);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(RadioGroup1);
    top->addWidget(StaticText1);
    top->addWidget(nextStartNote);
    top->addLayout(buttons);
}

void Tserver::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tserver::showChoiceControls() {
    StaticText1->setVisible(RadioGroup1->itemIndex() == 2);
}

void Tserver::RadioGroup1Click() {
    showChoiceControls();
    const bool access = RadioGroup1->itemIndex() == 2;
    const bool kindChanged = access != fileChosen_;
    fileChosen_ = access;
    if (loading_ || RadioGroup1->itemIndex() < 0)
        return;
    const ConnectionProposal proposal = ProposedConnection(access);
    DataBase->setText(proposal.database);
    UserName->setText(proposal.user);
    Password->setText(proposal.password);
    // A server's name is no file's, nor a path a server's.
    if (kindChanged)
        SqlServerName->setText(access ? ProposedDatabaseFile() : kDefaultServer);
}

void Tserver::SystemTypeChange() {
    DataBase->setText(
        ProposedDatabaseName(RadioGroup1->itemIndex() == 2, SystemType->currentIndex()));
}

void Tserver::FormShow() {
    // Opened while the program works on a database (from the login window), a saved change
    // waits for the next start; at the start-up the settings saved are tried at once.
    nextStartNote->setVisible(databaseOpen && databaseOpen());
    if (const auto key = platform::RegistryKey::open(kSettingsKey, false)) {
        // The stored choice first, without its defaults, so the stored values stay shown.
        const QString auth = key->readString(kValAuthentication);
        const int index = auth == "SQL Server" ? 1
                          : auth == "Windows"  ? 0
                          : auth == "Access"   ? 2
                                               : -2;
        if (index != -2) {
            loading_ = true;
            RadioGroup1->setItemIndex(index);
            loading_ = false;
        }
        SqlServerName->setText(key->readString(kValSqlServerName));
        SystemType->setCurrentText(key->readString(kValSystemType));
        DataBase->setText(key->readString(kValDataBase));
        UserName->setText(key->readString(kValUserName));
        Password->setText(UnscramblePassword(key->readString(kValPassword)));
    }
    if (SqlServerName->text().isEmpty())
        SqlServerName->setText("Tovarmesk.accdb");
}

// A new file's name is as good as an existing file's: "- - -" or the first start makes it.
void Tserver::StaticText1Click() {
    const QFileInfo typed(SqlServerName->text());
    const QString proposed = typed.isAbsolute() ? typed.filePath() : ProposedDatabaseFile();
    PrepareDatabaseFolder(proposed);
    const QString file = ui::dialogs().chooseFileName(
        StaticText1->text(),
        "Database (*.db);;Access 2003 File (*.mdb);;Access 2007 Files (*.accdb);;All Files (*.*)",
        proposed);
    if (!file.isEmpty())
        SqlServerName->setText(file);
}

void Tserver::Label1Click() {
    SqlServerName->setText(kDefaultServer);
}

void Tserver::Label5Click() {
    Password->setText(kServerPassword);
}

bool Tserver::validate() {
    const std::pair<QLineEdit*, const char*> checks[] = {
        {SqlServerName, "محل قرارگيري فايل اكسس را مشخص نماييد"},
        {DataBase, "نام ديتابيس را وارد نمائيد"},
        {UserName, "کلمه کاربري را وارد نمائيد"},
        {Password, "رمز عبور را وارد نمائيد"}};
    for (const auto& [edit, message] : checks) {
        if (edit->text().isEmpty()) {
            ui::dialogs().message(MsgIcon::Question, QString::fromUtf8(message), ui::Yes);
            edit->setFocus();
            return false;
        }
    }
    return true;
}

// A file database is kept by its absolute path, so the program finds it whatever folder it
// is started from; the proposed folder is made for it.
void Tserver::prepareFilePath() {
    if (RadioGroup1->itemIndex() != 2 || SqlServerName->text().isEmpty())
        return;
    SqlServerName->setText(QFileInfo(SqlServerName->text()).absoluteFilePath());
    PrepareDatabaseFolder(SqlServerName->text());
}

void Tserver::Button1Click() {
    if (!validate())
        return;
    prepareFilePath();
    QString bad;
    const auto scrambled = ScramblePassword(Password->text(), &bad);
    if (!scrambled) {
        ui::dialogs().message(MsgIcon::Warning,
                              QString::fromUtf8("رمز عبور ذخيره نشد: ") +
                                  codepage::unsupportedCharMessage(bad),
                              ui::Yes);
        Password->setFocus();
        return;
    }
    auto key = platform::RegistryKey::open(kSettingsKey, true);
    bool written = key.has_value();
    if (key) {
        static const QString kinds[] = {"Windows", "SQL Server", "Access"};
        const int index = RadioGroup1->itemIndex();
        const std::pair<QString, QString> values[] = {
            {kValSystemType, SystemType->currentText()},
            {kValSqlServerName, SqlServerName->text()},
            {kValDataBase, DataBase->text()},
            {kValAuthentication, index >= 0 && index <= 2 ? kinds[index] : QString()},
            {kValUserName, UserName->text()},
            {kValPassword, *scrambled}};
        for (const auto& [name, value] : values)
            written = key->writeString(name, value) && written;
    }
    if (!written)
        ui::dialogs().message(
            MsgIcon::Warning,
            QString::fromUtf8("عمليات ثبت با خطا مواجه گرديد، لطفا دوباره سعي نماييد"), ui::Yes);
    close();
}

void Tserver::Button2Click() {
    close();
    Button2->setText("end");
}

// Before the first connection there is none to set up: use the database the fields
// describe, so a first start can create its tables before saving.
void Tserver::Label8Click() {
    db::Connection& connection = dm().ADOConnection1;
    if (!connection.connected()) {
        prepareFilePath();
        static const QString kinds[] = {"Windows", "SQL Server", "Access"};
        const int index = RadioGroup1->itemIndex();
        const ConnectionSettings typed{SystemType->currentText(),
                                       SqlServerName->text(),
                                       DataBase->text(),
                                       UserName->text(),
                                       index >= 0 ? kinds[index] : QString(),
                                       Password->text()};
        try {
            connection.setConnectionString(BuildConnectionString(typed).value_or(QString()));
            connection.open();
        } catch (const db::DbError& e) {
            ui::dialogs().message(MsgIcon::Warning, e.message(), ui::Ok);
            return;
        }
    }
    SetUpSchema(dm());
}

void Tserver::BitBtn1Click() {
    if (showTransfer)
        showTransfer();
}

bool SetUpSchema(Tdm& dm) {
    const SchemaResult result = EnsureSchema(dm);
    ui::dialogs().message(result.complete() ? MsgIcon::None : MsgIcon::Warning, result.message(),
                          ui::Ok);
    return result.complete();
}

} // namespace gc
