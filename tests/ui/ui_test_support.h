#pragma once
// Shared by the wizard tests: the program's resources, an update state filled
// from a manifest, a framework window to host controls, and pixel reads from
// windows painted on the headless display.

#include <string>

#include "platform/framework/wnd.h"
#include "platform/gdi/device_context.h"

// The manifest of the fixtures: version 2A, action "UserPrompt", a
// description in both languages and three files.
std::string SampleManifestPath();

// Installs the program's resource table and registers the control classes;
// fails the test when either does not work.
void PrepareProgramResources();

// Empties the process's update state and fills it from a manifest file (UTF-8).
void LoadUpdateStateFrom(const std::string& manifestPath);
// Empties the process's update state.
void ClearUpdateState();

// A visible top-level framework window that reflects notifications and
// colour requests back to the controls bound under it.
class HostWindow : public CWnd {
  public:
    HostWindow(int width, int height);
    ~HostWindow() override;
};

// The colour of a pixel of the window as last painted, in client coordinates
// (or window coordinates with `frame`); CLR_INVALID outside.
COLORREF PixelOf(HWND window, int x, int y, bool frame = false);
// Pixels of `colour` inside `rect` (client coordinates, right and bottom
// exclusive).
int CountOf(HWND window, const RECT& rect, COLORREF colour);
// Pixels of antialiased text drawn in `ink` over `background`: a blend of the
// two that is at least half ink. Thin strokes rarely reach the pure colour.
int CountInkOf(HWND window, const RECT& rect, COLORREF ink, COLORREF background);
