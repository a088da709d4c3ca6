#include "platform/text/bidi.h"
#include "platform/xlsx/kept_files.h"
#include "platform/xlsx/spreadsheet.h"
#include "platform/xlsx/temp_files.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace gc::xlsx;

namespace {

class FakeOpener : public FileOpener {
  public:
    explicit FakeOpener(bool result) : result_(result) {}
    bool open(const QString& path) override {
        opened.append(path);
        return result_;
    }
    QStringList opened;

  private:
    bool result_;
};

QJsonObject readBack(const QString& path) {
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(GC_READ_XLSX_SCRIPT), path});
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
}

QJsonObject cell(const QJsonObject& sheet, const QString& name) {
    return sheet["cells"].toObject()[name].toObject();
}

// A cell missing from the file has no border.
QStringList border(const QJsonObject& sheet, const QString& name) {
    if (!sheet["cells"].toObject().contains(name))
        return QStringList(4, QString());
    QStringList out;
    for (const auto& v : cell(sheet, name)["border"].toArray())
        out << v.toString();
    return out;
}

const QStringList kFields = {"id", "num", "cart_no", "ranande", "exit_dat"};
const QStringList kCaptions = {"id", "شماره خودرو", "شماره كارت", "ranande", "تاريخ خروج"};

// The export's own sequence of calls, over `rows` rows of the five fields, the rows put
// in by `writeRows` (cell by cell, or as a stream).
std::vector<Delivery> exportCalls(Application& excel, const std::vector<QStringList>& rows,
                                  const std::function<void(Worksheet&)>& writeRows) {
    excel.Visible = true;
    excel.WorkBooks().Add(xlWBATWorksheet);
    EXPECT_TRUE(excel.WorkBooks().Item(1)->WorkSheets(1)->setName("Sheet1"));
    Worksheet* sheet = excel.WorkBooks().Item(1)->WorkSheets("Sheet1");
    for (int i = 0; i < kFields.size(); ++i) {
        sheet->Cells(1, i + 1).setValue(kCaptions[i]);
        sheet->Columns(i + 1).setColumnWidth(10);
    }
    writeRows(*sheet);
    sheet->Range("A1:AA1").Font().setBold(true);
    sheet->Range("A1:M1").Borders().setLineStyle(13);
    if (!rows.empty())
        sheet->Range(QStringLiteral("A2:M%1").arg(rows.size() + 1)).Borders().setLineStyle(1);
    return excel.show();
}

std::vector<Delivery> exportRows(Application& excel, const std::vector<QStringList>& rows) {
    return exportCalls(excel, rows, [&](Worksheet& sheet) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int i = 0; i < rows[r].size(); ++i)
                sheet.Cells(int(r) + 2, i + 1).setValue(rows[r][i].trimmed());
        }
    });
}

std::vector<Delivery> streamRows(Application& excel, const std::vector<QStringList>& rows) {
    return exportCalls(excel, rows, [&](Worksheet& sheet) {
        EXPECT_TRUE(sheet.streamRows(2, int(rows.size()), int(kFields.size()), [&](int r, int c) {
            return rows[std::size_t(r - 2)][c - 1].trimmed();
        }));
    });
}

std::vector<QStringList> makeRows(int n) {
    std::vector<QStringList> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({QString::number(i + 1), QStringLiteral("12ب345-%1").arg(i),
                        QStringLiteral("00%1").arg(i + 1), QStringLiteral("  علي رضايي  "),
                        QStringLiteral("1403/05/%1").arg(i % 30 + 1, 2, 10, QChar(u'0'))});
    return rows;
}

class XlsxExport : public ::testing::TestWithParam<int> {
  protected:
    QTemporaryDir dir;
};

} // namespace

