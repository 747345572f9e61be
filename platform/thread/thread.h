#pragma once
// Threads by handle: created running, with a priority, joined or released.
// A handle stays valid until CloseHandle, also after its thread has ended.

#include <cstddef>

#include "platform/core/win_types.h"

struct ThreadObject;
using HANDLE = ThreadObject*;
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;

// WaitForSingleObject's results and its endless wait.
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// Null when the thread cannot be created. `security` must be null and
// `flags` 0 (start at once); a `stackSize` of 0 takes the default.
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, DWORD* threadId);

// Priorities are the thread's own nice value, which Linux keeps per thread:
// THREAD_PRIORITY_LOWEST is nice 19 (the lowest an unprivileged thread can
// take that still gets a share of a busy processor), BELOW_NORMAL nice 10,
// NORMAL nice 0. Raising a thread again needs the right to do so. FALSE for
// other values, for a null handle, or when the system refuses. A thread that
// has already ended keeps no priority; setting one succeeds.
BOOL SetThreadPriority(HANDLE thread, int priority);
// The priority last set, THREAD_PRIORITY_NORMAL when none was.
int GetThreadPriority(HANDLE thread);

// Waits until the thread has returned from its start routine, at most
// `milliseconds` (INFINITE: no limit). WAIT_OBJECT_0 when it has,
// WAIT_TIMEOUT when time ran out, WAIT_FAILED for a null handle.
DWORD WaitForSingleObject(HANDLE thread, DWORD milliseconds);
// The start routine's result once the thread has ended; FALSE before.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);

// Releases the handle; a thread still running goes on and frees itself.
BOOL CloseHandle(HANDLE thread);
