#include "registers/amval/amval_ins.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/amval/core/amval_sql.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gc::registers {

namespace {

QFont inputFont() {
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(16);
    f.setBold(true);
    return f;
}

} // namespace

RegisterEntry::Declaration Tins::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("ins");
    d.caption = QStringLiteral("ثبت/ويرايش اموال");
    d.query = &context.dm.ADOQ_amval;
    d.savedColumns = amval::savedColumns();
    d.editCopies = {"kharejkonande", "taeidkonande", "nam",   "num",     "elat",
                    "odat",          "cnt",          "daghi", "maghsad", "maghsad_tel",
                    "vorod_dat",     "vorod_tim",    "malek", "cmt",     "exit_dat",
                    "exit_tim",      "negahban1"};
    d.newGuardInput = QStringLiteral("negahban1");
    d.editGuardInput = QStringLiteral("negahban2");
    d.editGuardWitnesses = {"exit_dat", "exit_tim", "vorod_dat", "vorod_tim"};
    d.newFocus = QStringLiteral("kharejkonande");
    d.editFocus = QStringLiteral("vorod_dat");
    d.newTodayInputs = {"exit_dat"};
    d.newNowInputs = {"exit_tim"};
    d.presetFills = {{"nam", presets::kItemName},
                     {"elat", presets::kExitReason},
                     {"maghsad", presets::kDestination},
                     {"malek", presets::kOwner}};
    return d;
}

Tins::Tins(RegisterContext& context, QWidget* parent)
    : RegisterEntry(declare(context), context, parent) {
    for (const char* name : {"kharejkonande", "taeidkonande", "nam", "elat", "maghsad", "malek"})
        addInput(editableDropDown(QString::fromLatin1(name), this));
    for (const char* name : {"odat", "daghi"})
        addInput(editableDropDown(QString::fromLatin1(name), this))
            ->addItems({amval::kYes, amval::kNo});
    for (const char* name : {"num", "maghsad_tel", "cnt", "cmt", "negahban1", "negahban2"})
        addInput(namedLineEdit(QString::fromLatin1(name), this));
    for (const char* name : {"cmt", "negahban1", "negahban2"})
        input(QString::fromLatin1(name))->setLayoutDirection(Qt::RightToLeft);
    edit(QStringLiteral("negahban1"))->setEnabled(false);
    edit(QStringLiteral("negahban2"))->setEnabled(false);
    for (const char* name : {"exit_dat", "vorod_dat"})
        addInput(new MaskEdit(MaskEdit::Kind::Date, QString::fromLatin1(name), this));
    for (const char* name : {"exit_tim", "vorod_tim"})
        addInput(new MaskEdit(MaskEdit::Kind::Time, QString::fromLatin1(name), this));
    setInputText(box(QStringLiteral("odat")), amval::kYes);
    setInputText(box(QStringLiteral("daghi")), amval::kNo);

    for (const QString& name : amval::savedColumns())
        input(name)->setFont(inputFont());
    for (const char* name :
         {"kharejkonande", "taeidkonande", "cnt", "nam", "odat", "exit_dat", "exit_tim", "elat",
          "maghsad", "daghi", "maghsad_tel", "vorod_dat", "vorod_tim", "malek", "cmt"})
        focusColours().watch(input(QString::fromLatin1(name)));
    const auto chain = [this](std::initializer_list<const char*> names) {
        QList<QWidget*> inputs;
        for (const char* name : names)
            inputs << input(QString::fromLatin1(name));
        enterChain().chain(inputs);
    };
    chain({"kharejkonande", "taeidkonande", "cnt"});
    chain({"nam", "odat", "num"});
    chain({"exit_dat", "exit_tim", "elat", "maghsad", "daghi", "maghsad_tel", "vorod_dat",
           "vorod_tim", "malek", "cmt"});

    mode_ = new ui::RadioGroup(QString(), {QStringLiteral("خروج"), QStringLiteral("ورود")}, this);
    mode_->setObjectName(QStringLiteral("RadioGroup1"));
    mode_->setItemIndex(Exit);
    connect(mode_, &ui::RadioGroup::clicked, this, [this] { RadioGroup1Click(); });
    personCaption_ = new QLabel(QStringLiteral("نام خارج كننده"), this);
    personCaption_->setObjectName(QStringLiteral("Label1"));
    reasonCaption_ = new QLabel(QStringLiteral("علت خروج"), this);
    reasonCaption_->setObjectName(QStringLiteral("Label8"));
    layOut();
    setFixedSize(QSize(781, 390).expandedTo(sizeHint()));
}

QComboBox* Tins::box(const QString& name) const {
    return qobject_cast<QComboBox*>(input(name));
}

QLineEdit* Tins::edit(const QString& name) const {
    return qobject_cast<QLineEdit*>(input(name));
}

