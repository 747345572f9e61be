#pragma once
// What the X11 tests share: a panel window class that paints a known pattern
// and records the input it gets, a message pump, and xdotool.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "support/run_process.h"

namespace x11_test {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Input, command, focus and close messages of every panel, in order.
std::vector<Received>& Log();
std::vector<Received> LogOf(UINT message);

// The colour a top-level panel paints at (x, y): 10-pixel squares, each of
// its own colour, so that a shifted or scaled picture shows.
std::uint32_t PatternPixel(int x, int y);

// A window of the panel class. A top-level panel paints the pattern; a
// child panel fills itself with `color` and, like a push button, posts
// WM_COMMAND with its id to its parent when the left button is released
// over it.
HWND MakePanel(const char16_t* title, RECT rect, DWORD style, DWORD exStyle = 0);
HWND MakeChildPanel(HWND parent, int id, RECT rect, COLORREF color, DWORD style = 0);

// Handles this thread's messages (TranslateMessage included) and sleeps in
// the message loop's wait for at most `slice`.
void PumpOnce(std::chrono::milliseconds slice = std::chrono::milliseconds(10));
// Pumps until done() or the limit; false on the limit.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5));
// Runs xdotool with args while this thread keeps handling its messages with
// pump (a dialog needs its own, with the dialog keys).
test_support::ProcessResult Xdotool(
    const std::vector<std::string>& args, void (*pump)() = [] { PumpOnce(); });

}  // namespace x11_test
