#pragma once
// The message loop of a modal window (a dialog's DoModal, a message box):
// it runs until the window is ended (EndDialog) or destroyed. Messages sent
// from other threads and processes are handled while it waits, other
// windows keep painting, and input for disabled windows (the owner) is
// dropped.

#include "platform/core/win_types.h"
#include "platform/win/messages.h"

namespace tevorin::framework {

// False when the application's quit request arrived; it is posted again for
// the loop outside.
bool RunModalLoop(HWND modal);

// What the application's loop does with one message: pre-translation by the
// window and its ancestors (dialog keys), else dispatch.
void PumpMessage(MSG* msg);

}  // namespace tevorin::framework
