#include "registers/asami/asami.h"

#include "core/data_module.h"
#include "core/national_code.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/asami/core/asami_sql.h"
#include "registers/shared/digit_input.h"
#include "registers/shared/input_text.h"
#include "windows/shell/picture_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QGridLayout>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace gc::registers {

namespace {

const QString kSurnameQuestion =
    QStringLiteral("اين نام خانوادگي تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kCardQuestion =
    QStringLiteral("اين شماره كارت تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kPersonGone = QStringLiteral(
    "اين شخص ديگر در بانک اطلاعاتي نيست (شايد از ايستگاه ديگري حذف شده باشد)؛ چيزي ثبت نشد");
const QString kPictureFilter =
    QStringLiteral("تصوير (*.jpg *.jpeg *.png *.bmp *.gif *.tif *.tiff);;همه فايل ها (*)");

// The columns the entry fields edit, in the order of the fields.
const QStringList kEditColumns = {"surname",    "name",   "card_no",    "uniq_code",
                                  "khodro_num", "mobile", "vahed_tabe", "nation"};
const QStringList kEditFields = {"surname1",    "name",    "card_no1",   "uniq_code",
                                 "khodro_num1", "mobile1", "vahed_tabe", "nation"};

void showError(const QString& text) {
    ui::showMessage(ui::MsgIcon::Error, text);
}

} // namespace

RegisterList::Declaration Tasami::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("asami");
    d.caption = QStringLiteral("اسامي پرسنل");
    d.query = &context.dm.ADOQ_asami;
    d.search = asami::directorySearch();
    d.columns = {
        {"id", "", {}, true},      {"surname", "فاميل"},           {"name", "نام"},
        {"card_no", "شماره كارت"}, {"uniq_code", "كد پرسنلي"},     {"khodro_num", "شماره خودرو"},
        {"mobile", "موبايل"},      {"vahed_tabe", "واحد سازماني"}, {"nation", "کد ملي"}};
    d.captions = {
        {"id", "شناسه"},           {"surname", "نام خانوادگي"},    {"name", "نام"},
        {"card_no", "شماره کارت"}, {"uniq_code", "کد پرسنلي"},     {"khodro_num", "شماره خودرو"},
        {"mobile", "موبايل"},      {"vahed_tabe", "واحد سازماني"}, {"nation", "کد ملي"}};
    d.deletePassword = false;
    d.searchButton = QStringLiteral("BitBtn2");
    return d;
}

Tasami::Tasami(RegisterContext& context, QWidget* parent)
    : RegisterList(declare(context), context, parent), enterChain_(this) {
    buildFilters();
    buildEditFields();
    buildPopup();
    connect(searchButton(), &QPushButton::clicked, this, [this] { edit_btn->setEnabled(false); });
    connect(grid()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tasami::DBGrid1CellClick);
    connect(grid(), &QTableView::clicked, this, &Tasami::DBGrid1CellClick);
    resize(760, 560);
}

void Tasami::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"فاميل", "شماره كارت", "شماره خودرو", "موبايل", "کد پرسنلي"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    surname = editableDropDown(QStringLiteral("surname"), area);
    card_no = editableDropDown(QStringLiteral("card_no"), area);
    khodro_num = editableDropDown(QStringLiteral("khodro_num"), area);
    mobile = editableDropDown(QStringLiteral("mobile"), area);
    uniq_code2 = namedLineEdit(QStringLiteral("uniq_code2"), area);
    const QList<QWidget*> inputs = {surname, card_no, khodro_num, mobile, uniq_code2};
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < inputs.size(); ++i) {
        bindFilter(i, {boxes_[i], {inputs[i]}, false, true});
        enterChain_.onEnter(inputs[i], [this] { searchAgain(); });
        layout->addWidget(boxes_[i], i / 3, (i % 3) * 2);
        layout->addWidget(inputs[i], i / 3, (i % 3) * 2 + 1);
    }
    layout->setColumnStretch(layout->columnCount(), 1);
}