TEST_P(XlsxExport, WritesHeaderRowsStylesAndWidths) {
    const int n = GetParam();
    FakeOpener opener(true);
    Application excel(opener, dir.path());
    const auto rows = makeRows(n);
    const auto done = exportRows(excel, rows);
    ASSERT_EQ(done.size(), 1u);
    ASSERT_TRUE(done[0].error.isEmpty()) << done[0].error.toStdString();
    EXPECT_TRUE(done[0].opened);
    EXPECT_EQ(opener.opened, QStringList{done[0].path});

    const QJsonObject book = readBack(done[0].path);
    const QJsonObject sheet = book["sheets"].toArray()[0].toObject();
    EXPECT_EQ(book["sheets"].toArray().size(), 1);
    EXPECT_EQ(sheet["name"].toString(), "Sheet1");
    EXPECT_TRUE(sheet["rightToLeft"].toBool());
    EXPECT_EQ(sheet["maxRow"].toInt(), n + 1);

    const QStringList letters = {"A", "B", "C", "D", "E"};
    for (int i = 0; i < letters.size(); ++i) {
        EXPECT_EQ(cell(sheet, letters[i] + "1")["value"].toString(), kCaptions[i]);
        EXPECT_NEAR(sheet["widths"].toObject()[letters[i]].toDouble(), 10.71, 0.01);
    }
    EXPECT_FALSE(sheet["widths"].toObject().contains("F"));

    // Bold runs over A1:AA1 even past the captions; the slant dash-dot border over A1:M1.
    EXPECT_TRUE(cell(sheet, "A1")["bold"].toBool());
    EXPECT_TRUE(cell(sheet, "AA1")["bold"].toBool());
    EXPECT_FALSE(cell(sheet, "AB1")["bold"].toBool());
    const QStringList slant(4, QStringLiteral("slantDashDot"));
    EXPECT_EQ(border(sheet, "A1"), slant);
    EXPECT_EQ(border(sheet, "M1"), slant);
    EXPECT_EQ(border(sheet, "N1"), QStringList(4, QString()));

    const QStringList thin(4, QStringLiteral("thin"));
    for (int r = 0; r < n; ++r) {
        const QString row = QString::number(r + 2);
        EXPECT_EQ(cell(sheet, "C" + row)["value"].toString(), rows[r][2]);
        EXPECT_EQ(cell(sheet, "C" + row)["type"].toString(), "s");
        EXPECT_EQ(cell(sheet, "A" + row)["type"].toString(), "s");
        EXPECT_EQ(cell(sheet, "D" + row)["value"].toString(), QStringLiteral("علي رضايي"));
        EXPECT_FALSE(cell(sheet, "A" + row)["bold"].toBool());
        EXPECT_EQ(border(sheet, "A" + row), thin);
        EXPECT_EQ(border(sheet, "M" + row), thin);
    }
    EXPECT_EQ(border(sheet, QStringLiteral("A%1").arg(n + 2)), QStringList(4, QString()));
}

INSTANTIATE_TEST_SUITE_P(Rows, XlsxExport, ::testing::Values(0, 1, 2, 57));

TEST(XlsxExportText, KeepsLeadingZerosAndFormulaLikeText) {
    QTemporaryDir dir;
    FakeOpener opener(true);
    Application excel(opener, dir.path());
    Worksheet* sheet = excel.WorkBooks().Add().WorkSheets(1);
    sheet->Cells(1, 1).setValue("0012");
    sheet->Cells(1, 2).setValue("=1+1");
    sheet->Cells(1, 3).setValue("1e5");
    sheet->Cells(3, 1).setValue("later");
    sheet->Cells(2, 1).setValue("earlier");
    sheet->Cells(2, 1).setValue("replaced");
    const auto done = excel.show();
    ASSERT_TRUE(done[0].error.isEmpty());
    EXPECT_TRUE(opener.opened.isEmpty()); // not Visible
    const QJsonObject sheetJson = readBack(done[0].path)["sheets"].toArray()[0].toObject();
    EXPECT_EQ(cell(sheetJson, "A1")["value"].toString(), "0012");
    EXPECT_EQ(cell(sheetJson, "B1")["value"].toString(), "=1+1");
    EXPECT_EQ(cell(sheetJson, "B1")["type"].toString(), "s");
    EXPECT_EQ(cell(sheetJson, "C1")["value"].toString(), "1e5");
    EXPECT_EQ(cell(sheetJson, "A2")["value"].toString(), "replaced");
    EXPECT_EQ(cell(sheetJson, "A3")["value"].toString(), "later");
}

