#include "platform/controls/control_classes.h"

#include "platform/controls/edit_control.h"
#include "platform/controls/list_view.h"

namespace tevorin::controls {

bool RegisterControlClasses() {
    const bool edit = RegisterEditClass();
    const bool list = RegisterListViewClass();
    return edit && list;
}

}  // namespace tevorin::controls
