#include "app/program.h"

#include "app/forms.h"
#include "app/startup.h"
#include "core/services.h"
#include "windows/shell/login_window.h"

#include <QApplication>
#include <QEvent>

#ifndef Q_OS_WIN
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#endif

namespace gc {

namespace {

#ifndef Q_OS_WIN

// The pipe a termination signal is told through. A signal handler reaches only what is
// global, and may do little more than write to a pipe.
std::atomic<int> signalPipe{-1};

void tellSignal(int) {
    const int saved = errno;
    const char byte = 0;
    if (const int fd = signalPipe.load(); fd >= 0) {
        // A full pipe means a quit is already on its way.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = saved;
}

// While it exists, SIGTERM, SIGHUP and SIGINT (the session or the terminal ending, a kill)
// end the message loop, so the program ends through its own end instead of dying at once.
// A signal the program was started ignoring (nohup) stays ignored.
class TerminationSignals {
  public:
    TerminationSignals() {
        if (pipe2(fds_.data(), O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [fd = fds_[0]] {
            char bytes[16];
            while (read(fd, bytes, sizeof bytes) > 0) {
            }
            QCoreApplication::exit(0);
        });
        signalPipe = fds_[1];
        struct sigaction action {};
        action.sa_handler = tellSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN)
                sigaction(kSignals[i], &action, nullptr);
        }
    }
    ~TerminationSignals() {
        if (!notifier_)
            return;
        for (std::size_t i = 0; i < kSignals.size(); ++i)
            sigaction(kSignals[i], &previous_[i], nullptr);
        signalPipe = -1;
        notifier_.reset();
        close(fds_[0]);
        close(fds_[1]);
    }
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};
    std::array<int, 2> fds_{-1, -1};
    std::array<struct sigaction, kSignals.size()> previous_{};
    std::unique_ptr<QSocketNotifier> notifier_;
};

#endif

// While it exists, a quit asked of the whole application gives the keyboard back at once.
// The session manager's last word at the desktop's end comes as such a quit, before any
// window is asked to close: one may keep it waiting until the program is ended without a
// further word. A checkpoint the program outlives only asks for its data and its state
// (commitDataRequest, saveStateRequest) and leaves the keyboard as it is.
class QuitGivesKeyboardBack final : public QObject {
  public:
    explicit QuitGivesKeyboardBack(platform::KeyboardLayout& keyboard) : keyboard_(keyboard) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit)
            keyboard_.restore();
        return false;
    }

  private:
    platform::KeyboardLayout& keyboard_;
};

} // namespace

int runProgram(Forms& forms) {
    platform::KeyboardLayout& keyboard = forms.services->keyboard();
    // A run ended by a crash or a kill left its Persian lock: the settings and login windows
    // get the keyboard the user had.
    keyboard.restore();
    ConnectionLoop loop(*forms.dm, *forms.server);
    if (!loop.run())
        return 0;

    const QuitGivesKeyboardBack sessionEnd(keyboard);
#ifndef Q_OS_WIN
    const TerminationSignals termination;
#endif
    forms.login->show();
    const int code = QApplication::exec();
    // Every normal end leaves the message loop: the last window closed or a quit.
    keyboard.restore();
    return code;
}

} // namespace gc
