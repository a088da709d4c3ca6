#include "oracle.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace gc::capture::test {

QByteArray runTool(const QString& program, const QStringList& args, QString* error) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) {
        *error = program + QStringLiteral(" did not run: ") + p.errorString();
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = program + QStringLiteral(" failed: ") +
                 QString::fromLocal8Bit(p.readAllStandardError());
        return {};
    }
    return p.readAllStandardOutput();
}

namespace {

bool writeFile(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(reinterpret_cast<const char*>(bytes.data()),
                                                   qint64(bytes.size())) == qint64(bytes.size());
}

} // namespace

QByteArray ffmpegToBgr(const std::vector<uint8_t>& frame, const char* pixFmt, int width, int height,
                       QString* error) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("frame.raw"));
    if (!writeFile(in, frame)) {
        *error = QStringLiteral("cannot write the frame");
        return {};
    }
    return runTool(QStringLiteral("ffmpeg"),
                   {"-v", "error", "-f", "rawvideo", "-pix_fmt", pixFmt, "-s",
                    QStringLiteral("%1x%2").arg(width).arg(height), "-i", in, "-f", "rawvideo",
                    "-pix_fmt", "bgr24", "-"},
                   error);
}

QByteArray djpegPixels(const std::vector<uint8_t>& jpeg, QString* error) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("frame.jpg"));
    if (!writeFile(in, jpeg)) {
        *error = QStringLiteral("cannot write the frame");
        return {};
    }
    const QByteArray ppm = runTool(QStringLiteral("djpeg"), {"-pnm", in}, error);
    // P6 header: magic, width, height, maxval, each followed by one blank.
    int fields = 0;
    qsizetype i = 0;
    while (i < ppm.size() && fields < 4) {
        while (i < ppm.size() && QChar(ppm[i]).isSpace())
            ++i;
        while (i < ppm.size() && !QChar(ppm[i]).isSpace())
            ++i;
        ++fields;
    }
    return ppm.mid(i + 1);
}

} // namespace gc::capture::test
