#pragma once
// Framework classes over drawing-object handles: CGdiObject and its kinds
// CPen, CBrush, CFont and CBitmap.
//
// Ownership: a wrapper that created or attached a handle owns it and deletes
// it in its destructor (or at DeleteObject); Detach hands the handle back
// without deleting it. FromHandle gives a non-owning wrapper for a handle the
// caller got elsewhere (the previous object of a SelectObject, a window's
// font); such wrappers belong to the calling thread, are reused per handle
// and are freed by DeleteTempMap, which the message loop calls when idle.

#include <span>

#include "platform/gdi/gdi_objects.h"

class CDC;

class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    // Takes ownership of `object`; FALSE when this wrapper already holds one
    // or the handle is null.
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    // Deletes the owned object; FALSE when there is none.
    BOOL DeleteObject();
    int GetObject(int bufferSize, void* buffer) const;

    // A non-owning wrapper of the handle's kind; null for a null handle.
    static CGdiObject* FromHandle(HGDIOBJ object);
    // Frees this thread's non-owning wrappers.
    static void DeleteTempMap();

  protected:
    // Non-owning wrappers never delete their handle.
    bool owns_ = true;
    friend struct TemporaryGdiWrappers;
};

class CPen : public CGdiObject {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { (void)CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen* FromHandle(HPEN pen) { return static_cast<CPen*>(CGdiObject::FromHandle(pen)); }
};

class CBrush : public CGdiObject {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { (void)CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateSysColorBrush(int index);  // a system-owned brush; deleting it does nothing
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush* FromHandle(HBRUSH brush) {
        return static_cast<CBrush*>(CGdiObject::FromHandle(brush));
    }
};

class CFont : public CGdiObject {
  public:
    BOOL CreateFontIndirect(const LOGFONTW* description);
    // Height in tenths of a point (80 = 8 points), as dialog code asks.
    BOOL CreatePointFont(int tenthsOfPoints, const char16_t* faceName);
    int GetLogFont(LOGFONTW* description) const;
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    static CFont* FromHandle(HFONT font) {
        return static_cast<CFont*>(CGdiObject::FromHandle(font));
    }
};

class CBitmap : public CGdiObject {
  public:
    // Bitmap resource `id` of the program.
    BOOL LoadBitmap(int id);
    BOOL LoadBitmapFromBytes(std::span<const std::uint8_t> bytes);
    BOOL CreateCompatibleBitmap(CDC* reference, int width, int height);
    int GetBitmap(BITMAP* description) const;
    SIZE GetBitmapDimension() const;
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap* FromHandle(HBITMAP bitmap) {
        return static_cast<CBitmap*>(CGdiObject::FromHandle(bitmap));
    }
};
