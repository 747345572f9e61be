#pragma once
// Message-map entries for colour requests (WM_CTLCOLORxxx): a window that
// colours its children, and a control that colours itself when its parent
// reflects the request back to it. The handler's brush paints the control's
// background; a null brush leaves the colours to the default.

#include "platform/framework/message_map.h"
#include "platform/framework/wnd.h"
#include "platform/gdi/cdc.h"

// The dialog framework may already bring these entries with the window class.
#ifndef ON_WM_CTLCOLOR

namespace tevorin::framework {

// HBRUSH handler(CDC* dc, CWnd* control, UINT controlType)
template <class T, auto F>
LRESULT InvokeCtlColor(CWnd* self, WPARAM, LPARAM l) {
    const auto* request = reinterpret_cast<const CtlColorRequest*>(l);
    HBRUSH brush = (static_cast<T*>(self)->*F)(CDC::FromHandle(request->dc),
                                               CWnd::FromHandle(request->control), request->type);
    return reinterpret_cast<LRESULT>(brush);
}

// HBRUSH handler(CDC* dc, UINT controlType)
template <class T, auto F>
LRESULT InvokeReflectCtlColor(CWnd* self, WPARAM, LPARAM l) {
    const auto* request = reinterpret_cast<const CtlColorRequest*>(l);
    HBRUSH brush = (static_cast<T*>(self)->*F)(CDC::FromHandle(request->dc), request->type);
    return reinterpret_cast<LRESULT>(brush);
}

}  // namespace tevorin::framework

// Colour requests about this window's children: HBRUSH OnCtlColor(CDC*, CWnd*, UINT).
#define ON_WM_CTLCOLOR()                               \
    TEVORIN_MAP_ENTRY(kCtlColor, WM_CTLCOLOR, 0, 0, 0, \
                      (&::tevorin::framework::InvokeCtlColor<ThisClass, &ThisClass::OnCtlColor>))
// Colour requests about this control, reflected by its parent: HBRUSH CtlColor(CDC*, UINT).
#define ON_WM_CTLCOLOR_REFLECT()                \
    TEVORIN_MAP_ENTRY(                          \
        kReflectCtlColor, WM_CTLCOLOR, 0, 0, 0, \
        (&::tevorin::framework::InvokeReflectCtlColor<ThisClass, &ThisClass::CtlColor>))

#endif  // ON_WM_CTLCOLOR