MaskEdit* Tins::mask(const QString& name) const {
    return qobject_cast<MaskEdit*>(input(name));
}

void Tins::layOut() {
    auto* grid = new QGridLayout(this);
    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    const auto put = [&](int row, int col, QWidget* caption, const QString& name,
                         QWidget* beside = nullptr) {
        grid->addWidget(caption, row, col);
        grid->addWidget(input(name), row, col + 1);
        if (beside)
            grid->addWidget(beside, row, col + 2);
    };
    put(0, 0, personCaption_, QStringLiteral("kharejkonande"));
    put(1, 0, label(QStringLiteral("نام تاييد كننده خروج")), QStringLiteral("taeidkonande"));
    put(2, 0, label(QStringLiteral("تعداد")), QStringLiteral("cnt"));
    put(3, 0, label(QStringLiteral("اسم كالا")), QStringLiteral("nam"));
    put(4, 0, label(QStringLiteral("عودت")), QStringLiteral("odat"));
    put(5, 0, label(QStringLiteral("كد اموال")), QStringLiteral("num"));
    put(6, 0, label(QStringLiteral("مالك")), QStringLiteral("malek"));
    put(7, 0, label(QStringLiteral("توضيحات")), QStringLiteral("cmt"));
    put(8, 0, label(QStringLiteral("نگهبان هنگام خروج")), QStringLiteral("negahban1"));
    put(9, 0, label(QStringLiteral("نگهبان هنگام ورود")), QStringLiteral("negahban2"));
    put(0, 3, todayLabel(QStringLiteral("تاريخ خروج"), QStringLiteral("exit_dat")),
        QStringLiteral("exit_dat"),
        clearLabel(QStringLiteral(" - - -"), QStringLiteral("exit_dat")));
    put(1, 3, nowLabel(QStringLiteral("ساعت خروج"), QStringLiteral("exit_tim")),
        QStringLiteral("exit_tim"),
        clearLabel(QStringLiteral(" - - -"), QStringLiteral("exit_tim")));
    put(2, 3, reasonCaption_, QStringLiteral("elat"));
    put(3, 3, label(QStringLiteral("مقصد")), QStringLiteral("maghsad"));
    put(4, 3, label(QStringLiteral("داغي")), QStringLiteral("daghi"));
    put(5, 3, label(QStringLiteral("تلفن مقصد")), QStringLiteral("maghsad_tel"));
    put(6, 3, todayLabel(QStringLiteral("تاريخ ورود"), QStringLiteral("vorod_dat")),
        QStringLiteral("vorod_dat"),
        clearLabel(QStringLiteral("- - -"), QStringLiteral("vorod_dat")));
    put(7, 3, nowLabel(QStringLiteral("ساعت ورود"), QStringLiteral("vorod_tim")),
        QStringLiteral("vorod_tim"),
        clearLabel(QStringLiteral("- - -"), QStringLiteral("vorod_tim")));
    grid->addWidget(mode_, 8, 3, 2, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    grid->addLayout(buttons, 10, 0, 1, 6);
}

void Tins::RadioGroup1Click() {
    const bool exit = mode_->itemIndex() == Exit;
    personCaption_->setText(exit ? QStringLiteral("نام خارج کننده")
                                 : QStringLiteral("نام وارد کننده"));
    reasonCaption_->setText(exit ? QStringLiteral("علت خروج") : QStringLiteral("علت ورود"));
    // A date refreshed here: the window may have been open since before midnight.
    const QString day = today();
    const QString time = now();
    const QString guard = context().guardName();
    setText(QStringLiteral("exit_dat"), exit ? day : QString());
    setText(QStringLiteral("exit_tim"), exit ? time : QString());
    setText(QStringLiteral("vorod_dat"), exit ? QString() : day);
    setText(QStringLiteral("vorod_tim"), exit ? QString() : time);
    setText(QStringLiteral("negahban1"), exit ? guard : QString());
    setText(QStringLiteral("negahban2"), exit ? QString() : guard);
}

void Tins::onPrepareNew() {
    setText(QStringLiteral("odat"), amval::kYes);
    setText(QStringLiteral("cnt"), QStringLiteral("1"));
    setText(QStringLiteral("daghi"), amval::kNo);
    setText(QStringLiteral("malek"), amval::kDefaultOwner);
}

void Tins::onShow() {
    try {
        db::Query& q = context().dm.ADOQuery1;
        for (const char* name : {"kharejkonande", "taeidkonande"}) {
            q.close();
            q.sql().clear();
            q.sql().add(amval::surnamesSql());
            q.open();
            QStringList surnames;
            for (q.first(); !q.eof(); q.next())
                surnames << q.fieldByName(QStringLiteral("surname")).asString();
            fillFromPreset(box(QString::fromLatin1(name)), surnames);
        }
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
}

} // namespace gc::registers
