#pragma once
// The child windows of a top-level window, as its process describes them,
// and the lines tevorin-desktop prints for them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

namespace desktop_tool {

// One row of a list control, as the tree reports it.
struct ListRow {
    int index = 0;
    int image = -1;
    long long data = 0;
    std::vector<std::u16string> texts;  // one per column
};

struct ChildWindow {
    int depth = 0;  // 1 for a direct child of the top-level window
    int handle = 0;
    int id = 0;
    std::string className;
    bool visible = false;
    bool enabled = false;
    RECT rect;  // screen coordinates
    std::u16string text;
    std::vector<ListRow> rows;  // for a list view; empty otherwise
};

// Parses a window tree answer: one line per window, depth first, the
// top-level window itself (depth 0) first; it is left out of the result. Row
// lines belong to the window line before them.
// Nothing when a line is malformed, since a half-understood tree would make
// the tool print or click the wrong control.
std::optional<std::vector<ChildWindow>> ParseWindowTree(std::string_view answer);

// "id  class  visible  enabled  x,y,w,h  text", tab-separated.
std::string FormatChildLine(const ChildWindow& child);
// "row  index  image=<n>  data=<n>  <text of each column>", tab-separated.
std::string FormatRowLine(const ListRow& row);

// The first child, depth first, with that id; null when there is none.
const ChildWindow* FindChildById(const std::vector<ChildWindow>& children, int id);

}  // namespace desktop_tool
