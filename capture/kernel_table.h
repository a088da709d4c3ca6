#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace gc::capture {

// Every kernel call of the video layer goes through this table, so a test (or
// the synthetic device) can stand in for the kernel. Failures come back as
// negative errno values instead of through errno.
struct KernelTable {
    // Paths of the candidate device nodes, in any order.
    std::function<std::vector<std::string>()> listNodes;
    // A descriptor, or -errno.
    std::function<int(const std::string& path, int flags)> open;
    std::function<int(int fd)> close;
    // 0, or -errno.
    std::function<int(int fd, unsigned long request, void* arg)> ioctl;
    // The mapping, or nullptr.
    std::function<void*(size_t length, int fd, off_t offset)> mmap;
    std::function<int(void* addr, size_t length)> munmap;
    // Waits up to timeoutMs for a frame on `fd` or a signal on `wakeFd`:
    // 1 when a frame is ready, 0 when woken or timed out, -errno on failure
    // (-ENODEV when the device went away).
    std::function<int(int fd, int wakeFd, int timeoutMs)> poll;
};

// The real kernel: /dev/video* nodes and the system calls.
KernelTable systemKernel();

// Orders "/dev/video10" after "/dev/video2"; names without a number go last.
std::vector<std::string> sortedVideoNodes(std::vector<std::string> nodes);

} // namespace gc::capture
