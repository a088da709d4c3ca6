#include "bench/support/read_back.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

namespace {

using gcbench::showsText;

// A sheet with a header, a row with a gap, and a row further down, written with inline
// strings (constant memory) or with shared strings.
QString writeSheet(const QString& path, bool inlineStrings) {
    lxw_workbook_options options{};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(book, "Sheet1");
    worksheet_write_string(ws, 0, 0, "id", nullptr);
    worksheet_write_string(ws, 0, 2, "نام", nullptr);
    worksheet_write_string(ws, 1, 0, "1", nullptr);
    worksheet_write_string(ws, 1, 2, "راننده 5", nullptr);
    worksheet_write_string(ws, 4, 1, "x", nullptr);
    return workbook_close(book) == LXW_NO_ERROR ? path : QString();
}

TEST(ReadBack, SheetRowsAsWrittenWithEitherKindOfString) {
    QTemporaryDir dir;
    for (bool inlineStrings : {true, false}) {
        const QString path = writeSheet(dir.filePath("s.xlsx"), inlineStrings);
        ASSERT_FALSE(path.isEmpty());
        const auto rows = gcbench::sheetRows(path, {1, 2, 3, 5}, 3);
        ASSERT_EQ(rows.size(), 3u) << inlineStrings; // row 3 was never written
        EXPECT_EQ(rows.at(1), QStringList({"id", "", "نام"}));
        EXPECT_EQ(rows.at(2), QStringList({"1", "", "راننده 5"}));
        EXPECT_EQ(rows.at(5), QStringList({"", "x", ""}));
    }
}

TEST(ReadBack, MissingFileReadsNoRows) {
    EXPECT_TRUE(gcbench::sheetRows("/nonexistent/s.xlsx", {1}, 3).empty());
}

// Persian text comes out of pdftotext in joined letter forms between direction marks.
TEST(ReadBack, PdfPageLinesAreInPlainLetters) {
    QTemporaryDir dir;
    const QString path = dir.filePath("p.pdf");
    {
        QPdfWriter pdf(path);
        QPainter painter(&pdf);
        QFont font = painter.font();
        font.setPointSize(12);
        painter.setFont(font);
        painter.drawText(QPoint(200, 400), QStringLiteral("12 راننده 880"));
        pdf.newPage();
        painter.drawText(QPoint(200, 400), QStringLiteral("1400/02/21"));
    }
    const QStringList first = gcbench::pdfPageLines(path, 1);
    const auto shows = [](const QStringList& lines, const QString& text) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString& l) { return showsText(l, text); });
    };
    EXPECT_TRUE(shows(first, "راننده")) << first.join('\n').toStdString();
    EXPECT_TRUE(shows(first, "880"));
    EXPECT_FALSE(shows(first, "1400/02/21"));
    EXPECT_TRUE(shows(gcbench::pdfPageLines(path, 2), "1400/02/21"));
}

TEST(ReadBack, NumbersStandOnTheirOwnEvenWithoutBlanks) {
    const QString line = QStringLiteral("  105880   49993راننده 880  ");
    for (const char* text : {"49993", "راننده", "880", "105880"})
        EXPECT_TRUE(showsText(line, QString::fromUtf8(text))) << text;
    for (const char* text : {"4999", "9993", "88", "1058", "5880"})
        EXPECT_FALSE(showsText(line, QString::fromUtf8(text))) << text;
}

} // namespace
