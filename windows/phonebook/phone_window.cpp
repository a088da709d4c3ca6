#include "windows/phonebook/phone_window.h"

#include "core/activity_log.h"
#include "core/data_module.h"
#include "core/phone_search.h"
#include "core/services.h"
#include "platform/db/db_error.h"
#include "platform/text/codepage.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"
#include "platform/ui/widgets.h"
#include "registers/shared/core/sort_text.h"
#include "registers/shared/grid_export.h"
#include "windows/phonebook/grid_widths.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace gc {

using ui::MsgIcon;

namespace {

void say(const char* text) {
    ui::showMessage(MsgIcon::None, QString::fromUtf8(text));
}

void reportError(const db::DbError& e) {
    ui::showMessage(MsgIcon::Error, e.message());
}

void paint(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

// A title-click order on the scratch query would wrap every later statement on it,
// also those of other windows, in that order.
void clearSort(db::Query& q) {
    if (!q.sort().isEmpty()) {
        q.close();
        q.setSort({});
    }
}

const QColor kSkyBlue(0xA6, 0xCA, 0xF0);

} // namespace

Tphone::Tphone(Tdm& dm, Services& services, QString exportFolder, QWidget* parent)
    : QDialog(parent), dm_(dm), services_(services), exportFolder_(std::move(exportFolder)) {
    setObjectName("phone");
    setWindowTitle(QString::fromUtf8("دفترچه تلفن"));
    setLayoutDirection(Qt::RightToLeft);

    RadioGroup1 = new ui::RadioGroup(
        QString::fromUtf8("جستجو بر اساس"),
        {QString::fromUtf8("نام"), QString::fromUtf8("تلفن"), QString::fromUtf8("شرح")}, this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setItemIndex(0);
    src = new QLineEdit(this);
    src->setObjectName("src");
    QFont big = src->font();
    big.setPixelSize(16);
    src->setFont(big);
    paint(src, Qt::yellow);
    cnt = new QLabel(this);
    cnt->setObjectName("cnt");

    DBGrid1 = new ui::QueryGrid(dm_.ADOQuery1,
                                {{"name", QString::fromUtf8("نام")},
                                 {"tel", QString::fromUtf8("تلفن")},
                                 {"cmt", QString::fromUtf8("شرح")}},
                                this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setFont(big);
    KeepColumnWidths(*DBGrid1, {{"name", 180}, {"tel", 150}, {"cmt", 170}});
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    PopupMenu1 = new QMenu(this);
    N2 = PopupMenu1->addAction(QString::fromUtf8("اکسل"));
    N2->setObjectName("N2");
    N1 = PopupMenu1->addAction(QString::fromUtf8("حذف"));
    N1->setObjectName("N1");
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });

    name = new QLineEdit(this);
    name->setObjectName("name");
    tel = new QLineEdit(this);
    tel->setObjectName("tel");
    tel->setLayoutDirection(Qt::LeftToRight);
    cmt = new QLineEdit(this);
    cmt->setObjectName("cmt");
    for (QLineEdit* e : {name, tel, cmt})
        paint(e, kSkyBlue);
    ins_btn = new QPushButton(QString::fromUtf8("ثبت"), this);
    ins_btn->setObjectName("ins_btn");

    auto* top = new QHBoxLayout;
    top->addWidget(RadioGroup1);
    top->addWidget(src, 1);
    top->addWidget(cnt);
    auto* entry = new QGridLayout;
    entry->addWidget(new QLabel(QString::fromUtf8("نام"), this), 0, 0);
    entry->addWidget(name, 0, 1);
    entry->addWidget(new QLabel(QString::fromUtf8("تلفن"), this), 0, 2);
    entry->addWidget(tel, 0, 3);
    entry->addWidget(new QLabel(QString::fromUtf8("شرح"), this), 1, 0);
    entry->addWidget(cmt, 1, 1, 1, 3);
    entry->addWidget(ins_btn, 1, 4);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(entry);

    connect(src, &QLineEdit::textChanged, this, &Tphone::srcChange);
    connect(ins_btn, &QPushButton::clicked, this, &Tphone::ins_btnClick);
    connect(N1, &QAction::triggered, this, &Tphone::N1Click);
    connect(N2, &QAction::triggered, this, &Tphone::N2Click);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Tphone::DBGrid1TitleClick);
}

void Tphone::prepare() {
    // Two changes, so the search runs once more on the empty text even when the box
    // was already empty.
    src->setText(QStringLiteral("a"));
    src->clear();
    name->clear();
    tel->clear();
    cmt->clear();
    src->setFocus();
}

