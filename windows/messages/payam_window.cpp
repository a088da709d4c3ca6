#include "windows/messages/payam_window.h"

#include "core/data_module.h"
#include "core/messages.h"
#include "core/preset_lists.h"
#include "core/services.h"
#include "platform/db/db_error.h"
#include "platform/text/codepage.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"
#include "platform/ui/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace gc {

using ui::MsgIcon;

namespace {

void say(const QString& text) {
    ui::dialogs().message(MsgIcon::None, text, ui::Ok);
}

void say(const char* text) {
    say(QString::fromUtf8(text));
}

void reportError(const QString& text) {
    ui::dialogs().message(MsgIcon::Error, text, ui::Ok);
}

bool confirmed(const char* question) {
    return ui::dialogs().message(MsgIcon::Warning, QString::fromUtf8(question),
                                 ui::Yes | ui::No | ui::Cancel) == ui::Yes;
}

// Refills a drop-down list, keeping the text typed into it and firing nothing.
void refill(QComboBox& box, const QStringList& items) {
    const QSignalBlocker block(box);
    const QString text = box.currentText();
    box.clear();
    box.addItems(items);
    if (box.isEditable())
        box.setEditText(text);
    else
        box.setCurrentIndex(box.findText(text));
}

QLabel* captionFor(QWidget* control, const char* text, QWidget* parent) {
    auto* caption = new QLabel(QString::fromUtf8(text), parent);
    caption->setBuddy(control);
    return caption;
}

QStringList userNames(db::Query& scratch) {
    scratch.sql().clear();
    scratch.sql().add("select us from users");
    scratch.open();
    QStringList names;
    for (scratch.first(); !scratch.eof(); scratch.next())
        names << scratch.fieldByName("us").asString();
    return names;
}

} // namespace

Tpayam::Tpayam(Tdm& dm, Services& services, QWidget* parent)
    : QDialog(parent), dm_(dm), services_(services) {
    setObjectName("payam");
    setWindowTitle(QString::fromUtf8("پيام"));
    setLayoutDirection(Qt::RightToLeft);

    DBGrid1 = new ui::QueryGrid(dm_.ADOQ_payam,
                                {{"ferestande", QString::fromUtf8("فرستنده")},
                                 {"send_dat", QString::fromUtf8("تاريخ ارسال")},
                                 {"show_dat", QString::fromUtf8("تاريخ ملاحظه")},
                                 {"mozo", QString::fromUtf8("موضوع")}},
                                this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setReadOnly(true);
    ui::readRightToLeft(*DBMemo1);
    Label1 = new QLabel(QString::fromUtf8("تذكر مهم: هر پيامي را كه ملاحظه كرديد تيك ملاحظه شد "
                                          "را با كليك راست اعمال نماييد"),
                        this);
    Label1->setObjectName("Label1");
    Label6 = new QLabel("Press Ctrl Key for MultiSelect", this);
    Label6->setObjectName("Label6");
    girande = new QComboBox(this);
    girande->setObjectName("girande");
    girande->setEnabled(false);
    mozo = new QComboBox(this);
    mozo->setObjectName("mozo");
    mozo->setEditable(true);
    mozo->setInsertPolicy(QComboBox::NoInsert);
    cmt = new QPlainTextEdit(this);
    cmt->setObjectName("cmt");
    ui::readRightToLeft(*cmt);
    prs_list = new QListWidget(this);
    prs_list->setObjectName("prs_list");
    prs_list->setSortingEnabled(true);
    prs_list->setFlow(QListView::TopToBottom);
    prs_list->setWrapping(true);
    CheckBox1 = new QCheckBox(QString::fromUtf8("گروه گيرندگان پيام"), this);
    CheckBox1->setObjectName("CheckBox1");
    BitBtn1 = new QPushButton(QString::fromUtf8("ارسال"), this);
    BitBtn1->setObjectName("BitBtn1");

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QString::fromUtf8("خوانده شد"));
    N1->setObjectName("N1");
    N3 = PopupMenu1->addAction(QString::fromUtf8("حذف"));
    N3->setObjectName("N3");
    N2 = PopupMenu1->addAction(QString::fromUtf8("گيرنده پيام"));
    N2->setObjectName("N2");
    N4 = PopupMenu1->addAction(QString::fromUtf8("حذف تمام خوانده شده ها"));
    N4->setObjectName("N4");
    N5 = PopupMenu1->addAction(QString::fromUtf8("حذف انتخاب شده ها"));
    N5->setObjectName("N5");
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });

    // The recipient drop-down only narrows the list of received messages, so it stands with
    // that list; the users ticked below the new message are its recipients.
    auto* filter = new QHBoxLayout;
    filter->addWidget(captionFor(girande, "نمايش پيام هاي گيرنده", this));
    filter->addWidget(girande);
    filter->addStretch(1);
    auto* list = new QHBoxLayout;
    list->addWidget(DBGrid1, 2);
    list->addWidget(DBMemo1, 1);
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("موضوع"), mozo);
    form->addRow(QString::fromUtf8("متن پيام"), cmt);
    auto* recipients = new QVBoxLayout;
    recipients->addWidget(captionFor(prs_list, "گيرندگان پيام", this));
    recipients->addWidget(prs_list, 1);
    recipients->addWidget(CheckBox1);
    auto* input = new QHBoxLayout;
    input->addLayout(form, 1);
    input->addLayout(recipients, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addLayout(list, 1);
    layout->addWidget(Label6);
    layout->addWidget(Label1);
    layout->addLayout(input);
    layout->addWidget(BitBtn1, 0, Qt::AlignLeft);

    connect(&dm_.ADOQ_payam, &db::Query::currentRowChanged, this, &Tpayam::showCurrentText);
    connect(&dm_.ADOQ_payam, &db::Query::resetDone, this, &Tpayam::showCurrentText);
    connect(BitBtn1, &QPushButton::clicked, this, &Tpayam::BitBtn1Click);
    connect(N1, &QAction::triggered, this, &Tpayam::N1Click);
    connect(N3, &QAction::triggered, this, &Tpayam::N3Click);
    connect(N2, &QAction::triggered, this, &Tpayam::N2Click);
    connect(N4, &QAction::triggered, this, &Tpayam::N4Click);
    connect(N5, &QAction::triggered, this, &Tpayam::N5Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &Tpayam::CheckBox1Click);
    connect(girande, &QComboBox::activated, this, &Tpayam::girandeChange);
}

