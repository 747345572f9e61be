#include "platform/thread/thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

// Shared by the handle and the running thread; whichever lets go last frees it.
struct ThreadObject {
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    std::atomic<int> references{2};

    std::mutex mutex;
    std::condition_variable ended;
    pid_t tid = 0;  // known before CreateThread returns
    bool finished = false;
    DWORD exitCode = 0;
    int priority = THREAD_PRIORITY_NORMAL;
};

namespace {

void Release(ThreadObject* thread) {
    if (thread->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete thread;
}

void* ThreadMain(void* argument) {
    auto* thread = static_cast<ThreadObject*>(argument);
    {
        std::lock_guard lock(thread->mutex);
        thread->tid = static_cast<pid_t>(::syscall(SYS_gettid));
    }
    thread->ended.notify_all();
    const DWORD exitCode = thread->start(thread->parameter);
    {
        std::lock_guard lock(thread->mutex);
        thread->finished = true;
        thread->exitCode = exitCode;
    }
    thread->ended.notify_all();
    Release(thread);
    return nullptr;
}

// The nice value of a priority, or false for one that has none here.
bool NiceOf(int priority, int& nice) {
    switch (priority) {
        case THREAD_PRIORITY_LOWEST:
            nice = 19;
            return true;
        case THREAD_PRIORITY_BELOW_NORMAL:
            nice = 10;
            return true;
        case THREAD_PRIORITY_NORMAL:
            nice = 0;
            return true;
        default:
            return false;
    }
}

}  // namespace

HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, DWORD* threadId) {
    if (security != nullptr || flags != 0 || start == nullptr) return nullptr;
    auto* thread = new ThreadObject;
    thread->start = start;
    thread->parameter = parameter;

    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) != 0) {
        delete thread;
        return nullptr;
    }
    bool ok = ::pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0;
    if (ok && stackSize != 0)
        ok =
            ::pthread_attr_setstacksize(
                &attributes, std::max(stackSize, static_cast<std::size_t>(PTHREAD_STACK_MIN))) == 0;
    pthread_t native;
    ok = ok && ::pthread_create(&native, &attributes, &ThreadMain, thread) == 0;
    ::pthread_attr_destroy(&attributes);
    if (!ok) {
        delete thread;
        return nullptr;
    }
    // The system's id is needed for the priority, which Linux sets by id.
    std::unique_lock lock(thread->mutex);
    thread->ended.wait(lock, [thread] { return thread->tid != 0; });
    if (threadId != nullptr) *threadId = static_cast<DWORD>(thread->tid);
    return thread;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    int nice = 0;
    if (thread == nullptr || !NiceOf(priority, nice)) return FALSE;
    // Holding the lock keeps a running thread from ending, so its id cannot
    // have been handed to another thread meanwhile.
    std::lock_guard lock(thread->mutex);
    if (thread->finished) {
        thread->priority = priority;
        return TRUE;
    }
    if (::setpriority(PRIO_PROCESS, static_cast<id_t>(thread->tid), nice) != 0) return FALSE;
    thread->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    if (thread == nullptr) return THREAD_PRIORITY_NORMAL;
    std::lock_guard lock(thread->mutex);
    return thread->priority;
}

DWORD WaitForSingleObject(HANDLE thread, DWORD milliseconds) {
    if (thread == nullptr) return WAIT_FAILED;
    std::unique_lock lock(thread->mutex);
    const auto hasEnded = [thread] { return thread->finished; };
    if (milliseconds == INFINITE) {
        thread->ended.wait(lock, hasEnded);
        return WAIT_OBJECT_0;
    }
    // A zero wait only looks: a timed wait that has already expired still
    // goes to sleep in the kernel.
    if (milliseconds == 0) return hasEnded() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    return thread->ended.wait_for(lock, std::chrono::milliseconds(milliseconds), hasEnded)
               ? WAIT_OBJECT_0
               : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    if (thread == nullptr || exitCode == nullptr) return FALSE;
    std::lock_guard lock(thread->mutex);
    if (!thread->finished) return FALSE;
    *exitCode = thread->exitCode;
    return TRUE;
}

BOOL CloseHandle(HANDLE thread) {
    if (thread == nullptr) return FALSE;
    Release(thread);
    return TRUE;
}
