#include "support/xlsx_reader.h"

#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

namespace gctest {

QJsonObject readXlsx(const QString& path) {
    QProcess py;
    py.start("/usr/bin/python3", {GC_READ_XLSX_SCRIPT, path});
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(py.readAllStandardOutput()).object()["sheets"][0].toObject();
}

} // namespace gctest
