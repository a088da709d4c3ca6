#include "windows/shell/setting_window.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/sql_text.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace gc {

using db::quoted;
using ui::MsgIcon;

namespace {

void say(const char* text) {
    ui::dialogs().message(MsgIcon::None, QString::fromUtf8(text), ui::Ok);
}

void reportError(const db::DbError& e) {
    ui::dialogs().message(MsgIcon::Error, e.message(), ui::Ok);
}

} // namespace

Tsetting::Tsetting(Tdm& dm, QWidget* parent) : QDialog(parent), dm_(dm) {
    setObjectName("setting");
    setWindowTitle(QString::fromUtf8("تنظيمات"));
    setLayoutDirection(Qt::RightToLeft);

    component = new QComboBox(this);
    component->setObjectName("component");
    component->addItems(presets::listNames());
    component->setCurrentIndex(-1);
    cmt = new QLineEdit(this);
    cmt->setObjectName("cmt");
    ins_btn = new QPushButton(QString::fromUtf8("ثبت"), this);
    ins_btn->setObjectName("ins_btn");
    DBGrid1 = new ui::QueryGrid(dm_.adoq_set,
                                {{"component", QString::fromUtf8("عنوان")},
                                 {"cmt", QString::fromUtf8("شرح")},
                                 {"def", QString::fromUtf8("پيش فرض")}},
                                this);
    DBGrid1->setObjectName("DBGrid1");
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QString::fromUtf8("حذف"));
    N1->setObjectName("N1");
    N2 = PopupMenu1->addAction(QString::fromUtf8("پيش فرض"));
    N2->setObjectName("N2");
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });
    Label1 = new QLabel(QString::fromUtf8("*در صورتيكه مي خواهيد يك آيتم بصورت پيش فرض باشد بر روي "
                                          "آن كليك راست نماييد"),
                        this);
    Label1->setObjectName("Label1");

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("انتخاب عنوان"), component);
    form->addRow(QString::fromUtf8("ثبت توضيح جديد براي عنوان انتخاب شده"), cmt);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ins_btn, 0, Qt::AlignLeft);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Label1);

    connect(component, &QComboBox::activated, this, &Tsetting::componentChange);
    connect(ins_btn, &QPushButton::clicked, this, &Tsetting::ins_btnClick);
    connect(N1, &QAction::triggered, this, &Tsetting::N1Click);
    connect(N2, &QAction::triggered, this, &Tsetting::N2Click);
}

void Tsetting::prepare() {
    dm_.adoq_set.sql().clear();
    dm_.adoq_set.sql().add("select * from setting order by component ");
    dm_.adoq_set.open();
}

void Tsetting::componentChange() {
    try {
        dm_.adoq_set.sql().clear();
        dm_.adoq_set.sql().add("select * from setting  where component like " +
                               db::containsPattern(component->currentText()) + " order by cmt ");
        dm_.adoq_set.open();
    } catch (const db::DbError& e) {
        reportError(e);
    }
}

void Tsetting::ins_btnClick() {
    // A value under no list would be offered by no window.
    if (cmt->text().isEmpty() || component->currentText().isEmpty()) {
        say("لطفا مقدار مناسب را وارد نماييد");
        return;
    }
    const QString name = component->currentText();
    try {
        db::Query& q = dm_.ADOQuery1;
        q.sql().clear();
        q.sql().add("select * from setting where component=" + quoted(name) +
                    " and cmt=" + quoted(cmt->text()));
        q.open();
        if (!q.eof()) {
            say("تكراري است");
            return;
        }
        q.append();
        q.fieldByName("component").setAsString(name);
        q.fieldByName("cmt").setAsString(cmt->text());
        q.fieldByName("def").setAsString("");
        q.post();
    } catch (const db::DbError& e) {
        dm_.ADOQuery1.cancel();
        reportError(e);
        return;
    }
    say("ثبت شد");
    componentChange();
}

bool Tsetting::hasCurrentRow() {
    return dm_.adoq_set.isActive() && !dm_.adoq_set.eof();
}

void Tsetting::takeCurrentRow() {
    const QString name = dm_.adoq_set.fieldByName("component").asString();
    const int index = component->findText(name);
    component->setCurrentIndex(index);
    cmt->setText(dm_.adoq_set.fieldByName("cmt").asString());
}

void Tsetting::showList(const QString& name) {
    dm_.adoq_set.sql().clear();
    dm_.adoq_set.sql().add("select * from setting where component=" + quoted(name) +
                           "order by component ");
    dm_.adoq_set.open();
}

void Tsetting::N1Click() {
    if (!hasCurrentRow())
        return;
    try {
        takeCurrentRow();
        const QString name = dm_.adoq_set.fieldByName("component").asString();
        dm_.ADOQuery1.sql().clear();
        dm_.ADOQuery1.sql().add("delete from setting where id=" +
                                dm_.adoq_set.fieldByName("id").asString());
        dm_.ADOQuery1.execSql();
        showList(name);
    } catch (const db::DbError& e) {
        reportError(e);
    }
}

void Tsetting::N2Click() {
    if (!hasCurrentRow())
        return;
    takeCurrentRow();
    const QString name = dm_.adoq_set.fieldByName("component").asString();
    const QString value = dm_.adoq_set.fieldByName("cmt").asString();
    db::Connection& c = dm_.ADOConnection1;
    try {
        // Both updates or neither: a list never ends up without its default.
        c.beginTransaction();
        dm_.adoq_set.sql().clear();
        dm_.adoq_set.sql().add("Update setting set def=" + quoted("") +
                               " where component=" + quoted(name));
        dm_.adoq_set.execSql();
        dm_.adoq_set.sql().clear();
        dm_.adoq_set.sql().add("Update setting set def=1 where component=" + quoted(name) +
                               " and cmt=" + quoted(value));
        dm_.adoq_set.execSql();
        c.commit();
    } catch (const db::DbError& e) {
        c.rollback();
        reportError(e);
    }
    try {
        showList(name);
    } catch (const db::DbError& e) {
        reportError(e);
    }
}

} // namespace gc
