#include "core/data_module.h"

#include <cassert>

namespace gc {

using db::FieldDef;
using db::FieldKind;
using db::Query;

namespace {

Tdm* instance = nullptr;

FieldDef autoInc(const QString& n) {
    return {n, FieldKind::AutoInc, 0};
}
FieldDef integer(const QString& n) {
    return {n, FieldKind::Integer, 0};
}
FieldDef text(const QString& n, int size = 20) {
    return {n, FieldKind::Text, size};
}
FieldDef blob(const QString& n) {
    return {n, FieldKind::Blob, 0};
}
FieldDef real(const QString& n) {
    return {n, FieldKind::Float, 0};
}

const char* const kResidSql =
    "select arbabrojo.id as id1,arbabrojo.name,arbabrojo.maghsad,arbabrojo.tabaghe as "
    "tabaghe1,arbabrojo.otagh as otagh1,arbabrojo.cart_no,arbabrojo.madrak,arbabrojo.dat, "
    "arbabrojo.vorod,arbabrojo.khoroj,arbabrojo.gender,arbabrojo.cmt,arbabrojo.negahban,"
    "arbabrojo.barcod,arbabrojo.nazar,  otaghha.id as id2,otaghha.title,otaghha.tabaghe as "
    "tabaghe2,otaghha.otagh as otagh2,otaghha.ext,otaghha.koroki   from arbabrojo left join "
    "otaghha on arbabrojo.maghsad=otaghha.title ";

const char* const kPerPicJoin = "select * from asami left join per_pic on asami.id=per_pic.per_id";

} // namespace

Tdm::Tdm(QObject* parent)
    : QObject(parent), ADOConnection1("ADOConnection1"), adoq_user(ADOConnection1, "adoq_user"),
      ADOQuery1(ADOConnection1, "ADOQuery1"), adoq_set(ADOConnection1, "adoq_set"),
      ADOQ_amval(ADOConnection1, "ADOQ_amval"), ADOQ_prs(ADOConnection1, "ADOQ_prs"),
      ADOQ_asami(ADOConnection1, "ADOQ_asami"), ADOQ_khodro(ADOConnection1, "ADOQ_khodro"),
      ADOQ_parking(ADOConnection1, "ADOQ_parking"), ADOQ_per_pic(ADOConnection1, "ADOQ_per_pic"),
      ADOQ_otagh(ADOConnection1, "ADOQ_otagh"), ADOQ_arbabrojo(ADOConnection1, "ADOQ_arbabrojo"),
      ADOQ_barcod(ADOConnection1, "ADOQ_barcod"), ADOQ_zamaem(ADOConnection1, "ADOQ_zamaem"),
      ADOQ_loh(ADOConnection1, "ADOQ_loh"), ADOQ_kala(ADOConnection1, "ADOQ_kala"),
      ADOQ_payam(ADOConnection1, "ADOQ_payam"), ADOQ_dastrasi(ADOConnection1, "ADOQ_dastrasi"),
      ADOQ_timer(ADOConnection1, "ADOQ_timer"), ADOQ_anbar(ADOConnection1, "ADOQ_anbar"),
      ADOQ_resid(ADOConnection1, "ADOQ_resid"),
      ADOQ_arbabrojo_pic(ADOConnection1, "ADOQ_arbabrojo_pic"),
      ADOQ_arbabrojopic_src(ADOConnection1, "ADOQ_arbabrojopic_src"),
      ADOQ_per_pic_save(ADOConnection1, "ADOQ_per_pic_save"),
      ADOQ_per_pic_save2(ADOConnection1, "ADOQ_per_pic_save2") {
    setObjectName("dm");
    // Solar Hijri dates, clock times and numbers kept as text (cards, barcodes, codes, phone
    // numbers): digits whose order is the same in bytes, so their indexes serve their order.
    ADOConnection1.setBytewiseColumns(
        {"dat",      "exit_dat",  "vorod_dat", "tarikh", "send_dat", "show_dat", "saat_sys",
         "exit_tim", "vorod_tim", "vorod",     "khoroj", "saat",     "v1",       "e1",
         "v2",       "e2",        "v3",        "e3",     "v4",       "e4",       "cart_no",
         "card_no",  "barcod",    "uniq_code", "nation", "mobile",   "tel"});
    ADOQ_amval.setSql("select * from amval");
    ADOQ_prs.setSql("select * from prs");
    ADOQ_khodro.setSql("select * from khodro");
    ADOQ_arbabrojo.setSql("select * from arbabrojo");
    ADOQ_loh.setSql("select * from loh");
    ADOQ_kala.setSql("select * from kala");

    for (Query* q :
         {&ADOQ_per_pic, &ADOQ_otagh, &ADOQ_barcod, &ADOQ_zamaem, &ADOQ_resid, &ADOQ_arbabrojo_pic,
          &ADOQ_arbabrojopic_src, &ADOQ_per_pic_save, &ADOQ_per_pic_save2})
        q->setCursorType(Query::CursorType::Static);

    ADOQ_per_pic.setSql("select * from per_pic");
    ADOQ_per_pic.setPersistentFields(
        {autoInc("ID"), integer("per_id"), text("ext", 5), blob("pic")});

    ADOQ_otagh.setSql("select * from otaghha");
    ADOQ_otagh.setPersistentFields({autoInc("ID"), text("title", 150), text("tabaghe", 50),
                                    text("otagh", 30), text("ext", 5), blob("koroki")});

    ADOQ_barcod.setSql("select * from barcod");

    ADOQ_zamaem.setSql("select * from zamaem");
    ADOQ_zamaem.setPersistentFields({autoInc("ID"), blob("pic")});

    ADOQ_resid.setSql(kResidSql);
    ADOQ_resid.setPersistentFields({autoInc("id1"),       text("name", 50),   text("maghsad", 150),
                                    text("tabaghe1", 50), text("otagh1", 30), text("cart_no", 20),
                                    text("madrak", 40),   text("dat", 10),    text("vorod", 5),
                                    text("khoroj", 5),    text("gender", 8),  text("cmt", 100),
                                    text("negahban", 50), text("barcod", 25), text("nazar", 100),
                                    autoInc("id2"),       text("title", 150), text("tabaghe2", 50),
                                    text("otagh2", 30),   text("ext", 5),     blob("koroki")});

    ADOQ_arbabrojo_pic.setSql("select * from arbabrojo_pic");
    ADOQ_arbabrojo_pic.setPersistentFields(
        {autoInc("id"), integer("arbabrojo_id"), text("cmt", 80), text("ext", 5), blob("pic")});

    ADOQ_arbabrojopic_src.setSql("select * from arbabrojo left join arbabrojo_pic on "
                                 "arbabrojo.id=arbabrojo_pic.arbabrojo_id");
    ADOQ_arbabrojopic_src.setPersistentFields(
        {autoInc("id"), text("name", 50), text("maghsad", 150), text("tabaghe", 50),
         text("otagh", 30), text("cart_no", 20), text("madrak", 40), text("dat", 10),
         text("vorod", 5), text("khoroj", 5), text("gender", 8), text("arbabrojo.cmt", 100),
         text("negahban", 50), text("barcod", 25), text("nazar", 100),
         text("arbabrojo_pic.cmt", 80), text("ext", 5), blob("pic")});

    ADOQ_per_pic_save.setSql(kPerPicJoin);
    ADOQ_per_pic_save.setPersistentFields(
        {autoInc("asami.ID"), text("surname", 255), text("name", 255), real("uniq_code"),
         text("card_no", 255), text("vahed_tabe", 255), text("khodro_num", 255),
         text("mobile", 255), text("nation", 10), autoInc("per_pic.ID"), integer("per_id"),
         text("ext", 5), blob("pic")});

    ADOQ_per_pic_save2.setSql(QString(kPerPicJoin) + "\n");
    ADOQ_per_pic_save2.setPersistentFields(
        {autoInc("id"), text("surname", 100), text("name", 100), text("uniq_code", 100),
         text("card_no", 50), text("vahed_tabe", 100), text("khodro_num", 150), text("mobile", 50),
         text("nation", 10), autoInc("id_1"), integer("per_id"), text("ext", 10), blob("pic")});
}

Tdm::~Tdm() = default;

QList<db::Query*> Tdm::queries() {
    return {&adoq_user,          &ADOQuery1,
            &adoq_set,           &ADOQ_amval,
            &ADOQ_prs,           &ADOQ_asami,
            &ADOQ_khodro,        &ADOQ_parking,
            &ADOQ_per_pic,       &ADOQ_otagh,
            &ADOQ_arbabrojo,     &ADOQ_barcod,
            &ADOQ_zamaem,        &ADOQ_loh,
            &ADOQ_kala,          &ADOQ_payam,
            &ADOQ_dastrasi,      &ADOQ_timer,
            &ADOQ_anbar,         &ADOQ_resid,
            &ADOQ_arbabrojo_pic, &ADOQ_arbabrojopic_src,
            &ADOQ_per_pic_save,  &ADOQ_per_pic_save2};
}

Tdm& dm() {
    assert(instance);
    return *instance;
}

void setDm(Tdm* tdm) {
    instance = tdm;
}

} // namespace gc
