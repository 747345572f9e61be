#pragma once
// The framework's device-context class: a CDC wraps one HDC and offers the
// drawing operations as members.
//
// A CDC made with CreateCompatibleDC owns its memory context and deletes it;
// one that wraps a context by Attach or FromHandle does not (the window
// system releases paint and window contexts). Selecting returns the wrapper
// of the object that was selected before, so that code can put it back.
//
// Like the framework it stands in for, FillSolidRect (and so Draw3dRect)
// leaves the context's background colour set to the colour it filled with.

#include <string_view>

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_wrappers.h"
#include "platform/gdi/icon.h"

class CDC {
  public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    // Wraps `dc` without owning it; FALSE when this CDC already wraps one.
    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* reference);
    BOOL DeleteDC();

    // A non-owning wrapper for the calling thread; see CGdiObject::FromHandle.
    static CDC* FromHandle(HDC dc);
    static void DeleteTempMap();

    // Selection. Each returns the previously selected object's wrapper, or
    // null when the new object could not be selected.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CFont* GetCurrentFont() const;
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;

    void FillRect(const RECT* rect, CBrush* brush);
    void FrameRect(const RECT* rect, CBrush* brush);
    void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT* rect);
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    POINT MoveTo(int x, int y);  // returns the previous position
    BOOL LineTo(int x, int y);
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;

    BOOL TextOut(int x, int y, std::u16string_view text);
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, std::u16string_view text,
                    const int* advances);
    int DrawText(std::u16string_view text, RECT* rect, UINT format);
    SIZE GetTextExtent(std::u16string_view text) const;
    BOOL GetTextMetrics(TEXTMETRICW* metrics) const;

    BOOL BitBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, int sw, int sh,
                    DWORD rop);
    BOOL DrawIcon(int x, int y, HICON icon);

    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const RECT* rect);
    int GetClipBox(RECT* rect) const;
    int GetDeviceCaps(int index) const;

  protected:
    bool ownsContext_ = false;
    friend struct TemporaryDcWrappers;
};
