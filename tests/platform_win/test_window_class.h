#pragma once
// A window class for tests whose procedure records every message it gets and
// lets a test answer chosen messages.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/message_loop.h"
#include "platform/win/window.h"

struct ReceivedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages of all windows of the class, in the order their procedure saw them.
class MessageLog {
  public:
    static MessageLog& Instance();
    void Add(const ReceivedMessage& m);
    std::vector<ReceivedMessage> Take();
    std::vector<UINT> MessagesOf(HWND hwnd, const std::vector<UINT>& interesting);
    // A handler that replaces the default answer for one message number.
    void SetHandler(UINT message, std::function<LRESULT(HWND, WPARAM, LPARAM)> handler);
    void ClearHandlers();
    std::function<LRESULT(HWND, WPARAM, LPARAM)> HandlerFor(UINT message);

  private:
    std::mutex mutex_;
    std::vector<ReceivedMessage> log_;
    std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>> handlers_;
};

// Registers the class once; its name.
const char16_t* TestClassName();

HWND MakeTopLevel(const char16_t* title, DWORD style = WS_OVERLAPPED | WS_CAPTION,
                  RECT rect = RECT{10, 20, 210, 170});
HWND MakeChild(HWND parent, int id, RECT rect, DWORD style = WS_CHILD | WS_VISIBLE);
