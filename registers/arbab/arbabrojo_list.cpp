#include "registers/arbab/arbabrojo_list.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/arbab/arbabrojo_pic.h"
#include "registers/arbab/arbabrojo_select.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/arbab_texts.h"
#include "registers/arbab/core/visit_pictures.h"
#include "registers/shared/core/current_time.h"
#include "registers/shared/digit_input.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"
#include "registers/shared/picture_box.h"
#include "registers/shared/stamp_check.h"
#include "windows/shell/picture_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QTableView>

namespace gc::registers {

namespace {

using namespace arbab;

void say(const QString& text) {
    ui::showMessage(ui::MsgIcon::None, text);
}

void showError(const QString& text) {
    ui::showMessage(ui::MsgIcon::Error, text);
}

} // namespace

RegisterList::Declaration Tarbabrojo_list::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("arbabrojo_list");
    d.caption = QStringLiteral("ليست ارباب رجوع");
    d.query = &context.dm.ADOQ_arbabrojo;
    d.search = listSearch();
    d.columns = {{"id", "", {}, true},
                 {"name", "نام", {}, false, 100},
                 {"maghsad", "مقصد", {}, false, 110},
                 {"cart_no", "شماره ملي/كارت", {}, false, 90},
                 {"madrak", "مدرك", {}, false, 100},
                 {"dat", "تاريخ", QColor(135, 206, 235), false, 100},
                 {"vorod", "ورود", {}, false, 50},
                 {"khoroj", "خروج", {}, false, 50},
                 {"gender", "جنسيت", {}, false, 50},
                 {"cmt", "توضيحات", {}, false, 100},
                 {"negahban", "نگهبان", {}, false, 100},
                 {"barcod", "باركد", {}, false, 100},
                 {"tabaghe", "طبقه", {}, false, 100},
                 {"otagh", "شماره اتاق", {}, false, 100},
                 {"nazar", "نظرسنجي", {}, false, 80}};
    d.captions = {{"cart_no", "شماره كارت"},
                  {"nam", "نام"},
                  {"exit_tim", "ساعت خروج"},
                  {"exit_dat", "تاريخ"},
                  {"vorod_tim", "ساعت ورود"},
                  {"semat", "سمت"},
                  {"elat", "علت"},
                  {"negahban1", "نگهبان خروج"},
                  {"negahban2", "نگهبان ورود"},
                  {"cmt", "توضيحات"}};
    d.zoomColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    using C = Command;
    d.menu = {{"N1", "ثبت", C::New},
              {"N2", "ويرايش", C::Edit},
              {"N3", "حذف", C::Delete},
              {"N18", "تصوير", C::Own},
              {"N7", "چاپ برگه ملاقات", C::Own},
              {"N9", "+", C::ZoomIn},
              {"N10", "_", C::ZoomOut},
              {"N12", "چاپ", C::Submenu},
              {"N6", "چاپ ليست", C::Own, "N12"},
              {"N4", "اكسل ليست", C::Export, "N12"},
              {"N8", "چاپ برگه ملاقات اداري-بدون نام و کروکي", C::Own, "N12"},
              {"N11", "رسيد برگه ملاقات", C::Own, "N12"},
              {"N15", "گزارشات", C::Submenu},
              {"N16", "تعداد مراجعات به تفکيک مقصد", C::Own, "N15"},
              {"N17", "تعداد مراجعات به تفکيک نام", C::Own, "N15"},
              {"N20", "ذخيره تصاوير دوربين بين دو تاريخ", C::Own, "N15"},
              {"N13", "کروکي", C::Submenu},
              {"N14", "شعبه مرکزي", C::Own, "N13", QKeySequence(Qt::Key_F1)},
              {"N5", "خروج", C::Close}};
    return d;
}

Tarbabrojo_list::Tarbabrojo_list(RegisterContext& context, Tarbabrojo& entry, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    setEntry(&entry);
    entry.setPrintHooks(&hooks_);
    picker_ = new Tarbabrojo_select(this);
    buildFilters();
    connectMenu();
    picture_ = new PictureBox(QStringLiteral("DBImage1"), 153, this);
    addBesideGrid(picture_);
    connect(picture_, &PictureBox::clicked, this, [this] { DBImage1Click(); });
    connect(grid(), &QTableView::clicked, this, [this] { showFirstPicture(); });
    connect(addGridPopupItem(QStringLiteral("N19"), QStringLiteral("تصوير")), &QAction::triggered,
            this, [this] { N19Click(); });
}

