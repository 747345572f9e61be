#pragma once
// Message maps: a static table per class that routes window messages,
// commands (WM_COMMAND by control id and notification code), notifications
// (WM_NOTIFY) and the notifications a parent reflects back to the control
// that sent them, to member functions. A class lists its entries between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; lookup walks from the most derived
// class to its bases, and the first matching entry handles the message.

#include "platform/core/win_types.h"
#include "platform/win/messages.h"

class DeviceContext;
using HDC = DeviceContext*;

class CWnd;

namespace tevorin::framework {

enum class EntryKind {
    kEnd,
    kMessage,          // any message by number
    kCommand,          // WM_COMMAND from control ids [idFirst, idLast] with code
    kNotify,           // WM_NOTIFY from control id idFirst with code
    kReflectCommand,   // WM_COMMAND with code, reflected to the sending control
    kReflectNotify,    // WM_NOTIFY with code, reflected to the sending control
    kReflectCtlColor,  // a colour request, reflected to the control it is about
    kCtlColor,         // a colour request about one of this window's children
};

struct MessageMapEntry {
    EntryKind kind;
    UINT message;
    UINT code;
    UINT idFirst;
    UINT idLast;
    // Calls the member function. Colour entries get a CtlColorRequest* in lParam.
    LRESULT (*invoke)(CWnd* self, WPARAM wParam, LPARAM lParam);
};

// What colour entries receive in lParam. type: 0 message box, 1 edit,
// 2 list box, 3 button, 4 dialog, 5 scroll bar, 6 static.
struct CtlColorRequest {
    HDC dc;
    HWND control;
    UINT type;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;  // ends with an entry of kind kEnd
};

// Thunks from the table to member functions. F may be a member of a base class.
template <class T, auto F>
LRESULT InvokeMessage(CWnd* self, WPARAM w, LPARAM l) {
    return (static_cast<T*>(self)->*F)(w, l);
}
template <class T, auto F>
LRESULT InvokeVoid(CWnd* self, WPARAM, LPARAM) {
    (static_cast<T*>(self)->*F)();
    return 0;
}
template <class T, auto F>
LRESULT InvokeNotify(CWnd* self, WPARAM, LPARAM l) {
    LRESULT result = 0;
    (static_cast<T*>(self)->*F)(reinterpret_cast<NMHDR*>(l), &result);
    return result;
}

}  // namespace tevorin::framework

#define DECLARE_MESSAGE_MAP()                                               \
  protected:                                                                \
    static const ::tevorin::framework::MessageMap* GetThisMessageMap();     \
    const ::tevorin::framework::MessageMap* GetMessageMap() const override; \
                                                                            \
  private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                \
    const ::tevorin::framework::MessageMap* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                                           \
    }                                                                         \
    const ::tevorin::framework::MessageMap* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                                           \
        using TheBaseClass = baseClass;                                       \
        static const ::tevorin::framework::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { ::tevorin::framework::EntryKind::kEnd, 0, 0, 0, 0, nullptr }                                \
    }                                                                                             \
    ;                                                                                             \
    static const ::tevorin::framework::MessageMap map{&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                                  \
    }

#define TEVORIN_MAP_ENTRY(kind, message, code, first, last, thunk) \
    {::tevorin::framework::EntryKind::kind, message, code, first, last, thunk},

// LRESULT handler(WPARAM, LPARAM)
#define ON_MESSAGE(message, handler)              \
    TEVORIN_MAP_ENTRY(kMessage, message, 0, 0, 0, \
                      (&::tevorin::framework::InvokeMessage<ThisClass, handler>))
// void handler()
#define ON_COMMAND(id, handler)                                                              \
    TEVORIN_MAP_ENTRY(kCommand, WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), \
                      (&::tevorin::framework::InvokeVoid<ThisClass, handler>))
#define ON_CONTROL(code, id, handler)                                                           \
    TEVORIN_MAP_ENTRY(kCommand, WM_COMMAND, code, static_cast<UINT>(id), static_cast<UINT>(id), \
                      (&::tevorin::framework::InvokeVoid<ThisClass, handler>))
#define ON_BN_CLICKED(id, handler) ON_CONTROL(0, id, handler)
// void handler(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, handler)                                                      \
    TEVORIN_MAP_ENTRY(kNotify, WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), \
                      static_cast<UINT>(id),                                              \
                      (&::tevorin::framework::InvokeNotify<ThisClass, handler>))
#define ON_NOTIFY_REFLECT(code, handler)                                        \
    TEVORIN_MAP_ENTRY(kReflectNotify, WM_NOTIFY, static_cast<UINT>(code), 0, 0, \
                      (&::tevorin::framework::InvokeNotify<ThisClass, handler>))
// void handler()
#define ON_CONTROL_REFLECT(code, handler)                                         \
    TEVORIN_MAP_ENTRY(kReflectCommand, WM_COMMAND, static_cast<UINT>(code), 0, 0, \
                      (&::tevorin::framework::InvokeVoid<ThisClass, handler>))

#define ON_WM_PAINT() ON_VOID_MESSAGE(WM_PAINT, &ThisClass::OnPaint)
#define ON_WM_NCPAINT() ON_VOID_MESSAGE(WM_NCPAINT, &ThisClass::OnNcPaint)
#define ON_WM_CLOSE() ON_VOID_MESSAGE(WM_CLOSE, &ThisClass::OnClose)
#define ON_WM_DESTROY() ON_VOID_MESSAGE(WM_DESTROY, &ThisClass::OnDestroy)
#define ON_VOID_MESSAGE(message, handler)         \
    TEVORIN_MAP_ENTRY(kMessage, message, 0, 0, 0, \
                      (&::tevorin::framework::InvokeVoid<ThisClass, handler>))