TEST(XlsxExportFailures, AWrongCallWritesNothingAndSaysWhy) {
    QTemporaryDir dir;
    FakeOpener opener(true);
    Application excel(opener, dir.path());
    excel.Visible = true;
    Worksheet* sheet = excel.WorkBooks().Add().WorkSheets(1);
    sheet->Cells(1, 1).setValue("x");
    EXPECT_FALSE(sheet->Range("A2:M0").Borders().setLineStyle(1));
    EXPECT_FALSE(sheet->Range("A1").Borders().setLineStyle(2));
    EXPECT_FALSE(sheet->setName("a/b"));
    EXPECT_FALSE(sheet->Cells(0, 1).setValue("y"));
    EXPECT_FALSE(sheet->Cells(1, 1).setValue(QString(40000, u'x')));
    const auto done = excel.show();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(done[0].path.isEmpty());
    EXPECT_FALSE(done[0].opened);
    EXPECT_TRUE(done[0].error.contains("A2:M0")) << done[0].error.toStdString();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(excel.WorkBooks().Item(1)->WorkSheets(2), nullptr);
    EXPECT_EQ(excel.WorkBooks().Item(2), nullptr);
}

// The desktop's documents folder inside a home of the test's own.
class XlsxKeptExport : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TMPDIR"})
            saved.push_back({name, qgetenv(name)});
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        qputenv("TMPDIR", tmp.path().toUtf8());
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    QTemporaryDir home;
    QTemporaryDir tmp;
    std::vector<std::pair<const char*, QByteArray>> saved;
};

TEST_F(XlsxKeptExport, WithNothingToOpenItTellsWhereTheFileIsKeptThroughExitAndStart) {
    FakeOpener opener(false);
    const QString kept = home.filePath("Documents/gatecontrol");
    ASSERT_TRUE(QDir().mkpath(kept));
    QFile earlier(kept + "/ليست خودرو 1403-07-01 10-00-00.xlsx");
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("kept by the user");
    earlier.close();

    Application excel(opener, {}, "ليست خودرو 1403-07-01 10-00-00");
    excel.Visible = true;
    excel.WorkBooks().Add().WorkSheets(1)->Cells(1, 1).setValue("x");
    excel.WorkBooks().Add().WorkSheets(1)->Cells(1, 1).setValue("y");
    const auto done = excel.show();
    ASSERT_EQ(done.size(), 2u);
    for (const Delivery& d : done) {
        EXPECT_TRUE(d.error.isEmpty()) << d.error.toStdString();
        EXPECT_FALSE(d.opened);
        EXPECT_TRUE(QFileInfo(d.path).isFile());
        // The path reads left to right, its date and time in their order.
        EXPECT_TRUE(notOpenedMessage(d.path).endsWith(gc::text::isolatedLtr(d.path)));
    }
    // Named after the list and the time; an existing file is never written over.
    EXPECT_EQ(done[0].path, kept + "/ليست خودرو 1403-07-01 10-00-00 (2).xlsx");
    EXPECT_EQ(done[1].path, kept + "/ليست خودرو 1403-07-01 10-00-00 (3).xlsx");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "kept by the user");
    EXPECT_TRUE(excel.show().empty()); // each workbook is written once

    // The program's exit, then a start days later: picture views go, the exports stay.
    QString error;
    const QString view = createUniqueFile(userTempFolder(&error), "picture", "jpg", &error);
    ASSERT_FALSE(view.isEmpty()) << error.toStdString();
    removeThisRunsFiles();
    removeFilesOlderThan(QDateTime::currentDateTime().addDays(3));
    EXPECT_FALSE(QFileInfo::exists(view));
    for (const Delivery& d : done)
        EXPECT_TRUE(QFileInfo(d.path).isFile()) << d.path.toStdString();
}

TEST_F(XlsxKeptExport, NamesAFileSystemCannotHoldAreMadeSafe) {
    QString error;
    const QString folder = keptFolder(&error);
    ASSERT_EQ(folder, home.filePath("Documents/gatecontrol")) << error.toStdString();
    EXPECT_EQ(QFileInfo(createKeptFile(folder, "a/b:c*d?\"e<f>g|h", "xlsx", &error)).fileName(),
              "a-b-c-d--e-f-g-h.xlsx");
    EXPECT_EQ(QFileInfo(createKeptFile(folder, "../up", "xlsx", &error)).absolutePath(), folder);
    EXPECT_EQ(QFileInfo(createKeptFile(folder, "", "xlsx", &error)).fileName(), "export.xlsx");
}

