#include "khodro_harness.h"

#include "platform/db/sql_text.h"

namespace gctest::khodro {

using gc::db::quoted;

void Harness::SetUp() {
    RegisterHarness::SetUp();
    if (!dm)
        return;
    ins = std::make_unique<gc::registers::Tkhodro_ins>(*ctx);
    list = std::make_unique<gc::registers::Tkhodro_list>(*ctx, *ins);
    rep = std::make_unique<gc::registers::Tkhodro_rep>(*list);
}

void Harness::TearDown() {
    rep.reset();
    list.reset();
    ins.reset();
}

void Harness::addPerson(const QString& surname, const QString& card, const QString& plate,
                        const QString& unit) {
    exec("insert into asami (surname, card_no, khodro_num, vahed_tabe) values (" + quoted(surname) +
         ", " + quoted(card) + ", " + quoted(plate) + ", " + quoted(unit) + ")");
}

QString Harness::in(const QString& name) const {
    return ins->text(name);
}

} // namespace gctest::khodro
