#include "pdf_tools.h"

#include <QProcess>
#include <QRegularExpression>

namespace gc::report::pdf {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

namespace {

QString info(const QString& path, const QString& key) {
    const auto m = QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(key),
                                      QRegularExpression::MultilineOption)
                       .match(run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

} // namespace

int pageCount(const QString& path) {
    return info(path, QStringLiteral("Pages")).toInt();
}

QString pageSize(const QString& path) {
    return info(path, QStringLiteral("Page size"));
}

QString text(const QString& path, int page) {
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << path << "-";
    return printedLetters(run(QStringLiteral("pdftotext"), args));
}

QString printedLetters(const QString& extracted) {
    static const QRegularExpression marks(
        QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"));
    return extracted.normalized(QString::NormalizationForm_KC)
        .remove(marks)
        .replace(QChar(0x06CC), QChar(0x064A))
        .replace(QChar(0x06A9), QChar(0x0643));
}

} // namespace gc::report::pdf
