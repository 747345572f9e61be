// tevorin-wizard-shot MANIFEST LANGUAGE OUT.png [--file-list]
//
// Shows the update wizard for the manifest (UTF-8 XML, as the update server
// sends it) in the language ("ch", "tw" or "en", as the settings file names
// it) on the headless display, waiting on its description page (or, with
// --file-list, with its file list page in front as a download starts), and
// writes a PNG of the window, frame and caption included. The wizard's download
// directory is made next to this program, as the updater makes it next to
// itself. Exit codes: 0 written, 1 the picture could not be made, 2 usage.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/update_state.h"
#include "manifest/parse_update_manifest.h"
#include "platform/controls/control_classes.h"
#include "platform/core/text.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "resources/tevorin_resources.h"
#include "ui/download_dlg.h"
#include "ui/download_page1.h"
#include "ui/download_page2.h"
#include "ui/download_services.h"

namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Usage() {
    std::fprintf(stderr, "usage: tevorin-wizard-shot MANIFEST ch|tw|en OUT.png [--file-list]\n");
    return kUsage;
}

bool ReadFile(const char* path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    *bytes = text.str();
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) return Usage();
    const bool fileList = argc == 5;
    if (fileList && std::string(argv[4]) != "--file-list") return Usage();
    const std::string language = argv[2];
    if (language != "ch" && language != "tw" && language != "en") return Usage();
    theUpdateState.UiLanguage = language == "ch" ? 0 : language == "tw" ? 1 : 2;

    std::string manifest;
    if (!ReadFile(argv[1], &manifest)) {
        std::fprintf(stderr, "tevorin-wizard-shot: cannot read %s\n", argv[1]);
        return kFailed;
    }
    ParseUpdateManifest(Utf8ToUtf16(manifest), theUpdateState.serverVersion,
                        theUpdateState.description, theUpdateState.action, theUpdateState.files);
    if (theUpdateState.files.empty()) {
        std::fprintf(stderr, "tevorin-wizard-shot: %s offers no files, so no wizard would open\n",
                     argv[1]);
        return kFailed;
    }

    (void)InstallResourceTable(&TevorinResourceTable());
    if (!tevorin::controls::RegisterControlClasses()) {
        std::fprintf(stderr, "tevorin-wizard-shot: the control classes cannot be registered\n");
        return kFailed;
    }
    // Only the picture is wanted: whatever the manifest's word, nothing is
    // stopped, installed or fetched.
    TheDownloadServices() = InertDownloadServices();
    const UINT wizardTemplate = theUpdateState.UiLanguage == 2 ? 136 : 103;
    auto* wizard = new CDownloadDlg(wizardTemplate, CWnd::FromHandle(GetDesktopWindow()));
    const HWND window = wizard->m_hWnd;
    if (window == nullptr) {
        delete wizard;
        std::fprintf(stderr, "tevorin-wizard-shot: the wizard's window cannot be made\n");
        return kFailed;
    }
    if (fileList) {
        wizard->descriptionPage->ShowWindow(SW_HIDE);
        wizard->fileListPage->ShowWindow(SW_SHOW);
    }
    wizard->ShowWindow(SW_SHOW);
    (void)UpdateWindow(window);
    const bool written = tevorin::win::SnapshotWindow(window, argv[3]);
    wizard->DestroyWindow();  // the wizard deletes itself
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);
    }
    if (!written) {
        std::fprintf(stderr, "tevorin-wizard-shot: cannot write %s\n", argv[3]);
        return kFailed;
    }
    return kWritten;
}
