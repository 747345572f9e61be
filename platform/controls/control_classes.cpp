#include "platform/controls/control_classes.h"

#include "platform/controls/button_control.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/list_view.h"
#include "platform/controls/static_control.h"
#include "platform/win/window_tree_rows.h"

namespace tevorin::controls {

namespace {

// The list view's rows as the desktop tool's window tree shows them.
std::vector<win::WindowTreeRow> ReadListRows(HWND list) {
    std::vector<win::WindowTreeRow> rows;
    for (auto& described : DescribeListRows(list)) {
        win::WindowTreeRow row;
        row.image = described.image;
        row.data = static_cast<long long>(described.data);
        row.texts = std::move(described.texts);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

bool RegisterControlClasses() {
    win::SetWindowTreeRowReader(WC_LISTVIEWW, &ReadListRows);
    const bool statics = RegisterStaticClass();
    const bool buttons = RegisterButtonClass();
    const bool edit = RegisterEditClass();
    const bool list = RegisterListViewClass();
    return statics && buttons && edit && list;
}

}  // namespace tevorin::controls