void Tarbabrojo_list::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"شماره كارت", "نام",       "تاريخ", "مقصد",
                                  "نظرسنجي",    "زمان خروج", "باركد"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    cardNo_ = namedLineEdit(QStringLiteral("cart_no"), area);
    name_ = namedLineEdit(QStringLiteral("name"), area);
    maghsad_ = editableDropDown(QStringLiteral("maghsad"), area);
    khoroj_ = new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("khoroj"), area);
    dat1_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat1"), area);
    dat2_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat2"), area);
    gender_ = new ui::RadioGroup(QStringLiteral("جنسيت"), {kMale, kFemale, kBoth}, area);
    gender_->setObjectName(QStringLiteral("gender"));
    gender_->setItemIndex(2);
    barcode_ = namedLineEdit(QStringLiteral("barcod"), area);
    barcode_->setLayoutDirection(Qt::LeftToRight);
    makeDigitsOnly(barcode_);
    nazar_ = editableDropDown(QStringLiteral("nazar"), area);
    nazar_->addItems({"عالي", "خوب", "متوسط", "ضعيف"});
    nazar_->setEditText({});
    auto* clearDates = new ui::ClickableLabel(QStringLiteral("- - -"), area);
    clearDates->setObjectName(QStringLiteral("Label1"));

    // In the order of the search's filter lines.
    bindFilter(Card, {boxes_[0], {cardNo_}, true, true});
    bindFilter(Name, {boxes_[1], {name_}, true, true});
    bindFilter(Destination, {boxes_[3], {maghsad_}, true, true});
    bindFilter(ExitTime, {boxes_[5], {khoroj_}});
    bindFilter(Dates, {boxes_[2], {dat1_, dat2_}, true});
    bindFilter(Gender, {nullptr, {gender_}, false, false, gender_});
    bindFilter(Barcode, {boxes_[6], {barcode_}, true, true});
    bindFilter(Survey, {boxes_[4], {nazar_}, true, true});
    bindClearLabel(clearDates, {dat1_, dat2_});
    addPresetFill(maghsad_, presets::kVisitorDestination);
    connect(barcode_, &QLineEdit::returnPressed, this, [this] { barcodEnter(); });

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    const QList<QPair<QWidget*, QWidget*>> row0 = {
        {boxes_[0], cardNo_}, {boxes_[1], name_}, {boxes_[3], maghsad_}, {boxes_[4], nazar_}};
    for (int i = 0; i < row0.size(); ++i) {
        layout->addWidget(row0[i].first, 0, 2 * i);
        layout->addWidget(row0[i].second, 0, 2 * i + 1);
    }
    layout->addWidget(boxes_[2], 1, 0);
    layout->addWidget(dat1_, 1, 1);
    layout->addWidget(dat2_, 1, 2);
    layout->addWidget(clearDates, 1, 3);
    layout->addWidget(boxes_[5], 1, 4);
    layout->addWidget(khoroj_, 1, 5);
    layout->addWidget(boxes_[6], 1, 6);
    layout->addWidget(barcode_, 1, 7);
    layout->addWidget(gender_, 0, 8, 2, 1);
    layout->setColumnStretch(layout->columnCount(), 1);
}

