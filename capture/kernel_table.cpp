#include "capture/kernel_table.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace gc::capture {

namespace {

long nodeNumber(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && path[i - 1] >= '0' && path[i - 1] <= '9')
        --i;
    long n = -1;
    if (i < path.size())
        std::from_chars(path.data() + i, path.data() + path.size(), n);
    return n < 0 ? std::numeric_limits<long>::max() : n;
}

std::vector<std::string> devVideoNodes() {
    std::vector<std::string> nodes;
    DIR* dir = ::opendir("/dev");
    if (dir == nullptr)
        return nodes;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("video", 0) == 0 && name.size() > 5)
            nodes.push_back("/dev/" + name);
    }
    ::closedir(dir);
    return nodes;
}

int retryIoctl(int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = ::ioctl(fd, request, arg);
    } while (r < 0 && errno == EINTR);
    return r < 0 ? -errno : 0;
}

int waitFor(int fd, int wakeFd, int timeoutMs) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int r = ::poll(fds, 2, timeoutMs);
    if (r < 0)
        return errno == EINTR ? 0 : -errno;
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
        return -ENODEV;
    return (fds[0].revents & POLLIN) ? 1 : 0;
}

} // namespace

std::vector<std::string> sortedVideoNodes(std::vector<std::string> nodes) {
    std::stable_sort(nodes.begin(), nodes.end(), [](const std::string& a, const std::string& b) {
        const long na = nodeNumber(a);
        const long nb = nodeNumber(b);
        return na != nb ? na < nb : a < b;
    });
    return nodes;
}

KernelTable systemKernel() {
    KernelTable k;
    k.listNodes = devVideoNodes;
    k.open = [](const std::string& path, int flags) {
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
        return fd < 0 ? -errno : fd;
    };
    k.close = [](int fd) { return ::close(fd) < 0 ? -errno : 0; };
    k.ioctl = retryIoctl;
    k.mmap = [](size_t length, int fd, off_t offset) -> void* {
        void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
        return p == MAP_FAILED ? nullptr : p;
    };
    k.munmap = [](void* addr, size_t length) { return ::munmap(addr, length) < 0 ? -errno : 0; };
    k.poll = waitFor;
    return k;
}

} // namespace gc::capture
