#include <gtest/gtest.h>

#include "control_test_support.h"
#include "platform/controls/framework/cedit.h"
#include "platform/controls/framework/cimagelist.h"
#include "platform/controls/framework/clistctrl.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/painting.h"
#include "platform_win/test_window_class.h"

namespace {

constexpr COLORREF kFrame = RGB(160, 200, 240);

// An edit that paints a frame over its edge and repaints fully on scroll.
class CFramedEdit : public CEdit {
  public:
    int paints = 0;
    int ncPaints = 0;
    int scrollReflections = 0;
    int scrollMessages = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
        if (message == WM_VSCROLL) ++scrollMessages;
        return result;
    }

  protected:
    void OnPaint() {
        ++paints;
        (void)DefWindowProc(WM_PAINT, 0, 0);
        DrawFrame();
    }
    void OnNcPaint() {
        ++ncPaints;
        (void)DefWindowProc(WM_NCPAINT, 1, 0);
        DrawFrame();
    }
    void OnVScrollReflect() {
        ++scrollReflections;
        Invalidate(TRUE);
    }
    void DrawFrame() {
        HDC dc = GetWindowDC(m_hWnd);
        if (dc == nullptr) return;
        RECT window;
        GetWindowRect(&window);
        Draw3dRect(dc, RECT{0, 0, window.right - window.left, window.bottom - window.top}, kFrame,
                   kFrame);
        ReleaseDC(m_hWnd, dc);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFramedEdit, CEdit)
ON_WM_PAINT()
ON_WM_NCPAINT()
ON_CONTROL_REFLECT(EN_VSCROLL, &CFramedEdit::OnVScrollReflect)
END_MESSAGE_MAP()

// A list that draws its third column itself, through the reflected notification.
class CDrawingList : public CListCtrl {
  public:
    int cellsDrawn = 0;

  protected:
    void OnCustomDraw(NMHDR* header, LRESULT* result) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        *result = CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT || draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            *result = CDRF_NOTIFYSUBITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) &&
                   draw->iSubItem == 2) {
            ++cellsDrawn;
            FillSolidRect(draw->nmcd.hdc, draw->nmcd.rc, RGB(0, 255, 0));
            *result = CDRF_SKIPDEFAULT;
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrawingList, CListCtrl)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CDrawingList::OnCustomDraw)
END_MESSAGE_MAP()

class FrameworkControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterControlsForTest();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, u"page", WS_POPUP | WS_VISIBLE,
                                    RECT{0, 0, 400, 300}, nullptr, 0));
    }
    CWnd parent;
};

TEST_F(FrameworkControlsTest, DerivedEditGetsPaintNonClientPaintAndReflectedScroll) {
    CFramedEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_BORDER,
                            RECT{10, 10, 210, 70}, &parent, 1004));
    edit.SetWindowTextW(u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8");
    edit.Invalidate(TRUE);
    edit.UpdateWindow();
    EXPECT_GE(edit.paints, 1);
    EXPECT_GE(edit.ncPaints, 1);
    HDC dc = GetWindowDC(edit.m_hWnd);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), kFrame);
    EXPECT_EQ(GetPixel(dc, 199, 59), kFrame);
    ReleaseDC(edit.m_hWnd, dc);

    ValidateRect(edit.m_hWnd, nullptr);
    edit.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(edit.GetFirstVisibleLine(), 1);
    EXPECT_EQ(edit.scrollMessages, 1) << "WindowProc sees the scroll message";
    EXPECT_EQ(edit.scrollReflections, 1) << "EN_VSCROLL comes back from the parent";
    RECT update;
    RECT client;
    ASSERT_TRUE(GetUpdateRect(edit.m_hWnd, &update, FALSE));
    edit.GetClientRect(&client);
    EXPECT_EQ(update, client);
}

TEST_F(FrameworkControlsTest, ListOperationsAndReflectedCustomDraw) {
    CDrawingList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                            RECT{0, 0, 300, 200}, &parent, 1006));
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_GRIDLINES);
    EXPECT_EQ(list.GetExtendedStyle() & LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    EXPECT_EQ(list.InsertColumn(0, u"文件名", LVCFMT_LEFT, 95), 0);
    EXPECT_EQ(list.InsertColumn(1, u"大小(KB)", LVCFMT_LEFT, 65), 1);
    EXPECT_EQ(list.InsertColumn(2, u"已下载", LVCFMT_LEFT, 130), 2);
    CImageList images;
    ASSERT_TRUE(images.Create(16, 17, ILC_COLOR24, 0, 1));
    CBitmap strip;
    strip.Attach(MakeStatusStrip());
    EXPECT_EQ(images.Add(&strip, RGB(0, 0, 0)), 0);
    EXPECT_EQ(images.GetImageCount(), 3);
    EXPECT_EQ(list.SetImageList(&images, LVSIL_SMALL), nullptr);
    EXPECT_EQ(list.InsertItem(0, u"a.dll", 0), 0);
    EXPECT_EQ(list.InsertItem(1, u"b.dll", 0), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, u"12"));
    EXPECT_TRUE(list.SetItemData(1, 55));
    EXPECT_EQ(list.GetItemData(1), 55u);
    EXPECT_EQ(list.GetItemText(1, 1), u"12");
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_TRUE(list.SetItem(1, 0, LVIF_IMAGE, nullptr, 2, 0, 0, 0));
    LVITEMW item;
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    ASSERT_TRUE(list.GetItem(&item));
    EXPECT_EQ(item.iImage, 2);
    EXPECT_TRUE(list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), 0u);

    RECT cell;
    ASSERT_TRUE(list.GetSubItemRect(1, 2, LVIR_BOUNDS, cell));
    EXPECT_EQ(cell.left, 160);
    EXPECT_EQ(cell.right, 290);
    Canvas canvas(300, 200);
    list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.get()), 0);
    EXPECT_EQ(list.cellsDrawn, 2);
    EXPECT_EQ(canvas.At(cell.left + 5, cell.top + 5), RGB(0, 255, 0));
}

}  // namespace
