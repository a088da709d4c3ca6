#include "core/transfer/sections.h"

namespace gc::transfer {

namespace {

QStringList cols(const char* names) {
    return QString::fromLatin1(names).split(' ');
}

Section dated(const QString& table, const char* label, const QString& dateColumn,
              const char* columns) {
    return {table, QString::fromUtf8(label), dateColumn, cols(columns), SectionKind::Plain, {},
            false};
}

Section whole(const QString& table, const char* label, const char* columns,
              SectionKind kind = SectionKind::Plain) {
    return {table, QString::fromUtf8(label), QString(), cols(columns), kind, {}, false};
}

const PictureTable kPersonPictures{"per_pic", "per_id", cols("ext pic")};
const PictureTable kVisitPictures{"arbabrojo_pic", "arbabrojo_id", cols("cmt ext pic")};

} // namespace

std::vector<Section> sectionsFor(const TransferOptions& o) {
    std::vector<Section> out;
    if (o.amval)
        out.push_back(dated("amval", "اموال", "exit_dat",
                            "kharejkonande taeidkonande cnt nam odat num exit_dat exit_tim elat "
                            "maghsad daghi maghsad_tel vorod_dat vorod_tim malek cmt negahban1 "
                            "negahban2"));
    if (o.anbar)
        out.push_back(dated("anbar", "انبار", "dat",
                            "typ cod kala vahed cnt dat saat sanad mabda maghsad prs1 prs2 khodro "
                            "cmt negahban"));
    if (o.khodro)
        out.push_back(dated("khodro", "خودرو", "exit_dat",
                            "ranande num exit_dat exit_tim elat maghsad vorod_dat vorod_tim cmt "
                            "negahban1 negahban2 khodro_typ"));
    if (o.prs)
        out.push_back(dated("prs", "پرسنل", "exit_dat",
                            "cart_no nam semat exit_tim exit_dat elat vorod_tim cmt negahban1 "
                            "negahban2"));
    if (o.parking)
        out.push_back(dated("parking", "پارکينگ", "dat", "num loc dat cmt negahban"));
    if (o.phone)
        out.push_back(whole("phone", "تلفن", "name tel cmt"));
    if (o.kala)
        out.push_back(whole("kala", "کالا", "cod cmt vahed"));
    if (o.otagh)
        out.push_back(whole("otaghha", "اتاق ها", "title tabaghe otagh ext koroki"));
    if (o.asami) {
        Section s = whole("asami", "اسامي و تصاويرشان",
                          "surname name card_no uniq_code khodro_num mobile vahed_tabe nation",
                          SectionKind::Owners);
        s.pictures = kPersonPictures;
        s.copyPictures = o.asamiPic;
        out.push_back(s);
    } else if (o.asamiPic) {
        out.push_back(whole("per_pic", "تصاوير اسامي", "ext pic", SectionKind::Pictures));
    }
    if (o.arbabrojo) {
        Section s = dated("arbabrojo", "ارباب رجوع و تصاويرشان", "dat",
                          "name maghsad tabaghe otagh cart_no madrak dat vorod khoroj gender cmt "
                          "negahban barcod nazar");
        s.kind = SectionKind::Owners;
        s.pictures = kVisitPictures;
        s.copyPictures = o.arbabrojoPic;
        out.push_back(s);
    }
    if (o.other) {
        out.push_back(whole("zamaem", "ضمائم", "pic"));
        out.push_back(whole("molaghat_file", "فايل ملاقات", "pic"));
        out.push_back(whole("barcod", "بارکد", "name"));
        out.push_back(whole("users", "کاربران", "us ps ver", SectionKind::Users));
        out.push_back(whole("dastrasi", "دسترسي", "prs_id page_name darj virayesh hazf namayesh",
                            SectionKind::Rights));
        out.push_back(
            dated("log", "لاگ", "tarikh", "karbar ip computer_name saat tarikh cmt saat_sys"));
        out.push_back(whole("taradod", "تردد", "roz dat v1 e1 v2 e2 v3 e3 v4 e4 cmt"));
        out.push_back(whole("setting", "تنظيمات", "component cmt def"));
        out.push_back(dated("loh", "لوح", "dat", "dat loc day shift negahban"));
    }
    return out;
}

bool isBlankDate(const QString& date) {
    return QString(date).remove(' ').remove('/').isEmpty();
}

QString keyColumnOf(const QString& table) {
    if (table == "taradod")
        return {};
    return table == "barcod" ? QString("barcod") : QString("id");
}

bool hasBlobs(const Section& section) {
    return section.columns.contains("pic") || section.columns.contains("koroki");
}

} // namespace gc::transfer
