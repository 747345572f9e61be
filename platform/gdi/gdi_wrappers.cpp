#include "platform/gdi/gdi_wrappers.h"

#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/cdc.h"
#include "platform/gdi/image_resources.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"

struct TemporaryGdiWrappers {
    struct Entry {
        DWORD kind = 0;
        std::unique_ptr<CGdiObject> wrapper;
    };
    std::map<HGDIOBJ, Entry> wrappers;
    // Wrappers whose handle value came back as an object of another kind;
    // callers may still hold them, so they live until DeleteTempMap.
    std::vector<std::unique_ptr<CGdiObject>> retired;

    CGdiObject* For(HGDIOBJ object) {
        if (object == nullptr) return nullptr;
        const DWORD kind = GetObjectType(object);
        Entry& entry = wrappers[object];
        if (entry.wrapper && entry.kind != kind) retired.push_back(std::move(entry.wrapper));
        std::unique_ptr<CGdiObject>& slot = entry.wrapper;
        entry.kind = kind;
        if (!slot) {
            switch (kind) {
                case OBJ_PEN:
                    slot = std::make_unique<CPen>();
                    break;
                case OBJ_BRUSH:
                    slot = std::make_unique<CBrush>();
                    break;
                case OBJ_FONT:
                    slot = std::make_unique<CFont>();
                    break;
                case OBJ_BITMAP:
                    slot = std::make_unique<CBitmap>();
                    break;
                default:
                    slot = std::make_unique<CGdiObject>();
                    break;
            }
            slot->m_hObject = object;
            slot->owns_ = false;
        }
        return slot.get();
    }
};

namespace {

TemporaryGdiWrappers& Temporaries() {
    thread_local TemporaryGdiWrappers temporaries;
    return temporaries;
}

}  // namespace

CGdiObject::~CGdiObject() {
    if (owns_) DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (object == nullptr || m_hObject != nullptr) return FALSE;
    m_hObject = object;
    owns_ = true;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    HGDIOBJ object = Detach();
    return owns_ ? ::DeleteObject(object) : TRUE;
}

int CGdiObject::GetObject(int bufferSize, void* buffer) const {
    return ::GetObjectW(m_hObject, bufferSize, buffer);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) {
    return Temporaries().For(object);
}

void CGdiObject::DeleteTempMap() {
    Temporaries().wrappers.clear();
    Temporaries().retired.clear();
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    return Attach(::CreatePen(style, width, color));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreateSysColorBrush(int index) {
    return Attach(::GetSysColorBrush(index));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* description) {
    if (m_hObject != nullptr) return FALSE;
    return Attach(::CreateFontIndirectW(description));
}

BOOL CFont::CreatePointFont(int tenthsOfPoints, const char16_t* faceName) {
    LOGFONTW description{};
    // Rounded as the system rounds point sizes to pixels.
    const long long scaled = static_cast<long long>(tenthsOfPoints) * kScreenDpi;
    description.lfHeight = -static_cast<LONG>((scaled + 360) / 720);
    description.lfWeight = FW_NORMAL;
    if (faceName != nullptr) {
        for (int i = 0; i < LF_FACESIZE - 1 && faceName[i] != 0; ++i)
            description.lfFaceName[i] = faceName[i];
    }
    return CreateFontIndirect(&description);
}

int CFont::GetLogFont(LOGFONTW* description) const {
    return ::GetObjectW(m_hObject, sizeof(LOGFONTW), description);
}

BOOL CBitmap::LoadBitmap(int id) {
    if (m_hObject != nullptr) return FALSE;
    return Attach(::LoadBitmapW(nullptr, id));
}

BOOL CBitmap::LoadBitmapFromBytes(std::span<const std::uint8_t> bytes) {
    if (m_hObject != nullptr) return FALSE;
    return Attach(::CreateBitmapFromBytes(bytes));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* reference, int width, int height) {
    if (m_hObject != nullptr) return FALSE;
    return Attach(
        ::CreateCompatibleBitmap(reference != nullptr ? reference->m_hDC : nullptr, width, height));
}

int CBitmap::GetBitmap(BITMAP* description) const {
    return ::GetObjectW(m_hObject, sizeof(BITMAP), description);
}

SIZE CBitmap::GetBitmapDimension() const {
    BITMAP description;
    if (GetBitmap(&description) == 0) return SIZE{};
    return SIZE{description.bmWidth, description.bmHeight};
}
