#pragma once

#include "capture/synthetic_kernel.h"
#include "register_harness.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/arbab/arbabrojo_list.h"
#include "registers/arbab/arbabrojo_pic.h"

#include <QMap>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

// The visitor register's windows on the shared harness, with one synthetic camera that a
// test can unplug.
namespace gctest::arbab {

using gctest::engineName;
using gctest::kGuard;

inline const QString kToday = QStringLiteral("1403/01/01");
inline const QString kYesterday = QStringLiteral("1402/12/29");

class Harness : public RegisterHarness {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A stored visit; unnamed columns take plain values. Returns its id.
    qint64 addVisit(QMap<QString, QString> columns);
    void addRoom(const QString& title, const QString& floor, const QString& room);
    qint64 count(const QString& table);
    // The text of a visit's column, read by the engine's own client.
    QString column(qint64 id, const QString& name);
    QString in(const QString& name) const;
    // Clicks a window's button at its centre.
    static void click(QWidget* button);

    std::unique_ptr<gc::capture::SyntheticKernel> cameras;
    bool cameraPluggedIn = true; // false: the device list is empty, as without a webcam
    std::unique_ptr<gc::registers::Tarbabrojo> entry;
    std::unique_ptr<gc::registers::Tarbabrojo_list> list;
    std::unique_ptr<gc::registers::Tarbabrojo_pic> pictures;
};

} // namespace gctest::arbab
