// The whole wizard downloading 20 files of 10 MiB from the local nginx on the
// headless display: the workers' reports go through the real handlers into
// the file list, which paints its progress column. Timed from Next to the
// wizard's close; the installation is left out.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/module_dir.h"
#include "app/update_state.h"
#include "bench_memory.h"
#include "local_nginx.h"
#include "manifest/update_file_entry.h"
#include "platform/controls/control_classes.h"
#include "platform/core/native_path.h"
#include "platform/resource/resource_table.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "resources/tevorin_resources.h"
#include "ui/download_dlg.h"
#include "ui/download_services.h"

namespace {

int g_installs = 0;

std::string DownloadDir() {
    char name[16];
    std::snprintf(name, sizeof name, "%X", theUpdateState.serverVersion);
    return ToNativePath(GetModuleDir()) + "upgrade/" + name;
}

void FillUpdateState(const LocalNginx& server, const std::vector<std::string>& names) {
    theUpdateState.serverVersion = 0x7E000000u + static_cast<DWORD>(::getpid() & 0xFFFFFF);
    theUpdateState.action = u"UserPrompt";
    theUpdateState.userUpgrade = 0;
    theUpdateState.description = u"benchmark";
    theUpdateState.files.clear();
    for (const std::string& name : names) {
        auto entry = std::make_unique<UpdateFileEntry>();
        CopyToSlot(entry->src, FromNativePath(server.Url(name)));
        CopyToSlot(entry->filename, FromNativePath(name));
        theUpdateState.files.push_back(std::move(entry));
    }
}

void BM_WizardTwentyFilesOf10MiB(benchmark::State& state) {
    LocalNginx& server = Server();
    if (!server.Error().empty()) {
        state.SkipWithError(server.Error().c_str());
        return;
    }
    (void)InstallResourceTable(&TevorinResourceTable());
    if (!tevorin::controls::RegisterControlClasses()) {
        state.SkipWithError("the control classes cannot be registered");
        return;
    }
    DownloadServices& services = TheDownloadServices();
    const DownloadServices saved = services;
    services.stopMainProgram = [] {};
    services.installNow = [](CDownloadDlg&) { ++g_installs; };
    const std::vector<std::string> names = server.Names("many");
    long peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FillUpdateState(server, names);
        std::error_code ignored;
        std::filesystem::remove_all(DownloadDir(), ignored);
        SettleDisk();
        ResetPeakResident();
        g_installs = 0;
        auto* wizard = new CDownloadDlg(103, CWnd::FromHandle(GetDesktopWindow()));
        if (wizard->m_hWnd == nullptr) {
            delete wizard;
            state.SkipWithError("the wizard cannot be made");
            break;
        }
        wizard->ShowWindow(SW_SHOW);
        const HWND window = wizard->m_hWnd;
        state.ResumeTiming();
        // Next, as the user presses it; the wizard closes when every file is
        // in place and posts the quit message.
        SendMessageW(window, WM_COMMAND, IDOK, 0);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageW(&msg);
            // After a failure the wizard stays open to offer the retry, and
            // nothing more would come: the run ends as the user's Cancel would.
            if (IsWindow(window) && wizard->retryOffered) SendMessageW(window, WM_CLOSE, 0, 0);
        }
        state.PauseTiming();
        if (g_installs != 1) {
            state.SkipWithError("a download failed");
            break;
        }
        peak = std::max(peak, PeakResidentKiB());
        std::filesystem::remove_all(DownloadDir(), ignored);
        state.ResumeTiming();
    }
    services = saved;
    theUpdateState.files.clear();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(server.Bytes("many")));
    state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
}

BENCHMARK(BM_WizardTwentyFilesOf10MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
