#pragma once
// Sending, posting and retrieving messages. Every thread that creates a window
// or calls one of these functions has its own message queue. A message sent to
// a window of another thread waits until that thread has handled it; while a
// thread waits for such a reply, or for its next message, it handles the
// messages that other threads send to it.

#include "platform/core/win_types.h"
#include "platform/win/messages.h"

// Runs the window procedure and returns its result. A window of the calling
// thread is called directly; a window of another thread handles the message
// on its thread while the caller waits. 0 at once for a handle that is no
// window, and 0 for a window that is destroyed, or whose thread ends, before
// it has handled the message.
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Queues the message for the window's thread. A null window posts to the
// calling thread. For a window of another process of the desktop session the
// message travels through the session; pointers in wParam or lParam mean
// nothing there. False for a handle that is no window.
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the calling thread's message loop to end: GetMessageW returns 0 with
// WM_QUIT once no posted message is left.
void PostQuitMessage(int exitCode);

// Waits for the next message of the calling thread. Order: messages sent from
// other threads (handled inside, never returned), posted messages, the quit
// request, WM_PAINT for visible windows with an invalid area. A window filter
// takes that window and its children; a message range of 0, 0 takes all.
// Returns 0 for WM_QUIT, -1 for a filter that is no window, else 1.
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// As GetMessageW without waiting; false when nothing is there.
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits until the calling thread has a message (or a sent one was handled).
BOOL WaitMessage();
// Posts WM_CHAR (one per UTF-16 unit) for a key press from the display that
// types a character; TRUE when it did.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
