#include "registers/arbab/arbabrojo_pic.h"

#include "core/data_module.h"
#include "core/picture_file.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/arbab_texts.h"
#include "registers/shared/list_grid_model.h"
#include "windows/shell/picture_view.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace gc::registers {

namespace {

using namespace arbab;

void showError(const QString& text) {
    ui::showMessage(ui::MsgIcon::Error, text);
}

} // namespace

Tarbabrojo_pic::Tarbabrojo_pic(RegisterContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context) {
    setObjectName(QStringLiteral("arbabrojo_pic"));
    setWindowTitle(QStringLiteral("تصاوير ارباب رجوع"));
    setLayoutDirection(Qt::RightToLeft);
    nam_ = new QLabel(this);
    nam_->setObjectName(QStringLiteral("nam"));
    cmt_ = new QComboBox(this);
    cmt_->setObjectName(QStringLiteral("cmt"));
    cmt_->setEditable(true);
    cmt_->addItem(kCameraPicture);
    insBtn_ = new QPushButton(QStringLiteral("تصوير"), this);
    insBtn_->setObjectName(QStringLiteral("ins_btn"));
    insBtn_->setAutoDefault(false);
    connect(insBtn_, &QPushButton::clicked, this, [this] { ins_btnClick(); });

    model_ = std::make_unique<ListGridModel>(
        ctx_.dm.ADOQ_arbabrojo_pic, std::vector<GridColumn>{{"id", "", {}, true},
                                                            {"arbabrojo_id", "", {}, true},
                                                            {"cmt", "شرح تصوير", {}, false, 150},
                                                            {"ext", "پسوند", {}, false, 50, true},
                                                            {"pic", "تصوير", {}, true}});
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_.get());
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setCursor(Qt::PointingHandCursor);
    connect(model_.get(), &QAbstractItemModel::modelReset, this, [this] { arrangeColumns(); });
    connect(grid_, &QTableView::clicked, this,
            [this](const QModelIndex& index) { showPicture(index.row()); });
    auto* remove = new QAction(QStringLiteral("حذف"), grid_);
    remove->setObjectName(QStringLiteral("N1"));
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid_->addAction(remove);
    connect(remove, &QAction::triggered, this, [this] { N1Click(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(nam_, 0, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("شرح تصوير"), this), 1, 0);
    layout->addWidget(cmt_, 1, 1);
    layout->addWidget(insBtn_, 1, 2);
    layout->addWidget(grid_, 2, 0, 1, 3);
    resize(420, 320);
}

Tarbabrojo_pic::~Tarbabrojo_pic() {
    grid_->setModel(nullptr);
}

void Tarbabrojo_pic::arrangeColumns() {
    for (int f = 0; f < model_->columnCount(); ++f) {
        const int g = model_->fieldToGrid(f);
        const GridColumn* column = g < 0 ? nullptr : &model_->columns()[std::size_t(g)];
        grid_->setColumnHidden(f, !column || column->hidden);
        if (column && column->width > 0)
            grid_->setColumnWidth(f, column->width);
    }
}

bool Tarbabrojo_pic::load(qint64 visitId, const QString& visitorName) {
    visitId_ = visitId;
    nam_->setText(visitorName);
    cmt_->setEditText({});
    try {
        ctx_.dm.ADOQ_arbabrojo_pic.openSql({picturesSql(visitId)});
    } catch (const db::DbError& e) {
        showError(e.message());
        return false;
    }
    return true;
}

void Tarbabrojo_pic::open(qint64 visitId, const QString& visitorName) {
    if (load(visitId, visitorName))
        exec();
}

void Tarbabrojo_pic::reload() {
    try {
        ctx_.dm.ADOQ_arbabrojo_pic.openSql({picturesSql(visitId_)});
    } catch (const db::DbError& e) {
        showError(e.message());
    }
}

void Tarbabrojo_pic::ins_btnClick() {
    const QString path = ui::dialogs().openFileName(
        QStringLiteral("تصوير"), QStringLiteral("Bitmap Images (*.bmp);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    const QString ext = QLatin1Char('.') + QFileInfo(path).suffix();
    if (!pictures::IsPicture(ext, bytes)) {
        showError(QStringLiteral("فايل %1 تصوير نيست؛ چيزي ثبت نشد").arg(text::isolatedLtr(path)));
        return;
    }
    db::Query& q = ctx_.dm.ADOQ_arbabrojo_pic;
    try {
        if (!q.isActive())
            reload();
        q.append();
        q.fieldByName("arbabrojo_id").setAsInteger(visitId_);
        q.fieldByName("cmt").setAsString(kCameraPicture);
        q.fieldByName("ext").setAsString(ext);
        q.fieldByName("pic").setBytes(bytes);
        q.post();
    } catch (const db::DbError& e) {
        q.cancel();
        showError(e.message());
        return;
    }
    reload();
    ui::showMessage(ui::MsgIcon::None, kSaved);
}

void Tarbabrojo_pic::N1Click() {
    db::Query& q = ctx_.dm.ADOQ_arbabrojo_pic;
    const int row = grid_->currentIndex().row();
    try {
        if (!q.isActive() || row < 0 || row >= q.recordCount())
            return;
        q.setRecNo(row + 1);
        cmt_->setEditText(q.fieldByName("cmt").asString());
        const qint64 id = q.fieldByName("id").asInteger();
        ctx_.dm.ADOQuery1.setSql("delete from arbabrojo_pic where id=" + QString::number(id));
        ctx_.dm.ADOQuery1.execSql();
    } catch (const db::DbError& e) {
        showError(e.message());
        return;
    }
    ui::showMessage(ui::MsgIcon::None, kDeleted);
    reload();
}

void Tarbabrojo_pic::showPicture(int row) {
    db::Query& q = ctx_.dm.ADOQ_arbabrojo_pic;
    QString problem;
    try {
        if (!q.isActive() || row < 0 || row >= q.recordCount())
            return;
        q.setRecNo(row + 1);
        problem = ShowStoredPicture(q.fieldByName("pic").asBytes(), q.fieldByName("ext").asString(),
                                    ctx_.opener);
    } catch (const db::DbError& e) {
        problem = e.message();
    }
    if (!problem.isEmpty())
        showError(problem);
}

} // namespace gc::registers
