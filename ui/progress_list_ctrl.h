#pragma once
// CProgressListCtrl: the file list of the wizard. One row per file of the
// update: the file name with its status picture, the size in KiB, and a
// progress cell that the list draws itself as an outlined green bar with the
// percentage written over it. A row's item data is its download percent.

#include "platform/controls/framework/clistctrl.h"
#include "platform/gdi/cdc.h"

// Columns of the file list.
inline constexpr int kFileNameColumn = 0;
inline constexpr int kSizeColumn = 1;
inline constexpr int kProgressColumn = 2;

// Pictures of the status strip.
inline constexpr int kStatusPending = 0;  // blue arrow: not finished yet
inline constexpr int kStatusDone = 1;     // green tick
inline constexpr int kStatusFailed = 2;   // red cross

// The bar colour of the progress cell.
inline constexpr COLORREF kProgressBarColour = RGB(0, 255, 0);

class CProgressListCtrl : public CListCtrl {
  public:
    // Grid lines, the three columns, the status pictures and one row per
    // file of the update state, each at the arrow picture and 0 percent.
    // Called once, after the list's window exists.
    void InitFileList();
    // Stores the percent of the row and repaints only its progress cell.
    void SetProgress(int row, int percent);
    // Every row back to the arrow picture and 0 percent, before a retry.
    void ResetRows();
    // Paints the progress cell `cell` (list client coordinates) of the row
    // from its item data, with the pen and brush the context holds.
    void DrawProgressCell(int row, int subItem, CDC* dc, COLORREF textColour, COLORREF fillColour,
                          const RECT& cell);

    // The status pictures; released with the control.
    CImageList statusImages;

  protected:
    void OnCustomDraw(NMHDR* notification, LRESULT* result);
    DECLARE_MESSAGE_MAP()
};
