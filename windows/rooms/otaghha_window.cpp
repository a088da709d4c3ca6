#include "windows/rooms/otaghha_window.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "core/rooms.h"
#include "platform/db/db_error.h"
#include "platform/db/query_model.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"
#include "registers/shared/core/sort_text.h"
#include "windows/shell/picture_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace gc {

using ui::MsgIcon;

namespace {

void say(const char* text) {
    ui::dialogs().message(MsgIcon::None, QString::fromUtf8(text), ui::Ok);
}

void reportError(const QString& text) {
    ui::dialogs().message(MsgIcon::Error, text, ui::Ok);
}

QComboBox* typedBox(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setEditText(QString());
    return box;
}

} // namespace

Totaghha::Totaghha(Tdm& dm, xlsx::FileOpener& viewer, QWidget* parent)
    : QDialog(parent), dm_(dm), viewer_(viewer) {
    setObjectName("otaghha");
    setWindowTitle(QString::fromUtf8("اتاق ها"));
    setLayoutDirection(Qt::RightToLeft);

    maghsad = typedBox(this, "maghsad", {});
    tabaghe = typedBox(this, "tabaghe",
                       {QString::fromUtf8("منهاي يك"), QString::fromUtf8("همكف"),
                        QString::fromUtf8("اول"), QString::fromUtf8("دوم"),
                        QString::fromUtf8("سوم"), QString::fromUtf8("انتهاي حياط")});
    QStringList numbers;
    for (int n = 1; n <= 10; ++n)
        numbers << QString::number(n);
    otagh = typedBox(this, "otagh", numbers);
    ins_btn = new QPushButton(QString::fromUtf8("ثبت"), this);
    ins_btn->setObjectName("ins_btn");
    DBGrid1 = new ui::QueryGrid(dm_.ADOQ_otagh,
                                {{"title", QString::fromUtf8("مقصد")},
                                 {"tabaghe", QString::fromUtf8("طبقه")},
                                 {"otagh", QString::fromUtf8("شماره اتاق")},
                                 {"ext", QString::fromUtf8("کروکي")}},
                                this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setLayoutDirection(Qt::RightToLeft);
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QString::fromUtf8("حذف"));
    N1->setObjectName("N1");
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("مقصد"), maghsad);
    form->addRow(QString::fromUtf8("طبقه"), tabaghe);
    form->addRow(QString::fromUtf8("شماره اتاق"), otagh);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ins_btn, 0, Qt::AlignLeft);
    layout->addWidget(DBGrid1, 1);

    connect(ins_btn, &QPushButton::clicked, this, &Totaghha::ins_btnClick);
    connect(N1, &QAction::triggered, this, &Totaghha::N1Click);
    connect(DBGrid1, &ui::QueryGrid::cellClicked, this, &Totaghha::DBGrid1CellClick);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Totaghha::DBGrid1TitleClick);
    connect(&DBGrid1->model(), &QAbstractItemModel::modelReset, this, &Totaghha::sizeColumns);
}

void Totaghha::prepare() {
    db::Query& q = dm_.ADOQ_otagh;
    // Each opening shows the rooms in their own order again.
    q.close();
    q.setSort({});
    q.sql().clear();
    q.sql().add("Select * from otaghha");
    q.open();
    maghsad->setEditText(QString());
    tabaghe->setEditText(QString());
    otagh->setEditText(QString());
}

void Totaghha::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Totaghha::FormShow() {
    try {
        QStringList titles = presets::values(dm_.ADOQuery1, presets::kVisitorDestination);
        titles.sort();
        const QSignalBlocker block(maghsad);
        const QString text = maghsad->currentText();
        maghsad->clear();
        maghsad->addItems(titles);
        maghsad->setEditText(text);
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

void Totaghha::sizeColumns() {
    const std::pair<const char*, int> widths[] = {
        {"title", 180}, {"tabaghe", 80}, {"otagh", 60}, {"ext", 50}};
    for (const auto& [field, width] : widths) {
        const int column = dm_.ADOQ_otagh.fieldIndex(field);
        if (column >= 0)
            DBGrid1->setColumnWidth(column, width);
    }
}

bool Totaghha::hasCurrentRow() {
    db::Query& q = dm_.ADOQ_otagh;
    return q.isActive() && q.state() == db::Query::State::Browse && !q.isEmpty() && q.recNo() > 0;
}

void Totaghha::reopenList() {
    try {
        dm_.ADOQ_otagh.close();
        dm_.ADOQ_otagh.open();
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

void Totaghha::ins_btnClick() {
    const QString title = maghsad->currentText();
    std::optional<rooms::Sketch> sketch;
    try {
        if (rooms::TitleExists(dm_.ADOQuery1, title)) {
            say("خطا! مقصد تكراريست");
            return;
        }
    } catch (const db::DbError& e) {
        reportError(e.message());
        return;
    }
    const QString path = ui::dialogs().openFileName(
        QString(), QStringLiteral("Bitmap Images (*.bmp);;All Files (*)"));
    if (!path.isEmpty()) {
        QString error;
        sketch = rooms::ReadSketch(path, &error);
        if (!sketch) {
            reportError(error);
            return;
        }
    }
    db::Query& q = dm_.ADOQ_otagh;
    try {
        if (!q.isActive())
            q.open();
        q.append();
        q.fieldByName("title").setAsString(title);
        q.fieldByName("tabaghe").setAsString(tabaghe->currentText());
        q.fieldByName("otagh").setAsString(otagh->currentText());
        q.fieldByName("ext").setAsString(sketch ? sketch->ext : QString());
        if (sketch)
            q.fieldByName("koroki").setBytes(sketch->bytes);
        q.post();
    } catch (const db::DbError& e) {
        if (q.isActive())
            q.cancel();
        reportError(e.message());
        return;
    }
    say("ثبت شد");
    reopenList();
}

void Totaghha::N1Click() {
    if (!hasCurrentRow())
        return;
    db::Query& q = dm_.ADOQ_otagh;
    try {
        maghsad->setEditText(q.fieldByName("title").asString());
        tabaghe->setEditText(q.fieldByName("tabaghe").asString());
        otagh->setEditText(q.fieldByName("otagh").asString());
        rooms::Delete(dm_.ADOQuery1, q.fieldByName("ID").asInteger());
    } catch (const db::DbError& e) {
        reportError(e.message());
        return;
    }
    say("حذف شد");
    reopenList();
}

void Totaghha::DBGrid1CellClick() {
    if (!hasCurrentRow())
        return;
    QByteArray bytes;
    QString ext;
    try {
        bytes = dm_.ADOQ_otagh.fieldByName("koroki").asBytes();
        ext = dm_.ADOQ_otagh.fieldByName("ext").asString();
    } catch (const db::DbError& e) {
        reportError(e.message());
        return;
    }
    // A room without a sketch has nothing to show.
    if (bytes.isEmpty() && ext.isEmpty())
        return;
    const QString problem = ShowStoredPicture(bytes, ext, viewer_);
    if (!problem.isEmpty())
        reportError(problem);
}

void Totaghha::DBGrid1TitleClick(int column) {
    db::Query& q = dm_.ADOQ_otagh;
    if (!q.isActive() || column < 0 || column >= q.fieldCount())
        return;
    try {
        q.setSort(registers::NextSortText(q.sort(), q.fieldDef(column).name));
        DBGrid1->setBoldTitle(column);
    } catch (const db::DbError& e) {
        reportError(e.message());
    }
}

} // namespace gc
