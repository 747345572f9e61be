#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/update_state.h"
#include "support/ink.h"
#include "manifest/parse_update_manifest.h"
#include "platform/controls/control_classes.h"
#include "platform/core/text.h"
#include "platform/win/painting.h"
#include "resources/tevorin_resources.h"

std::string SampleManifestPath() {
    return std::string(TEVORIN_TEST_DATA_DIR) + "/ui/sample_manifest.xml";
}

void PrepareProgramResources() {
    (void)InstallResourceTable(&TevorinResourceTable());
    ASSERT_NE(FindDialogTemplate(103), nullptr);
    ASSERT_TRUE(tevorin::controls::RegisterControlClasses());
}

void ClearUpdateState() {
    theUpdateState.installedVersion = 0;
    theUpdateState.serverVersion = 0;
    theUpdateState.mainWindow = nullptr;
    theUpdateState.userUpgrade = 0;
    theUpdateState.UiLanguage = 0;
    theUpdateState.action.clear();
    theUpdateState.description.clear();
    theUpdateState.files.clear();
}

void LoadUpdateStateFrom(const std::string& manifestPath) {
    ClearUpdateState();
    std::ifstream in(manifestPath, std::ios::binary);
    ASSERT_TRUE(in) << manifestPath;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ParseUpdateManifest(Utf8ToUtf16(bytes.str()), theUpdateState.serverVersion,
                        theUpdateState.description, theUpdateState.action, theUpdateState.files);
    ASSERT_FALSE(theUpdateState.files.empty()) << "the fixture manifest has files";
}

HostWindow::HostWindow(int width, int height) {
    EXPECT_TRUE(CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, RECT{0, 0, width, height},
                         nullptr, 0));
}

HostWindow::~HostWindow() {
    if (m_hWnd != nullptr) (void)DestroyWindow();
}

COLORREF PixelOf(HWND window, int x, int y, bool frame) {
    HDC dc = frame ? GetWindowDC(window) : GetDC(window);
    if (dc == nullptr) return CLR_INVALID;
    const COLORREF colour = GetPixel(dc, x, y);
    (void)ReleaseDC(window, dc);
    return colour;
}

int CountInkOf(HWND window, const RECT& rect, COLORREF ink, COLORREF background) {
    HDC dc = GetDC(window);
    if (dc == nullptr) return 0;
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            count += IsMostlyInk(GetPixel(dc, x, y), ink, background) ? 1 : 0;
    (void)ReleaseDC(window, dc);
    return count;
}

int CountOf(HWND window, const RECT& rect, COLORREF colour) {
    HDC dc = GetDC(window);
    if (dc == nullptr) return 0;
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) count += GetPixel(dc, x, y) == colour ? 1 : 0;
    (void)ReleaseDC(window, dc);
    return count;
}
