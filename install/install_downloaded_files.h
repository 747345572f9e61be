#pragma once
// Installing a completely downloaded update while the user watches: wait
// until the main program is closed, put every file in place, stamp the new
// version and start the main program again.

#include <string>

#include "app/update_state.h"
#include "install/process_control.h"
#include "platform/core/win_types.h"

// Caption of every message box of the installation.
inline constexpr char16_t kInstallCaption[] = u"Tevorin自动升级";
inline constexpr char16_t kCloseMainProgramText[] =
    u"Tevorin通软件正在运行，无法安装，请手动关闭后在试。\n点击“取消”退出升级。";
inline constexpr char16_t kFileFailedFormat[] = u"%s更新失败！";
inline constexpr char16_t kInstallFailedText[] =
    u"自动升级失败，请重新再试，如果还有问题，请到Tevorin官方网站下载最新版本。";
// Message box types: OK and Cancel with the information icon; OK alone with
// the exclamation icon.
inline constexpr UINT kCloseMainProgramBoxType = 0x00000001 | 0x00000040;
inline constexpr UINT kFailureBoxType = 0x00000000 | 0x00000030;

// The product web site's page with the latest full version, opened after a
// failed installation.
inline constexpr char16_t kProductDownloadPage[] = u"http://www.tevorin.example/download";

// A modal message box; returns the pressed button's id.
using MessageBoxFunction = int (*)(HWND owner, const char16_t* text, const char16_t* caption,
                                   UINT type);

struct InteractiveInstallation {
    HWND owner = nullptr;       // the wizard: owner of every message box
    std::u16string upgradeDir;  // where the files were downloaded, ending in '/'
    std::u16string installDir;  // the main program's directory, ending in '/'
    MessageBoxFunction messageBox = nullptr;  // required
    ProcessServices* processes = nullptr;  // null: the system's
};

// While the main program runs, asks the user to close it (Cancel gives up:
// false, nothing touched, nothing more shown). Then installs every file of
// `state.files` in list order, reporting each failure by name and going on.
// When all are in place, stamps `state.serverVersion` into
// installDir + "Tevorin.exe" and starts that program: true. Otherwise (a file
// or the stamp failed) shows the failure message and opens the product's
// download page: false, the main program not started.
[[nodiscard]] bool InstallDownloadedFiles(const InteractiveInstallation& installation,
                                          const UpdateState& state);