namespace {

// Every part of the file but the one that holds the time of writing, as name and digest.
QString partDigests(const QString& path) {
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {"-c",
              "import hashlib,sys,zipfile\n"
              "z=zipfile.ZipFile(sys.argv[1])\n"
              "for n in sorted(z.namelist()):\n"
              "    if n!='docProps/core.xml': print(n,hashlib.sha256(z.read(n)).hexdigest())",
              path});
    EXPECT_TRUE(py.waitForFinished(60000));
    return QString::fromLatin1(py.readAllStandardOutput());
}

} // namespace

TEST(XlsxStream, StreamedRowsWriteTheSameFileAsStoredCells) {
    QTemporaryDir dir;
    FakeOpener opener(true);
    for (int n : {0, 1, 2, 57, 3000}) {
        const auto rows = makeRows(n);
        Application stored(opener, dir.path());
        Application streamed(opener, dir.path());
        const auto a = exportRows(stored, rows);
        const auto b = streamRows(streamed, rows);
        ASSERT_TRUE(a[0].error.isEmpty() && b[0].error.isEmpty()) << b[0].error.toStdString();
        const QString digests = partDigests(a[0].path);
        EXPECT_TRUE(digests.contains("xl/worksheets/sheet1.xml")) << n;
        EXPECT_EQ(partDigests(b[0].path), digests) << n << " rows";
    }
}

TEST(XlsxStream, ASourceThatFailsLeavesNoFileAndTheNextExportWorks) {
    QTemporaryDir dir;
    FakeOpener opener(true);
    {
        Application excel(opener, dir.path());
        Worksheet* sheet = excel.WorkBooks().Add().WorkSheets(1);
        sheet->streamRows(1, 500, 3, [](int row, int) -> QString {
            if (row == 300)
                throw std::runtime_error("connection lost");
            return QStringLiteral("x");
        });
        EXPECT_THROW(excel.show(), std::runtime_error);
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(opener.opened.isEmpty());
    Application again(opener, dir.path());
    again.WorkBooks().Add().WorkSheets(1)->streamRows(1, 2, 1,
                                                      [](int, int) { return QStringLiteral("y"); });
    const auto done = again.show();
    EXPECT_TRUE(done[0].error.isEmpty());
    EXPECT_TRUE(QFileInfo(done[0].path).isFile());
}

TEST(XlsxStream, WrongStreamsAndOverlongTextAreRefusedWithoutAFile) {
    QTemporaryDir dir;
    FakeOpener opener(true);
    Application excel(opener, dir.path());
    Worksheet* sheet = excel.WorkBooks().Add().WorkSheets(1);
    sheet->Cells(1, 1).setValue("header");
    EXPECT_FALSE(sheet->streamRows(kMaxRows, 2, 1, [](int, int) { return QString(); }));
    EXPECT_FALSE(sheet->streamRows(1, 2, 1, [](int, int) { return QString(); })); // row 1 is taken
    Worksheet* streamed = excel.WorkBooks().Add().WorkSheets(1);
    ASSERT_TRUE(streamed->streamRows(2, 10, 2, [](int, int) { return QStringLiteral("ok"); }));
    EXPECT_FALSE(streamed->streamRows(20, 1, 1, [](int, int) { return QString(); }));
    EXPECT_FALSE(streamed->Cells(5, 1).setValue("inside the stream"));
    const auto done = excel.show();
    ASSERT_EQ(done.size(), 2u);
    EXPECT_TRUE(done[0].error.contains(QString::number(kMaxRows + 1)))
        << done[0].error.toStdString();
    EXPECT_FALSE(done[1].error.isEmpty());
    EXPECT_TRUE(done[1].path.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    Application tooLong(opener, dir.path());
    tooLong.WorkBooks().Add().WorkSheets(1)->streamRows(2, 10, 2, [](int row, int column) {
        return row == 7 && column == 2 ? QString(kMaxCellText + 1, u'x') : QStringLiteral("ok");
    });
    const auto refused = tooLong.show();
    EXPECT_TRUE(refused[0].error.contains("B7")) << refused[0].error.toStdString();
    EXPECT_TRUE(refused[0].path.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}
