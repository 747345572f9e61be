#include "platform/gdi/cdc.h"

#include <map>
#include <memory>
#include <string>

#include "platform/gdi/image_drawing.h"
#include "platform/gdi/text_drawing.h"

struct TemporaryDcWrappers {
    std::map<HDC, std::unique_ptr<CDC>> wrappers;
};

namespace {

TemporaryDcWrappers& Temporaries() {
    thread_local TemporaryDcWrappers temporaries;
    return temporaries;
}

template <typename Wrapper>
Wrapper* Previous(HGDIOBJ previous) {
    return previous == nullptr ? nullptr : static_cast<Wrapper*>(CGdiObject::FromHandle(previous));
}

HGDIOBJ HandleOf(const CGdiObject* object) {
    return object != nullptr ? object->m_hObject : nullptr;
}

}  // namespace

CDC::~CDC() {
    if (ownsContext_) DeleteDC();
}

BOOL CDC::Attach(HDC dc) {
    if (dc == nullptr || m_hDC != nullptr) return FALSE;
    m_hDC = dc;
    ownsContext_ = false;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    ownsContext_ = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* reference) {
    if (m_hDC != nullptr) return FALSE;
    m_hDC = ::CreateCompatibleDC(reference != nullptr ? reference->m_hDC : nullptr);
    ownsContext_ = m_hDC != nullptr;
    return m_hDC != nullptr;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr || !ownsContext_) return FALSE;
    HDC dc = Detach();
    return ::DeleteDC(dc);
}

CDC* CDC::FromHandle(HDC dc) {
    if (dc == nullptr) return nullptr;
    auto& slot = Temporaries().wrappers[dc];
    if (!slot) {
        slot = std::make_unique<CDC>();
        slot->m_hDC = dc;
    }
    return slot.get();
}

void CDC::DeleteTempMap() {
    Temporaries().wrappers.clear();
}

CPen* CDC::SelectObject(CPen* pen) {
    return Previous<CPen>(::SelectObject(m_hDC, HandleOf(pen)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
    return Previous<CBrush>(::SelectObject(m_hDC, HandleOf(brush)));
}
CFont* CDC::SelectObject(CFont* font) {
    return Previous<CFont>(::SelectObject(m_hDC, HandleOf(font)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return Previous<CBitmap>(::SelectObject(m_hDC, HandleOf(bitmap)));
}
CGdiObject* CDC::SelectObject(CGdiObject* object) {
    return Previous<CGdiObject>(::SelectObject(m_hDC, HandleOf(object)));
}
CGdiObject* CDC::SelectStockObject(int index) {
    return Previous<CGdiObject>(::SelectObject(m_hDC, ::GetStockObject(index)));
}
CFont* CDC::GetCurrentFont() const {
    return Previous<CFont>(::GetCurrentObject(m_hDC, OBJ_FONT));
}
CPen* CDC::GetCurrentPen() const {
    return Previous<CPen>(::GetCurrentObject(m_hDC, OBJ_PEN));
}
CBrush* CDC::GetCurrentBrush() const {
    return Previous<CBrush>(::GetCurrentObject(m_hDC, OBJ_BRUSH));
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return ::SetTextColor(m_hDC, color);
}
COLORREF CDC::GetTextColor() const {
    return ::GetTextColor(m_hDC);
}
COLORREF CDC::SetBkColor(COLORREF color) {
    return ::SetBkColor(m_hDC, color);
}
COLORREF CDC::GetBkColor() const {
    return ::GetBkColor(m_hDC);
}
int CDC::SetBkMode(int mode) {
    return ::SetBkMode(m_hDC, mode);
}
int CDC::GetBkMode() const {
    return ::GetBkMode(m_hDC);
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
    ::FillRect(m_hDC, rect, brush != nullptr ? static_cast<HBRUSH>(*brush) : nullptr);
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
    ::FrameRect(m_hDC, rect, brush != nullptr ? static_cast<HBRUSH>(*brush) : nullptr);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    if (rect == nullptr) return;
    ::SetBkColor(m_hDC, color);
    ::FillSolidRect(m_hDC, *rect, color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    return ::Rectangle(m_hDC, left, top, right, bottom);
}

BOOL CDC::Rectangle(const RECT* rect) {
    return rect != nullptr && ::Rectangle(m_hDC, rect->left, rect->top, rect->right, rect->bottom);
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
    if (rect == nullptr) return;
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft,
               bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx, y, -1, cy, bottomRight);
    FillSolidRect(x, y + cy, cx, -1, bottomRight);
}

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) {
    return ::DrawEdge(m_hDC, rect, edge, flags);
}

POINT CDC::MoveTo(int x, int y) {
    POINT previous{};
    ::MoveToEx(m_hDC, x, y, &previous);
    return previous;
}

BOOL CDC::LineTo(int x, int y) {
    return ::LineTo(m_hDC, x, y);
}
COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
    return ::SetPixel(m_hDC, x, y, color);
}
COLORREF CDC::GetPixel(int x, int y) const {
    return ::GetPixel(m_hDC, x, y);
}

BOOL CDC::TextOut(int x, int y, std::u16string_view text) {
    return ::ExtTextOutW(m_hDC, x, y, 0, nullptr, text.data(), static_cast<int>(text.size()),
                         nullptr);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, std::u16string_view text,
                     const int* advances) {
    return ::ExtTextOutW(m_hDC, x, y, options, rect, text.data(), static_cast<int>(text.size()),
                         advances);
}

int CDC::DrawText(std::u16string_view text, RECT* rect, UINT format) {
    return ::DrawTextW(m_hDC, text.data(), static_cast<int>(text.size()), rect, format);
}

SIZE CDC::GetTextExtent(std::u16string_view text) const {
    SIZE size{};
    ::GetTextExtentPoint32W(m_hDC, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

BOOL CDC::GetTextMetrics(TEXTMETRICW* metrics) const {
    return ::GetTextMetricsW(m_hDC, metrics);
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, cx, cy, source != nullptr ? source->m_hDC : nullptr, sx, sy, rop);
}

BOOL CDC::StretchBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, int sw, int sh,
                     DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, cx, cy, source != nullptr ? source->m_hDC : nullptr, sx, sy,
                        sw, sh, rop);
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    return ::DrawIcon(m_hDC, x, y, icon);
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    return ::IntersectClipRect(m_hDC, left, top, right, bottom);
}

int CDC::IntersectClipRect(const RECT* rect) {
    if (rect == nullptr) return ERROR;
    return ::IntersectClipRect(m_hDC, rect->left, rect->top, rect->right, rect->bottom);
}

int CDC::GetClipBox(RECT* rect) const {
    return ::GetClipBox(m_hDC, rect);
}
int CDC::GetDeviceCaps(int index) const {
    return ::GetDeviceCaps(m_hDC, index);
}