void Tarbabrojo_list::connectMenu() {
    const auto on = [this](const char* name, auto handler) {
        connect(menuItem(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("N18", [this] { N18Click(); });
    on("N7", [this] { N7Click(); });
    on("N6", [this] { N6Click(); });
    on("N8", [this] { N8Click(); });
    on("N11", [this] { N11Click(); });
    on("N16", [this] { countsClick(false); });
    on("N17", [this] { countsClick(true); });
    on("N14", [this] { N14Click(); });
    on("N20", [this] { N20Click(); });
}

QCheckBox* Tarbabrojo_list::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tarbabrojo_list::prepare() {
    context().date.PersianToday();
    const QString today = context().date.todayText();
    dat1_->setText(today);
    dat2_->setText(today);
    boxes_[2]->setChecked(true);
    search();
    for (QLineEdit* e : {cardNo_, name_, barcode_})
        e->clear();
    setInputText(nazar_, {});
}

std::optional<qint64> Tarbabrojo_list::currentVisit() {
    db::Query& q = query();
    try {
        if (q.isActive() && q.recNo() > 0)
            return q.fieldByName(QStringLiteral("id")).asInteger();
    } catch (const db::DbError& e) {
        showError(e.message());
        return std::nullopt;
    }
    say(kNoVisitSelected);
    return std::nullopt;
}

QString Tarbabrojo_list::currentText(const QString& field) {
    return query().fieldByName(field).asString();
}

template <class Hook> bool Tarbabrojo_list::available(const Hook& hook, const QString& what) {
    if (hook)
        return true;
    say(kNotAvailableMessage.arg(what));
    return false;
}

void Tarbabrojo_list::editRecord() {
    if (currentVisit())
        RegisterList::editRecord();
}

void Tarbabrojo_list::barcodEnter() {
    // An empty scan does nothing.
    if (barcode_->text().isEmpty() || !search())
        return;
    db::Query& q = query();
    QString name;
    try {
        if (q.isEmpty()) {
            say(kExitNotFound);
            return;
        }
        // Visits of before the cardless barcodes had their zero may share one with a card.
        const std::optional<int> row = scannedVisit();
        if (!row)
            return;
        q.setRecNo(*row + 1);
        q.edit();
        q.fieldByName(QStringLiteral("khoroj")).setAsString(CurrentTime24(context().clock));
        q.post();
        name = currentText(QStringLiteral("name"));
    } catch (const db::DbError& e) {
        q.cancel();
        showError(e.message());
        return;
    }
    say(kExitRecorded + name);
    boxes_[6]->setChecked(false);
    search();
}

std::optional<int> Tarbabrojo_list::scannedVisit() {
    db::Query& q = query();
    if (q.recordCount() == 1)
        return 0;
    return picker_->chooseRow(Tarbabrojo_select::rowsOf(q));
}

void Tarbabrojo_list::N18Click() {
    const auto id = currentVisit();
    if (id && pictures_)
        pictures_->open(*id, currentText(QStringLiteral("name")));
}

void Tarbabrojo_list::N7Click() {
    if (!available(hooks_.previewSlip, QStringLiteral("چاپ برگه ملاقات")))
        return;
    if (const auto id = currentVisit())
        hooks_.previewSlip(int(*id));
}

void Tarbabrojo_list::N6Click() {
    if (available(hooks_.previewList, QStringLiteral("چاپ ليست")))
        hooks_.previewList();
}

void Tarbabrojo_list::N8Click() {
    if (available(hooks_.printBlankCards, QStringLiteral("چاپ برگه ملاقات اداري")))
        hooks_.printBlankCards();
}

void Tarbabrojo_list::N11Click() {
    if (!available(hooks_.printReceipt, QStringLiteral("رسيد برگه ملاقات")))
        return;
    if (const auto id = currentVisit())
        hooks_.printReceipt(int(*id));
}

bool Tarbabrojo_list::datesOn() const {
    return dat1_->isEnabled();
}

bool Tarbabrojo_list::datesAcceptable() const {
    const QString caption = boxes_[2]->text();
    return !datesOn() || stampsAcceptable({{dat1_, caption}, {dat2_, caption}});
}

void Tarbabrojo_list::countsClick(bool byName) {
    if (!datesAcceptable())
        return;
    if (available(hooks_.previewCounts, QStringLiteral("گزارش تعداد مراجعات")))
        hooks_.previewCounts(byName, datesOn(), dat1_->storedText(), dat2_->storedText());
}

void Tarbabrojo_list::N14Click() {
    if (available(hooks_.printSketch, QStringLiteral("چاپ کروکي")))
        hooks_.printSketch();
}

void Tarbabrojo_list::N20Click() {
    if (!datesAcceptable())
        return;
    const QString chosen = ui::dialogs().saveFileName(
        QStringLiteral("ذخيره تصاوير دوربين بين دو تاريخ"), QStringLiteral("All Files (*.*)"));
    // Cancelled: the "Z" files go to the current folder.
    const QFileInfo target(chosen.isEmpty() ? QDir::current().filePath(QStringLiteral("Z"))
                                            : chosen);
    std::optional<DateRange> dates;
    if (datesOn())
        dates = DateRange{dat1_->storedText(), dat2_->storedText()};
    const PictureFiles out = WritePictureFiles(context().dm.ADOConnection1, target.absolutePath(),
                                               target.fileName(), dates);
    if (!out.error.isEmpty())
        showError(out.error);
    say(kPicturesWritten.arg(QString::number(out.written),
                             text::isolatedLtr(QDir::toNativeSeparators(target.absolutePath())),
                             QString::number(out.skipped), QString::number(out.failed)));
}

void Tarbabrojo_list::showPicture(const QByteArray& bytes, const QString& ext) {
    const QString problem = ShowStoredPicture(bytes, ext, context().opener);
    if (!problem.isEmpty())
        showError(problem);
}

void Tarbabrojo_list::N19Click() {
    const auto id = currentVisit();
    if (!id)
        return;
    db::Query& q = context().dm.ADOQ_arbabrojo_pic;
    try {
        q.openSql({cameraPicturesSql(*id)});
        if (q.isEmpty()) {
            say(QStringLiteral("اين ارباب رجوع تصوير دوربين ندارد"));
            return;
        }
        showPicture(q.fieldByName("pic").asBytes(), q.fieldByName("ext").asString());
    } catch (const db::DbError& e) {
        showError(e.message());
    }
}

void Tarbabrojo_list::showFirstPicture() {
    shownPicture_.clear();
    shownExt_.clear();
    db::Query& q = query();
    if (!q.isActive() || q.recNo() <= 0) {
        picture_->setPicture({});
        return;
    }
    db::Query& pics = context().dm.ADOQ_arbabrojo_pic;
    try {
        pics.openSql({picturesSql(q.fieldByName("id").asInteger())});
        if (!pics.isEmpty()) {
            shownPicture_ = pics.fieldByName("pic").asBytes();
            shownExt_ = pics.fieldByName("ext").asString();
        }
    } catch (const db::DbError& e) {
        showError(e.message());
    }
    picture_->setPicture(shownPicture_);
}

void Tarbabrojo_list::DBImage1Click() {
    if (!currentVisit())
        return;
    if (shownPicture_.isEmpty()) {
        say(QStringLiteral("براي اين ارباب رجوع تصويري نمايش داده نشده است"));
        return;
    }
    showPicture(shownPicture_, shownExt_);
}

} // namespace gc::registers