void Tasami::buildEditFields() {
    auto* form = new QGridLayout;
    const QStringList captions = {"فاميل",       "نام",    "شماره كارت",   "كد پرسنلي",
                                  "شماره خودرو", "موبايل", "واحد سازماني", "کد ملي"};
    QList<QLineEdit*> fields;
    for (int i = 0; i < kEditFields.size(); ++i) {
        QLineEdit* edit = namedLineEdit(kEditFields[i], this);
        fields << edit;
        form->addWidget(new QLabel(captions[i], this), i / 4, (i % 4) * 2);
        form->addWidget(edit, i / 4, (i % 4) * 2 + 1);
    }
    surname1 = fields[0];
    name = fields[1];
    card_no1 = fields[2];
    uniq_code = fields[3];
    khodro_num1 = fields[4];
    mobile1 = fields[5];
    vahed_tabe = fields[6];
    nation = fields[7];
    makeDigitsOnly(nation);
    nation->setMaxLength(10);
    nation->installEventFilter(this);
    enterChain_.chain({surname1, name, card_no1, uniq_code, khodro_num1, mobile1});

    ins_btn = new QPushButton(QStringLiteral("ثبت"), this);
    ins_btn->setObjectName(QStringLiteral("ins_btn"));
    edit_btn = new QPushButton(QStringLiteral("ويرايش"), this);
    edit_btn->setObjectName(QStringLiteral("edit_btn"));
    for (QPushButton* b : {ins_btn, edit_btn}) {
        b->setAutoDefault(false);
        form->addWidget(b, 2, b == ins_btn ? 0 : 1);
    }
    connect(ins_btn, &QPushButton::clicked, this, &Tasami::ins_btnClick);
    connect(edit_btn, &QPushButton::clicked, this, &Tasami::edit_btnClick);
    edit_btn->setEnabled(false);
    windowLayout()->addLayout(form);

    Image1 = new ui::ClickableLabel(QString(), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setFixedSize(150, 190);
    Image1->setFrameShape(QFrame::Box);
    Image1->setCursor(Qt::PointingHandCursor);
    connect(Image1, &ui::ClickableLabel::clicked, this, &Tasami::Image1Click);
    addBesideGrid(Image1);
}

void Tasami::buildPopup() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const QList<QPair<QString, void (Tasami::*)()>> entries = {
        {"ويرايش", &Tasami::EditClick},
        {"حذف اطلاعات", &Tasami::DeleteClick},
        {"ثبت تصوير پرسنلي", &Tasami::ImportClick},
        {"مشاهده تصوير", &Tasami::ViewClick},
        {"حذف تصوير پرسنلي", &Tasami::DeletePicturesClick},
        {"اکسل", nullptr},
        {"ذخيره تمام تصاوير-Access", &Tasami::SaveAllClick},
        {"ذخيره تمام تصاوير-Sql", &Tasami::SaveAllClick}};
    for (const auto& [text, handler] : entries) {
        QAction* a = PopupMenu1->addAction(text);
        a->setObjectName(QStringLiteral("N%1").arg(popup_.size() + 1));
        if (handler)
            connect(a, &QAction::triggered, this, handler);
        else
            connect(a, &QAction::triggered, this, [this] { exportToExcel(); });
        popup_ << a;
    }
    grid()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(grid()->viewport()->mapToGlobal(p)); });
}

QCheckBox* Tasami::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

QAction* Tasami::popup(int index) const {
    return popup_.value(index);
}

QList<QLineEdit*> Tasami::editFields() const {
    return {surname1, name, card_no1, uniq_code, khodro_num1, mobile1, vahed_tabe, nation};
}

void Tasami::prepare() {
    searchAgain();
    for (QComboBox* box : {surname, card_no, khodro_num, mobile})
        setInputText(box, {});
    uniq_code2->clear();
    for (QLineEdit* e : editFields())
        e->clear();
    editId_.reset();
}

void Tasami::searchAgain() {
    search();
    edit_btn->setEnabled(false);
}

void Tasami::showEvent(QShowEvent* event) {
    const QList<QPair<QComboBox*, QString>> lists = {{card_no, QStringLiteral("card_no")},
                                                     {surname, QStringLiteral("surname")},
                                                     {khodro_num, QStringLiteral("khodro_num")},
                                                     {mobile, QStringLiteral("mobile")}};
    try {
        db::Query& q = context().dm.ADOQuery1;
        for (const auto& [box, column] : lists) {
            q.close();
            q.openSql({asami::distinctSql(column)});
            QStringList values;
            for (q.first(); !q.eof(); q.next())
                values << q.fieldByName(column).asString();
            fillFromPreset(box, values);
        }
    } catch (const db::DbError& e) {
        showError(e.message());
    }
    RegisterList::showEvent(event);
}

