#include "platform/win/painting.h"

#include <map>
#include <memory>
#include <set>

#include "platform/display/display_backend.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/dispatch.h"
#include "platform/win/display_link.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

std::mutex& SurfacesMutex() {
    static std::mutex mutex;
    return mutex;
}
// Framebuffers by top-level handle. Only the window's own thread draws into
// one, so the lock guards the map, not the pixels.
std::map<int, std::unique_ptr<Framebuffer>>& Surfaces() {
    static std::map<int, std::unique_ptr<Framebuffer>> surfaces;
    return surfaces;
}

thread_local std::set<int> t_painted;

Framebuffer& SurfaceOf(int top, int width, int height) {
    std::lock_guard lock(SurfacesMutex());
    auto& surface = Surfaces()[top];
    if (!surface) surface = std::make_unique<Framebuffer>();
    if (surface->width != width || surface->height != height)
        surface->Resize(width, height, PixelFromColorRef(GetSysColor(COLOR_BTNFACE)));
    return *surface;
}

RECT Offset(RECT r, LONG dx, LONG dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

enum class Area { kClient, kWholeWindow };

// A context for the window, or null. top receives the top-level handle.
HDC MakeContext(HWND hwnd, Area area, int* top) {
    int topHandle = 0;
    POINT origin;
    RECT clip;
    int width = 0;
    int height = 0;
    {
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return nullptr;
        const WindowRecord* root = record;
        while (root->parent != 0) {
            const WindowRecord* up = FindLocked(root->parent);
            if (up == nullptr) return nullptr;
            root = up;
        }
        topHandle = root->handle;
        const RECT rootClient = ClientRectLocked(*root);
        width = rootClient.right;
        height = rootClient.bottom;
        const POINT rootOrigin = ClientOriginLocked(*root);
        if (area == Area::kClient) {
            const POINT own = ClientOriginLocked(*record);
            origin = POINT{own.x - rootOrigin.x, own.y - rootOrigin.y};
            clip = Offset(ClientRectLocked(*record), origin.x, origin.y);
        } else {
            const RECT screen = WindowScreenRectLocked(*record);
            origin = POINT{screen.left - rootOrigin.x, screen.top - rootOrigin.y};
            clip = Offset(RECT{0, 0, screen.Width(), screen.Height()}, origin.x, origin.y);
        }
        // A child never draws outside its ancestors' client areas.
        for (const WindowRecord* up = record->parent != 0 ? FindLocked(record->parent) : nullptr;
             up != nullptr; up = up->parent != 0 ? FindLocked(up->parent) : nullptr) {
            const POINT upOrigin = ClientOriginLocked(*up);
            clip = Intersect(clip, Offset(ClientRectLocked(*up), upOrigin.x - rootOrigin.x,
                                          upOrigin.y - rootOrigin.y));
        }
        clip = Intersect(clip, RECT{0, 0, width, height});
    }
    if (top != nullptr) *top = topHandle;
    Framebuffer& surface = SurfaceOf(topHandle, width, height);
    if (clip.IsEmpty()) clip = RECT{0, 0, 0, 0};
    return new DeviceContext(surface, origin, clip);
}

bool FramedChild(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr || record->parent == 0) return false;
    const RECT insets = FrameInsets(record->style, record->exStyle);
    return insets.left != 0 || insets.top != 0;
}

bool ImageOf(int top, display::WindowImage* image, std::u16string* title) {
    return DescribeTopLevel(top, image, title);
}

void Present(int top) {
    display::WindowImage image;
    std::u16string title;
    if (!ImageOf(top, &image, &title)) return;
    std::lock_guard lock(SurfacesMutex());
    auto it = Surfaces().find(top);
    if (it == Surfaces().end()) return;
    image.client = it->second.get();
    display::ActiveDisplay().Present(image);
    AttachDisplayToThisThread();
}

}  // namespace

void PresentPaintedWindows() {
    if (t_painted.empty()) return;
    const std::set<int> painted = std::move(t_painted);
    t_painted.clear();
    for (int top : painted) Present(top);
}

void ForgetSurface(int handle) {
    {
        std::lock_guard lock(SurfacesMutex());
        Surfaces().erase(handle);
    }
    t_painted.erase(handle);
    display::ActiveDisplay().Forget(handle);
}

bool SnapshotWindow(HWND window, const std::string& path) {
    const int top = HwndToInt(GetTopLevelWindow(window));
    display::WindowImage image;
    std::u16string title;
    if (top == 0 || !ImageOf(top, &image, &title)) return false;
    // A window that never painted is drawn now, so the picture shows it.
    RECT client;
    GetClientRect(HwndFromInt(top), &client);
    Framebuffer& surface = SurfaceOf(top, client.right, client.bottom);
    std::lock_guard lock(SurfacesMutex());
    image.client = &surface;
    return display::ActiveDisplay().Snapshot(image, path);
}

}  // namespace tevorin::win

using namespace tevorin::win;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    if (paint == nullptr || !IsOwnWindow(hwnd)) return nullptr;
    *paint = PAINTSTRUCT{};
    RECT area;
    bool erase = false;
    if (!TakeInvalidArea(hwnd, &area, &erase)) area = RECT{};
    if (FramedChild(hwnd)) SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    int top = 0;
    HDC dc = MakeContext(hwnd, Area::kClient, &top);
    if (dc == nullptr) return nullptr;
    if (!dc->IntersectClip(area)) dc->IntersectClip(RECT{0, 0, 0, 0});
    paint->hdc = dc;
    paint->rcPaint = area;
    if (erase)
        paint->fErase =
            SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    t_painted.insert(top);
    return dc;
}

BOOL EndPaint(HWND /*hwnd*/, const PAINTSTRUCT* paint) {
    if (paint == nullptr || paint->hdc == nullptr) return FALSE;
    delete paint->hdc;
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    int top = 0;
    HDC dc = MakeContext(hwnd, Area::kClient, &top);
    if (dc != nullptr) t_painted.insert(top);
    return dc;
}

HDC GetWindowDC(HWND hwnd) {
    int top = 0;
    HDC dc = MakeContext(hwnd, Area::kWholeWindow, &top);
    if (dc != nullptr) t_painted.insert(top);
    return dc;
}

int ReleaseDC(HWND /*hwnd*/, HDC dc) {
    if (dc == nullptr) return 0;
    delete dc;
    PresentPaintedWindows();
    return 1;
}
