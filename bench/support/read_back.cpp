#include "bench/support/read_back.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

namespace gcbench {

namespace {

// argv: the file, the rows wanted (comma separated), the columns. Prints {"row": [texts]}.
const char* const kReadRows = R"(
import json, sys, zipfile
from xml.etree.ElementTree import iterparse
ns = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
want = set(int(r) for r in sys.argv[2].split(','))
columns = int(sys.argv[3])
book = zipfile.ZipFile(sys.argv[1])
shared = []
if 'xl/sharedStrings.xml' in book.namelist():
    for _, e in iterparse(book.open('xl/sharedStrings.xml')):
        if e.tag == ns + 'si':
            shared.append(''.join(t.text or '' for t in e.iter(ns + 't')))
def text(c):
    kind = c.get('t')
    if kind == 'inlineStr':
        return ''.join(t.text or '' for t in c.iter(ns + 't'))
    v = c.find(ns + 'v')
    v = '' if v is None else (v.text or '')
    return shared[int(v)] if kind == 's' else v
def column(ref):
    n = 0
    for ch in ref:
        if ch.isalpha():
            n = n * 26 + ord(ch) - 64
    return n
out = {}
parse = iterparse(book.open('xl/worksheets/sheet1.xml'), events=('start', 'end'))
_, root = next(parse)
for event, e in parse:
    if event != 'end' or e.tag != ns + 'row':
        continue
    r = int(e.get('r'))
    if r in want:
        cells = {column(c.get('r')): text(c) for c in e.iter(ns + 'c')}
        out[str(r)] = [cells.get(i, '') for i in range(1, columns + 1)]
    root.clear()
print(json.dumps(out, ensure_ascii=False))
)";

} // namespace

std::map<int, QStringList> sheetRows(const QString& path, const QList<int>& rows, int columns) {
    QStringList numbers;
    for (int r : rows)
        numbers << QString::number(r);
    QProcess py;
    py.start("python3", {"-c", kReadRows, path, numbers.join(','), QString::number(columns)});
    py.waitForFinished(-1);
    std::map<int, QStringList> out;
    const QJsonObject read = QJsonDocument::fromJson(py.readAllStandardOutput()).object();
    for (auto it = read.begin(); it != read.end(); ++it) {
        QStringList texts;
        for (const QJsonValue& v : it.value().toArray())
            texts << v.toString();
        out[it.key().toInt()] = texts;
    }
    return out;
}

QStringList pdfPageLines(const QString& pdf, int page) {
    QProcess p;
    const QString n = QString::number(page);
    p.start("pdftotext", {"-layout", "-f", n, "-l", n, pdf, "-"});
    p.waitForFinished(120000);
    static const QRegularExpression marks(
        QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"));
    return QString::fromUtf8(p.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC)
        .remove(marks)
        .split('\n');
}

bool showsText(const QString& line, const QString& text) {
    if (text.isEmpty())
        return true;
    const QString pattern = (text.front().isDigit() ? "(?<![0-9])" : "") +
                            QRegularExpression::escape(text) +
                            (text.back().isDigit() ? "(?![0-9])" : "");
    return QRegularExpression(pattern).match(line).hasMatch();
}

} // namespace gcbench
