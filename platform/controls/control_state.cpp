#include "platform/controls/control_state.h"

namespace tevorin::controls {

bool RegisterStatefulControlClass(const char16_t* className, WNDPROC procedure) {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = sizeof(void*);
    windowClass.lpszClassName = className;
    if (RegisterClassW(windowClass)) return true;
    WNDCLASSW existing;
    return GetClassInfoW(className, &existing);
}

}  // namespace tevorin::controls
