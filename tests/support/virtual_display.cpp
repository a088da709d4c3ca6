#include "support/virtual_display.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace gctest {

bool VirtualDisplay::start() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("setxkbmap").isEmpty())
        return false;
    server_.start("Xvfb",
                  {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "64x64x24"});
    if (!server_.waitForStarted(5000))
        return false;
    while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
    }
    const QByteArray number = server_.readLine().trimmed();
    if (number.isEmpty())
        return false;
    name_ = ":" + QString::fromLatin1(number);
    // A busy machine may announce the display before it takes connections; -noreset
    // keeps it from restarting between the connections of a test.
    const QByteArray n = name_.toLatin1();
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Display* d = XOpenDisplay(n.constData())) {
            XCloseDisplay(d);
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

VirtualDisplay::~VirtualDisplay() {
    server_.terminate();
    server_.waitForFinished(5000);
}

bool VirtualDisplay::setLayouts(const QString& layouts) {
    QProcess setxkbmap;
    setxkbmap.start("setxkbmap", {"-display", name_, "-layout", layouts});
    if (!setxkbmap.waitForFinished(10000) || setxkbmap.exitCode() != 0)
        return false;
    QProcess query;
    query.start("setxkbmap", {"-display", name_, "-query"});
    if (!query.waitForFinished(10000))
        return false;
    const QString out = QString::fromLocal8Bit(query.readAllStandardOutput());
    return out.contains(
        QRegularExpression("layout:\\s+" + QRegularExpression::escape(layouts) + "\\n"));
}

void VirtualDisplay::lockGroup(int group) const {
    const QByteArray n = name_.toLatin1();
    if (Display* d = XOpenDisplay(n.constData())) {
        XkbLockGroup(d, XkbUseCoreKbd, static_cast<unsigned>(group));
        XSync(d, False);
        XCloseDisplay(d);
    }
}

int VirtualDisplay::lockedGroup() const {
    const QByteArray n = name_.toLatin1();
    Display* d = XOpenDisplay(n.constData());
    if (!d)
        return -1;
    XkbStateRec state{};
    const int group = XkbGetState(d, XkbUseCoreKbd, &state) == Success ? state.locked_group : -1;
    XCloseDisplay(d);
    return group;
}

} // namespace gctest