bool Tasami::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the field for another input, not for a message box or a menu.
    if (watched == nation && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            nationExit();
    }
    return RegisterList::eventFilter(watched, event);
}

void Tasami::nationExit() {
    switch (checkNationalCode(nation->text())) {
    case NationalCodeVerdict::WrongLength:
        ui::showMessage(ui::MsgIcon::Warning, kNationalCodeLengthMessage);
        nation->setFocus();
        break;
    case NationalCodeVerdict::Invalid:
        ui::showMessage(ui::MsgIcon::Warning, kNationalCodeInvalidMessage);
        break;
    case NationalCodeVerdict::Empty:
    case NationalCodeVerdict::Valid:
        break;
    }
}

std::optional<qint64> Tasami::currentId() {
    db::Query& q = query();
    if (!q.isActive() || q.state() != db::Query::State::Browse || q.recNo() == 0)
        return std::nullopt;
    return q.fieldByName(QStringLiteral("id")).asInteger();
}

void Tasami::copyCurrentRow() {
    const QList<QLineEdit*> fields = editFields();
    query().markCurrentSeen();
    held_.clear();
    for (int i = 0; i < fields.size(); ++i) {
        held_ << query().fieldByName(kEditColumns[i]).asString();
        fields[i]->setText(held_.back());
    }
    rememberFields();
}

void Tasami::rememberFields() {
    loaded_.clear();
    for (const QLineEdit* field : editFields())
        loaded_ << field->text();
}

void Tasami::assignColumns(db::Query& q) {
    const QList<QLineEdit*> fields = editFields();
    for (int i = 0; i < fields.size(); ++i)
        q.fieldByName(kEditColumns[i]).setAsString(fields[i]->text());
}

bool Tasami::askDuplicate(const QString& sql, const QString& question) {
    db::Query& q = query();
    q.close();
    q.openSql({sql});
    return q.isEmpty() || ui::showMessage(ui::MsgIcon::Warning, question,
                                          ui::Yes | ui::No | ui::Cancel) == ui::Yes;
}

void Tasami::ins_btnClick() {
    db::Query& q = query();
    try {
        const bool surnameAccepted =
            askDuplicate(asami::sameSurnameSql(surname1->text()), kSurnameQuestion);
        // The card's namesakes are shown in the grid even when the surname was declined.
        if (!surnameAccepted) {
            q.close();
            q.openSql({asami::sameCardSql(card_no1->text())});
            return;
        }
        if (!askDuplicate(asami::sameCardSql(card_no1->text()), kCardQuestion))
            return;
        q.append();
        assignColumns(q);
        q.post();
    } catch (const db::DbError& e) {
        q.cancel();
        showError(e.message());
        return;
    }
    showQueryRow();
    ui::showMessage(ui::MsgIcon::Information, asami::kSaved);
}

void Tasami::EditClick() {
    try {
        editId_ = currentId();
        if (!editId_)
            return;
        copyCurrentRow();
    } catch (const db::DbError& e) {
        showError(e.message());
        return;
    }
    edit_btn->setEnabled(true);
    ins_btn->setEnabled(false);
}

// Writes only the fields the guard changed, and none when the person's row no longer
// holds what one of them was loaded or last saved with: another workstation saved it
// meanwhile.
void Tasami::writeEdited(db::Query& q) {
    q.edit();
    const QList<QLineEdit*> fields = editFields();
    QList<int> written;
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i]->text() == loaded_.value(i))
            continue;
        db::Field column = q.fieldByName(kEditColumns[i]);
        if (column.asString() != held_.value(i))
            throw db::DbError(db::changedMeanwhileMessage(kEditColumns[i]));
        column.setAsString(fields[i]->text());
        written << i;
    }
    q.post();
    for (const int i : written)
        held_[i] = q.fieldByName(kEditColumns[i]).asString();
    rememberFields();
}

void Tasami::edit_btnClick() {
    if (!editId_)
        return;
    db::Query& list = query();
    db::Query& scratch = context().dm.ADOQuery1;
    db::Query* target = &list;
    try {
        if (currentId() != editId_ &&
            !(list.isActive() && list.locate(QStringLiteral("id"), *editId_))) {
            // No longer among the rows shown: found again by id.
            target = &scratch;
            scratch.close();
            scratch.openSql({asami::personSql(*editId_)});
            if (scratch.isEmpty()) {
                showError(kPersonGone);
                return;
            }
        }
        writeEdited(*target);
    } catch (const db::DbError& e) {
        target->cancel();
        showError(e.message());
        return;
    }
    showQueryRow();
}

