#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

// Every object a Create... call made and DeleteObject has not yet freed.
// Objects are made and freed on the UI thread, but tests measure text on
// several threads, so the table has a lock.
struct ObjectTable {
    std::mutex lock;
    std::unordered_set<const GdiObject*> live;
};

ObjectTable& Table() {
    static ObjectTable table;
    return table;
}

template <typename T>
T* Register(T* object) {
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    table.live.insert(object);
    return object;
}

struct StockObjects {
    GdiBrush brushes[6];
    GdiPen pens[3];
    GdiFont systemFont;
    GdiFont guiFont;
    GdiBitmap defaultBitmap;

    StockObjects() {
        const COLORREF brushColors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                        RGB(64, 64, 64),    RGB(0, 0, 0),       RGB(0, 0, 0)};
        for (int i = 0; i < 6; ++i) brushes[i].color = brushColors[i];
        brushes[NULL_BRUSH].hollow = true;
        pens[0].color = RGB(255, 255, 255);
        pens[1].color = RGB(0, 0, 0);
        pens[2].style = PS_NULL;
        systemFont.description.lfHeight = 16;
        systemFont.description.lfWeight = FW_BOLD;
        CopyFaceName(systemFont.description, u"System");
        guiFont.description.lfHeight = -11;
        guiFont.description.lfWeight = FW_NORMAL;
        CopyFaceName(guiFont.description, u"MS Shell Dlg");
        for (GdiBrush& brush : brushes) RegisterStockObject(&brush);
        for (GdiPen& pen : pens) RegisterStockObject(&pen);
        RegisterStockObject(&systemFont);
        RegisterStockObject(&guiFont);
        defaultBitmap.image.Resize(1, 1, 0);
        RegisterStockObject(&defaultBitmap);
    }

    static void CopyFaceName(LOGFONTW& font, const char16_t* name) {
        std::size_t n = std::char_traits<char16_t>::length(name);
        n = std::min<std::size_t>(n, LF_FACESIZE - 1);
        std::copy(name, name + n, font.lfFaceName);
        font.lfFaceName[n] = 0;
    }
};

StockObjects& Stock() {
    static StockObjects stock;
    return stock;
}

template <typename Description>
int CopyOut(const Description& description, int bufferSize, void* buffer) {
    const int needed = static_cast<int>(sizeof(Description));
    if (buffer == nullptr) return needed;
    if (bufferSize < needed) return 0;
    std::memcpy(buffer, &description, sizeof(Description));
    return needed;
}

}  // namespace

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* brush = new GdiBrush;
    brush->color = color & 0x00FFFFFFu;
    return Register(brush);
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto* pen = new GdiPen;
    pen->style = style;
    pen->width = std::max(width, 1);
    pen->color = color & 0x00FFFFFFu;
    return Register(pen);
}

HFONT CreateFontIndirectW(const LOGFONTW* description) {
    if (description == nullptr) return nullptr;
    auto* font = new GdiFont;
    font->description = *description;
    // The face name need not be terminated in the caller's copy; ours is.
    font->description.lfFaceName[LF_FACESIZE - 1] = 0;
    return Register(font);
}

HBITMAP CreateBitmapOfSize(int width, int height) {
    constexpr int kLargest = 16384;
    if (width < 1 || height < 1 || width > kLargest || height > kLargest) return nullptr;
    auto* bitmap = new GdiBitmap;
    bitmap->image.Resize(width, height, 0);
    return Register(bitmap);
}

bool IsLiveObject(const GdiObject* object, DWORD kind) {
    if (object == nullptr) return false;
    Stock();  // stock objects enter the table on first use
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    return table.live.count(object) != 0 && object->kind == kind && !object->deletePending;
}

GdiObject* RegisterObject(GdiObject* object) {
    return Register(object);
}

void RegisterStockObject(GdiObject* object) {
    object->stock = true;
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    table.live.insert(object);
}

BOOL DeleteObject(HGDIOBJ object) {
    if (object == nullptr) return FALSE;
    Stock();
    ObjectTable& table = Table();
    {
        std::lock_guard guard(table.lock);
        if (table.live.count(object) == 0 || object->deletePending) return FALSE;
        if (object->stock) return TRUE;
        if (object->selections > 0) {
            object->deletePending = true;
            return TRUE;
        }
        table.live.erase(object);
    }
    delete object;
    return TRUE;
}

bool RetainSelection(GdiObject* object) {
    if (object == nullptr) return false;
    Stock();
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    if (table.live.count(object) == 0 || object->deletePending) return false;
    if (object->kind == OBJ_BITMAP && !object->stock && object->selections > 0) return false;
    ++object->selections;
    return true;
}

bool ReleaseSelection(GdiObject* object) {
    if (object == nullptr) return true;
    ObjectTable& table = Table();
    {
        std::lock_guard guard(table.lock);
        if (object->selections > 0) --object->selections;
        if (object->selections > 0 || !object->deletePending) return true;
        table.live.erase(object);
    }
    delete object;
    return false;
}

HBITMAP DefaultBitmap() {
    return &Stock().defaultBitmap;
}

HGDIOBJ GetStockObject(int index) {
    StockObjects& stock = Stock();
    if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return &stock.brushes[index];
    if (index >= WHITE_PEN && index <= NULL_PEN) return &stock.pens[index - WHITE_PEN];
    if (index == SYSTEM_FONT) return &stock.systemFont;
    if (index == DEFAULT_GUI_FONT) return &stock.guiFont;
    return nullptr;
}

DWORD GetObjectType(HGDIOBJ object) {
    for (DWORD kind : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP})
        if (IsLiveObject(object, kind)) return kind;
    return 0;
}

int GetObjectW(HGDIOBJ object, int bufferSize, void* buffer) {
    switch (GetObjectType(object)) {
        case OBJ_BRUSH: {
            const auto* brush = static_cast<const GdiBrush*>(object);
            LOGBRUSH description;
            description.lbStyle = brush->hollow ? BS_NULL : BS_SOLID;
            description.lbColor = brush->color;
            return CopyOut(description, bufferSize, buffer);
        }
        case OBJ_PEN: {
            const auto* pen = static_cast<const GdiPen*>(object);
            LOGPEN description;
            description.lopnStyle = static_cast<UINT>(pen->style);
            description.lopnWidth.x = pen->width;
            description.lopnColor = pen->color;
            return CopyOut(description, bufferSize, buffer);
        }
        case OBJ_FONT:
            return CopyOut(static_cast<const GdiFont*>(object)->description, bufferSize, buffer);
        case OBJ_BITMAP: {
            auto* bitmap = static_cast<GdiBitmap*>(object);
            BITMAP description;
            description.bmWidth = bitmap->image.width;
            description.bmHeight = bitmap->image.height;
            description.bmWidthBytes = bitmap->image.width * 4;
            description.bmBits = bitmap->image.pixels.data();
            return CopyOut(description, bufferSize, buffer);
        }
        default:
            return 0;
    }
}
