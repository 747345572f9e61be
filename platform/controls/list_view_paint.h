#pragma once
// Painting of a list view in report mode, with the custom-draw conversation
// that lets the parent take over single cells.

#include "platform/controls/list_view_state.h"

namespace tevorin::controls {

// Paints the part of the list inside `clip` (client coordinates) into `dc`,
// whose origin is the list's client origin. NM_CUSTOMDRAW goes to the list's
// parent for the whole paint, for each row that meets `clip`, and (when the
// parent asks for it) for each cell of such a row that meets `clip`.
void PaintListView(HWND list, const ListViewState& state, HDC dc, const RECT& clip);

}  // namespace tevorin::controls
