#pragma once
// The list view control (window class "SysListView32") in report mode, and a
// read-out of its rows for tools that describe a window tree.

#include <string>
#include <vector>

#include "platform/controls/common_controls.h"

namespace tevorin::controls {

// Registers the window procedure of the list view class; true when the class
// is registered afterwards (also when it already was).
[[nodiscard]] bool RegisterListViewClass();

// One row of a list view as the list reports it.
struct ListRowDescription {
    int image = -1;
    LPARAM data = 0;
    UINT state = 0;
    std::vector<std::u16string> texts;  // one per column
};

// The rows of a list view window, read through its messages (so any thread
// of the process may ask); empty for a window that is no list view.
std::vector<ListRowDescription> DescribeListRows(HWND list);

// "image=<n> data=<n>" followed by each column's text in double quotes,
// UTF-8, as the window tree tool prints a row.
std::string FormatListRow(const ListRowDescription& row);

}  // namespace tevorin::controls