void Tpayam::prepare() {
    messages::OpenList(dm_.ADOQ_payam, services_.user());
    cmt->clear();
    {
        const QSignalBlocker block(girande);
        girande->setCurrentIndex(-1);
    }
    mozo->setEditText(QString());
    girande->setEnabled(services_.user().isAdministrator());
}

void Tpayam::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tpayam::FormShow() {
    try {
        refill(*mozo, presets::values(dm_.adoq_set, presets::kMessageSubject));
        // The empty first entry lists every recipient's messages again.
        refill(*girande, QStringList{QString()} + userNames(dm_.ADOQuery1));
        prs_list->clear();
        for (const QString& name : userNames(dm_.ADOQuery1)) {
            auto* item = new QListWidgetItem(name, prs_list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        CheckBox1->setChecked(false);
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

void Tpayam::showCurrentText() {
    db::Query& q = dm_.ADOQ_payam;
    try {
        DBMemo1->setPlainText(hasCurrentRow() ? messages::DecodeBody(q.fieldByName("cmt").asBytes())
                                              : QString());
    } catch (const db::DbError& e) {
        DBMemo1->clear();
        reportError(e.message());
    }
}

bool Tpayam::hasCurrentRow() {
    return dm_.ADOQ_payam.isActive() && !dm_.ADOQ_payam.isEmpty() && dm_.ADOQ_payam.recNo() > 0;
}

qint64 Tpayam::currentId() {
    return dm_.ADOQ_payam.fieldByName("id").asInteger();
}

bool Tpayam::administratorOnly() {
    if (services_.user().isAdministrator())
        return true;
    say("حذف فقط توسط مدير سيستم قابل انجام است");
    return false;
}

void Tpayam::reopenList() {
    try {
        db::Query& q = dm_.ADOQ_payam;
        q.close();
        q.open();
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

void Tpayam::BitBtn1Click() {
    QStringList recipients;
    for (int i = 0; i < prs_list->count(); ++i)
        if (prs_list->item(i)->checkState() == Qt::Checked)
            recipients << prs_list->item(i)->text();
    if (recipients.isEmpty()) {
        say("گيرنده اي براي پيام انتخاب نشده است؛ چيزي ارسال نشد. گيرندگان را در فهرست "
            "«گيرندگان پيام» تيك بزنيد");
        return;
    }
    QString bad;
    const auto body = messages::EncodeBody(cmt->toPlainText(), &bad);
    if (!body) {
        reportError(codepage::unsupportedCharMessage(bad));
        return;
    }
    messages::Outgoing message{services_.user().id(), {}, mozo->currentText(), *body};
    int stored = 0;
    QStringList already;
    QStringList gone;
    try {
        for (const QString& name : recipients) {
            message.date = services_.date().todayText();
            switch (messages::SendTo(dm_.ADOQuery1, message, name)) {
            case messages::SendOutcome::Stored:
                ++stored;
                break;
            case messages::SendOutcome::AlreadySentToday:
                already << name;
                break;
            case messages::SendOutcome::NoSuchUser:
                gone << name;
                break;
            }
        }
    } catch (const db::DbError& e) {
        reopenList();
        reportError(e.message());
        return;
    }
    reopenList();
    if (stored > 0)
        say("ارسال انجام شد");
    const QString separator = QString::fromUtf8("، ");
    if (!already.isEmpty())
        say(QString::fromUtf8("اين پيام امروز با همين موضوع براي اين گيرندگان ارسال شده بود و "
                              "دوباره ارسال نشد: ") +
            already.join(separator));
    if (!gone.isEmpty())
        say(QString::fromUtf8("اين گيرندگان ديگر كاربر برنامه نيستند و پيامي دريافت نكردند: ") +
            gone.join(separator));
}

void Tpayam::N1Click() {
    if (!hasCurrentRow())
        return;
    try {
        messages::MarkRead(dm_.ADOQuery1, currentId(), services_.date().todayText());
    } catch (const db::DbError& e) {
        reportError(e.message());
        return;
    }
    reopenList();
}

void Tpayam::N3Click() {
    if (!administratorOnly() || !hasCurrentRow())
        return;
    try {
        messages::Delete(dm_.ADOQuery1, {currentId()});
    } catch (const db::DbError& e) {
        reportError(e.message());
        return;
    }
    say("حذف شد");
    reopenList();
}

void Tpayam::N2Click() {
    if (!hasCurrentRow())
        return;
    try {
        db::Query& q = dm_.ADOQuery1;
        q.sql().clear();
        q.sql().add("select us from users where id=" +
                    QString::number(dm_.ADOQ_payam.fieldByName("rec_prs_id").asInteger()));
        q.open();
        say(QString::fromUtf8("گيرنده پيام: ") +
            (q.eof() ? QString::fromUtf8("كاربر حذف شده") : q.fieldByName("us").asString()));
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

void Tpayam::N4Click() {
    if (!administratorOnly() || !hasCurrentRow() ||
        !confirmed("آيا تمام پيام هاي خوانده شده حذف شوند"))
        return;
    try {
        messages::DeleteRead(dm_.ADOQuery1, dm_.ADOQ_payam);
    } catch (const db::DbError& e) {
        reopenList();
        reportError(e.message());
        return;
    }
    say("حذف شد");
    reopenList();
}

void Tpayam::N5Click() {
    if (!administratorOnly() || !hasCurrentRow())
        return;
    QList<qint64> ids;
    const int idField = dm_.ADOQ_payam.fieldIndex("id");
    for (const QModelIndex& row : DBGrid1->selectionModel()->selectedRows())
        ids << dm_.ADOQ_payam.valueAt(row.row(), idField).toLongLong();
    if (ids.isEmpty() || !confirmed("آيا پيام هاي انتخاب شده حذف شوند"))
        return;
    try {
        messages::Delete(dm_.ADOQuery1, ids);
    } catch (const db::DbError& e) {
        reportError(e.message());
        return;
    }
    say("حذف شد");
    reopenList();
}

void Tpayam::CheckBox1Click() {
    const Qt::CheckState state = CheckBox1->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < prs_list->count(); ++i)
        prs_list->item(i)->setCheckState(state);
}

void Tpayam::girandeChange() {
    try {
        messages::OpenList(dm_.ADOQ_payam, services_.user(), girande->currentText());
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

} // namespace gc
