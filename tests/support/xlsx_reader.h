#pragma once

#include <QJsonObject>
#include <QString>

namespace gctest {

// The first sheet of an .xlsx file as read back by openpyxl (tests/xlsx/read_xlsx.py).
QJsonObject readXlsx(const QString& path);

} // namespace gctest
