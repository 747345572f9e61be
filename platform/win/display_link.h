#pragma once
// Joins the window system to the display backend: top-level windows' state
// reaches the backend, the calling thread's message loop watches the
// backend's connection, and what the user does on the screen comes back as
// window messages (display_input.cpp).

#include <string>

#include "platform/core/win_types.h"
#include "platform/display/display_backend.h"
#include "platform/win/messages.h"

namespace tevorin::win {

// Makes the calling thread's message loop watch the display connection of
// this thread, once; nothing while the thread has none.
void AttachDisplayToThisThread();

// The display's view of a top-level window, client left null. title keeps
// the text image.title points to. False for anything but a live top-level
// window.
bool DescribeTopLevel(int handle, display::WindowImage* image, std::u16string* title);

// Where the display's input goes.
display::InputSink& DisplayInputRouter();

// For TranslateMessage: the UTF-16 units a WM_KEYDOWN from the display types
// (empty for none). Each key press is translated once.
std::u16string TakeTypedText(const MSG& msg);

}  // namespace tevorin::win
