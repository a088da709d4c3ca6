#include "support/spawn.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace gctest {

Ran runProgram(const QString& program, const QStringList& args) {
    Ran ran;
    int out[2];
    if (pipe(out) != 0)
        return ran;
    std::vector<QByteArray> words{program.toLocal8Bit()};
    for (const QString& a : args)
        words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // Read while it runs, and stop when it has ended: a server it started may hold the
    // output open long after.
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    int status = 0;
    bool ended = started != 0, open = true;
    while (!ended) {
        pollfd ready{out[0], POLLIN, 0};
        if (open)
            poll(&ready, 1, 50);
        const pid_t waited = waitpid(pid, &status, open ? WNOHANG : 0);
        ended = waited == pid || (waited < 0 && errno != EINTR);
        char buffer[4096];
        ssize_t n = 0;
        while (open && (n = read(out[0], buffer, sizeof buffer)) > 0)
            ran.out.append(buffer, n);
        open = open && n != 0;
    }
    close(out[0]);
    if (started == 0 && WIFEXITED(status))
        ran.exitCode = WEXITSTATUS(status);
    return ran;
}

} // namespace gctest