void Tphone::srcChange() {
    const QString text = NormalizeKeheh(src->text());
    if (text != src->text()) {
        const QSignalBlocker block(src);
        const int at = src->cursorPosition();
        src->setText(text);
        src->setCursorPosition(at);
    }
    search();
}

bool Tphone::searchable(const QString& text) {
    QString bad;
    if (codepage::toRepertoire(text, &bad)) {
        refused_.clear();
        return true;
    }
    // Typing on with the character still there does not raise the box again.
    if (bad != refused_) {
        refused_ = bad;
        ui::showMessage(MsgIcon::Warning, codepage::unsupportedCharMessage(bad));
    }
    return false;
}

void Tphone::search() {
    const auto column = PhoneSearchColumn(std::max(0, RadioGroup1->itemIndex()));
    const QString text = src->text();
    db::Query& q = dm_.ADOQuery1;
    if (!searchable(text)) {
        q.close();
        cnt->clear();
        return;
    }
    // Typing must not raise a box per keystroke; a failed search shows no count
    // rather than the previous one beside an empty list.
    try {
        clearSort(q);
        q.setSql(PhoneCountSql(column, text));
        q.open();
        cnt->setText(q.fieldByName("c").asString());
        q.setSql(PhoneListSql(column, text));
        q.open();
    } catch (const db::DbError&) {
        cnt->clear();
    }
}

void Tphone::ins_btnClick() {
    // A row without a name never shows in the list, so it could be neither seen nor
    // deleted.
    if (name->text().trimmed().isEmpty()) {
        say("نام را وارد نماييد");
        name->setFocus();
        return;
    }
    db::Query& q = dm_.ADOQuery1;
    db::Connection& c = dm_.ADOConnection1;
    bool inTransaction = false;
    try {
        clearSort(q);
        q.setSql(PhoneNameSql(name->text()));
        q.open();
        if (!q.isEmpty()) {
            search();
            say("نام تکراري است");
            return;
        }
        const ActivityLogEntry entry =
            ActivityLogEntryNow(services_.user(), services_.workstation(), services_.date(),
                                services_.clock(), PhoneInsertOperation(name->text()));
        // The entry and its log row are written together or not at all.
        c.beginTransaction();
        inTransaction = true;
        q.append();
        q.fieldByName("name").setAsString(name->text());
        q.fieldByName("tel").setAsString(tel->text());
        q.fieldByName("cmt").setAsString(cmt->text());
        q.post();
        WriteActivityLog(c, entry);
        c.commit();
    } catch (const db::DbError& e) {
        if (q.state() == db::Query::State::Insert)
            q.cancel();
        if (inTransaction)
            c.rollback();
        search();
        reportError(e);
        return;
    }
    search();
    say("ثبت شد");
    name->setFocus();
}

bool Tphone::hasCurrentRow() {
    db::Query& q = dm_.ADOQuery1;
    try {
        return q.isActive() && q.fieldIndex("id") >= 0 && !q.isEmpty() && q.recNo() > 0;
    } catch (const db::DbError&) {
        return false;
    }
}

void Tphone::N1Click() {
    // With no row there is no entry to delete.
    if (!hasCurrentRow())
        return;
    db::Query& q = dm_.ADOQuery1;
    try {
        name->setText(q.fieldByName("name").asString());
        tel->setText(q.fieldByName("tel").asString());
        cmt->setText(q.fieldByName("cmt").asString());
        dm_.adoq_set.setSql("delete from phone where id=" +
                            QString::number(q.fieldByName("id").asInteger()));
        dm_.adoq_set.execSql();
    } catch (const db::DbError& e) {
        reportError(e);
        return;
    }
    say("حذف شد");
    search();
}

void Tphone::N2Click() {
    registers::ExportGridToExcel(dm_.ADOQuery1,
                                 {{"id", QString::fromUtf8("شناسه")},
                                  {"name", QString::fromUtf8("نام")},
                                  {"cmt", QString::fromUtf8("شرح")},
                                  {"tel", QString::fromUtf8("تلفن")}},
                                 services_.opener(), exportFolder_,
                                 registers::ExportName(windowTitle(), services_.clock().now()));
}

void Tphone::DBGrid1TitleClick(int column) {
    db::Query& q = dm_.ADOQuery1;
    if (!q.isActive() || column < 0 || column >= q.fieldCount())
        return;
    try {
        q.setSort(registers::NextSortText(q.sort(), q.fieldDef(column).name));
        DBGrid1->setBoldTitle(column);
    } catch (const db::DbError& e) {
        reportError(e);
    }
}

void Tphone::hideEvent(QHideEvent* event) {
    clearSort(dm_.ADOQuery1);
    QDialog::hideEvent(event);
}

} // namespace gc
