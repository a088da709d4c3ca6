#pragma once

#include "register_harness.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/khodro/khodro_list.h"
#include "registers/khodro/khodro_rep.h"

// The vehicle register's three windows on the shared harness.
namespace gctest::khodro {

using gctest::engineName;
using gctest::kGuard;
using gctest::OpenerFake;
using gctest::PdfPreview;

class Harness : public RegisterHarness {
  protected:
    void SetUp() override;
    void TearDown() override;

    void addPerson(const QString& surname, const QString& card, const QString& plate,
                   const QString& unit);
    QString in(const QString& name) const;

    std::unique_ptr<gc::registers::Tkhodro_ins> ins;
    std::unique_ptr<gc::registers::Tkhodro_list> list;
    std::unique_ptr<gc::registers::Tkhodro_rep> rep;
};

} // namespace gctest::khodro