void Tasami::DeleteClick() {
    try {
        if (!currentId())
            return;
        copyCurrentRow();
        asami::DeletePersonWithPictures(query(), context().dm.ADOQuery1);
    } catch (const db::DbError& e) {
        showError(e.message());
        searchAgain();
        return;
    }
    showQueryRow();
    showPicture();
    ui::showMessage(ui::MsgIcon::Information, QStringLiteral("حذف شد"));
}

void Tasami::ImportClick() {
    std::optional<qint64> id;
    try {
        id = currentId();
    } catch (const db::DbError& e) {
        showError(e.message());
        return;
    }
    if (!id)
        return;
    const QString path =
        ui::dialogs().openFileName(QStringLiteral("ثبت تصوير پرسنلي"), kPictureFilter);
    if (path.isEmpty())
        return;
    const asami::ImportOutcome outcome =
        asami::ImportPicture(context().dm.ADOQ_per_pic, *id, path, removeSource_);
    const ui::MsgIcon icon =
        outcome.status == asami::ImportStatus::Stored             ? ui::MsgIcon::Information
        : outcome.status == asami::ImportStatus::StoredNotRemoved ? ui::MsgIcon::Warning
                                                                  : ui::MsgIcon::Error;
    ui::showMessage(icon, outcome.message);
    showPicture();
}

void Tasami::ViewClick() {
    showPicture();
    if (picture_.isEmpty())
        return;
    const QString problem = ShowStoredPicture(picture_, pictureExt_, context().opener);
    if (!problem.isEmpty())
        showError(problem);
}

void Tasami::DeletePicturesClick() {
    try {
        const auto id = currentId();
        if (!id)
            return;
        db::Query& q = context().dm.ADOQuery1;
        q.close();
        q.sql().clear();
        q.sql().add(asami::deletePicturesSql(*id));
        q.execSql();
    } catch (const db::DbError& e) {
        showError(e.message());
        return;
    }
    showPicture();
    ui::showMessage(ui::MsgIcon::Information, QStringLiteral("تصوير پرسنلي حذف شد"));
}

void Tasami::SaveAllClick() {
    const QString prefix = ui::dialogs().proposeSaveFileName(QStringLiteral("ذخيره تمام تصاوير"),
                                                             QString(), QStringLiteral("Personel"));
    if (prefix.isEmpty())
        return;
    try {
        const asami::SaveAllOutcome outcome =
            asami::SaveAllPictures(context().dm.ADOConnection1, filterInputs(), prefix);
        ui::showMessage(outcome.failed > 0 ? ui::MsgIcon::Warning : ui::MsgIcon::Information,
                        asami::SaveAllMessage(outcome));
    } catch (const db::DbError& e) {
        showError(e.message());
    }
}

void Tasami::Image1Click() {
    if (picture_.isEmpty())
        return;
    QString path = ui::dialogs().proposeSaveFileName(QStringLiteral("ذخيره تصوير"), QString(),
                                                     asami::CleanNamePart(pictureOwner_));
    if (path.isEmpty())
        return;
    if (!path.endsWith(pictureExt_, Qt::CaseInsensitive))
        path += pictureExt_;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(picture_) != picture_.size() || !file.flush())
        showError(QStringLiteral("فايل %1 نوشته نشد: %2")
                      .arg(text::isolatedLtr(path), file.errorString()));
}

void Tasami::DBGrid1CellClick() {
    showPicture();
}

void Tasami::showPicture() {
    Image1->clear();
    picture_.clear();
    pictureExt_.clear();
    pictureOwner_.clear();
    // A person without a picture, or with one the screen cannot draw, shows none.
    try {
        const auto id = currentId();
        if (!id)
            return;
        db::Query& q = context().dm.ADOQ_per_pic;
        q.close();
        q.openSql({asami::picturesSql(*id)});
        if (q.isEmpty())
            return;
        picture_ = q.fieldByName(QStringLiteral("pic")).asBytes();
        pictureExt_ = q.fieldByName(QStringLiteral("ext")).asString();
        pictureOwner_ = query().fieldByName(QStringLiteral("surname")).asString();
        QImage image;
        if (image.loadFromData(picture_))
            Image1->setPixmap(QPixmap::fromImage(image));
    } catch (const db::DbError&) {
        picture_.clear();
    }
}

} // namespace gc::registers
