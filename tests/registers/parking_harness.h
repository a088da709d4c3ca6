#pragma once

#include "platform/db/sql_text.h"
#include "register_harness.h"
#include "registers/parking/park_ins.h"
#include "registers/parking/parking.h"
#include "registers/parking/parking_rep.h"

#include <QCheckBox>

// The parking register's three windows on the shared harness.
namespace gctest::parking {

class Harness : public RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        // In the start-up order: list, entry, report.
        list = std::make_unique<gc::registers::Tparking>(*ctx);
        ins = std::make_unique<gc::registers::Tpark_ins>(*ctx);
        list->setEntry(ins.get());
        rep = std::make_unique<gc::registers::Tparking_rep>(*list);
    }
    void TearDown() override {
        rep.reset();
        ins.reset();
        list.reset();
    }
    void addRow(const QString& num, const QString& dat, const QString& loc, const QString& cmt = {},
                const QString& guard = {}) {
        using gc::db::quoted;
        exec("insert into parking (num, dat, loc, cmt, negahban) values (" + quoted(num) + ", " +
             quoted(dat) + ", " + quoted(loc) + ", " + quoted(cmt) + ", " + quoted(guard) + ")");
    }
    void untickAll() {
        for (int i = 1; i <= 3; ++i)
            list->CheckBox(i)->setChecked(false);
    }

    std::unique_ptr<gc::registers::Tparking> list;
    std::unique_ptr<gc::registers::Tpark_ins> ins;
    std::unique_ptr<gc::registers::Tparking_rep> rep;
};

inline const QString kPlateList = QStringLiteral("شماره خودرو اداري");
inline const QString kPlaceList = QStringLiteral("پاركينگ");

} // namespace gctest::parking
