#include "platform/process/process_control.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>

namespace {

int OpenProcessDescriptor(DWORD processId) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(processId), 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

}  // namespace

ProcessHandle::ProcessHandle(ProcessHandle&& other) noexcept
    : descriptor_(other.descriptor_), processId_(other.processId_) {
    other.descriptor_ = -1;
    other.processId_ = 0;
}

ProcessHandle& ProcessHandle::operator=(ProcessHandle&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0) close(descriptor_);
        descriptor_ = other.descriptor_;
        processId_ = other.processId_;
        other.descriptor_ = -1;
        other.processId_ = 0;
    }
    return *this;
}

ProcessHandle::~ProcessHandle() {
    if (descriptor_ >= 0) close(descriptor_);
}

ProcessHandle OpenProcess(DWORD /*desiredAccess*/, BOOL /*inheritHandle*/, DWORD processId) {
    if (processId == 0 || processId > 0x7FFFFFFFu) return {};
    const int descriptor = OpenProcessDescriptor(processId);
    if (descriptor >= 0) return ProcessHandle(descriptor, processId);
    if (errno != ENOSYS) return {};
    // Kernels without process descriptors: fall back to the bare id, checked
    // for existence now.
    if (kill(static_cast<pid_t>(processId), 0) != 0 && errno != EPERM) return {};
    return ProcessHandle(-1, processId);
}

BOOL TerminateProcess(const ProcessHandle& process, UINT /*exitCode*/) {
    if (!process.IsValid()) return FALSE;
    if (process.Descriptor() >= 0) {
#ifdef SYS_pidfd_send_signal
        const long sent =
            syscall(SYS_pidfd_send_signal, process.Descriptor(), SIGKILL, nullptr, 0u);
        return sent == 0 ? TRUE : FALSE;
#endif
    }
    return kill(static_cast<pid_t>(process.ProcessId()), SIGKILL) == 0 ? TRUE : FALSE;
}

void Sleep(DWORD milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
