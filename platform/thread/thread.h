#pragma once
// Threads by handle: created running, with a priority, joined or released.
// A handle stays valid until CloseHandle, also after its thread has ended.

#include <cstddef>

#include "platform/core/win_types.h"

struct ThreadObject;
using HANDLE = ThreadObject*;
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;

// Null when the thread cannot be created. `security` must be null and
// `flags` 0 (start at once); a `stackSize` of 0 takes the default.
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, DWORD* threadId);
BOOL SetThreadPriority(HANDLE thread, int priority);
// Releases the handle; a thread still running goes on and frees itself.
BOOL CloseHandle(HANDLE thread);
