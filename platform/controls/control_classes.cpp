#include "platform/controls/control_classes.h"

#include "platform/controls/button_control.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/list_view.h"
#include "platform/controls/static_control.h"

namespace tevorin::controls {

bool RegisterControlClasses() {
    const bool statics = RegisterStaticClass();
    const bool buttons = RegisterButtonClass();
    const bool edit = RegisterEditClass();
    const bool list = RegisterListViewClass();
    return statics && buttons && edit && list;
}

}  // namespace tevorin::controls
