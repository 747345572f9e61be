#pragma once
// Windows of other processes of the desktop session. The session installs
// the one implementation when it opens; until then no remote window exists.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

namespace tevorin::win {

class RemoteWindows {
  public:
    virtual ~RemoteWindows() = default;
    virtual bool Exists(int handle) = 0;
    virtual bool Post(int handle, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // wasVisible receives the state the session last published.
    virtual bool Show(int handle, int command, bool* wasVisible) = 0;
    virtual int FindByTitle(std::u16string_view title) = 0;
    virtual bool Owner(int handle, DWORD* threadId, DWORD* processId) = 0;
    virtual bool Title(int handle, std::u16string* title) = 0;
    virtual bool Rect(int handle, RECT* rect) = 0;
    virtual bool Visible(int handle, bool* visible, bool* iconic) = 0;
};

void SetRemoteWindows(RemoteWindows* remote);
RemoteWindows* GetRemoteWindows();

}  // namespace tevorin::win
