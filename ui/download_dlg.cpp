#include "ui/download_dlg.h"

#include "app/module_dir.h"
#include "app/update_state.h"
#include "app/version.h"
#include "platform/fs/file_operations.h"
#include "resources/dialog_language.h"
#include "resources/resource_ids.h"
#include "ui/download_page1.h"
#include "ui/download_page2.h"
#include "ui/download_services.h"
#include "ui/update_actions.h"

CDownloadDlg* theDownloadDlg = nullptr;

namespace {

// A directory that already exists is as good as a new one; one that cannot
// be made shows up later, when a file cannot be written into it.
void MakeDirectory(const std::u16string& path) {
    (void)CreateDirectoryW(path.c_str(), nullptr);
}

void GiveFont(CWnd* page, int controlId, CFont& font) {
    if (page == nullptr || font.GetSafeHandle() == nullptr) return;
    if (CWnd* control = page->GetDlgItem(controlId)) {
        (void)control->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)),
                                   TRUE);
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CDownloadDlg, CDialog)
ON_COMMAND(IDCANCEL, &CDownloadDlg::OnCancelClicked)
ON_MESSAGE(WM_DOWNLOAD_SIZE, &CDownloadDlg::OnDownloadSize)
ON_MESSAGE(WM_DOWNLOAD_DONE, &CDownloadDlg::OnDownloadDone)
ON_MESSAGE(WM_DOWNLOAD_PROGRESS, &CDownloadDlg::OnDownloadProgress)
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_COMMAND(IDOK, &CDownloadDlg::StartDownload)
END_MESSAGE_MAP()

CDownloadDlg::CDownloadDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {
    // Set before the window exists: its initialisation may already start
    // workers, and they find the wizard through this pointer.
    theDownloadDlg = this;
    started = 0;
    retryMode = 0;
    descriptionPage = nullptr;
    fileListPage = nullptr;
    (void)Create(templateId, parent);
}

CDownloadDlg::~CDownloadDlg() {
    // First of all: downloads still running read this object.
    ReleaseWorkers();
    // Pages whose windows were still going when the wizard's window was
    // destroyed, or that an early deletion finds alive, go here.
    delete descriptionPage;
    descriptionPage = nullptr;
    delete fileListPage;
    fileListPage = nullptr;
    upgradeDir.clear();
    (void)boldFont.DeleteObject();
    if (theDownloadDlg == this) theDownloadDlg = nullptr;
}

void CDownloadDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}

BOOL CDownloadDlg::OnInitDialog() {
    (void)CDialog::OnInitDialog();
    const int language = theUpdateState.UiLanguage;

    upgradeDir = GetModuleDir() + u"upgrade/";
    MakeDirectory(upgradeDir);
    upgradeDir += VersionDirName(theUpdateState.serverVersion) + u"/";
    MakeDirectory(upgradeDir);

    MakeBoldFont();

    const RECT pageArea = PageArea();

    const auto page1Template =
        static_cast<UINT>(DialogTemplateFor(ProgramDialog::DescriptionPage, language));
    descriptionPage = new CDownloadPage1(page1Template, this);
    (void)descriptionPage->Create(page1Template, this);
    descriptionPage->MoveWindow(&pageArea, TRUE);
    descriptionPage->ShowWindow(SW_SHOW);
    descriptionPage->descriptionEdit.textColour = kDescriptionTextColour;
    if (descriptionPage->descriptionEdit.m_hWnd != nullptr)
        descriptionPage->descriptionEdit.Invalidate(TRUE);
    GiveFont(descriptionPage, IDC_PAGE1_TITLE, boldFont);
    descriptionPage->SetDlgItemTextW(IDC_DESCRIPTION_EDIT, theUpdateState.description.c_str());

    const auto page2Template =
        static_cast<UINT>(DialogTemplateFor(ProgramDialog::FileListPage, language));
    fileListPage = new CDownloadPage2(page2Template, this);
    (void)fileListPage->Create(page2Template, this);
    fileListPage->MoveWindow(&pageArea, TRUE);
    GiveFont(fileListPage, IDC_FILE_LIST_HEADING, boldFont);
    if (fileListPage->fileList.m_hWnd != nullptr) fileListPage->fileList.InitFileList();
    fileListPage->ShowWindow(SW_HIDE);

    SetTitleByAction();
    HandOver();
    return TRUE;
}

void CDownloadDlg::HandOver() {
    if (theUpdateState.userUpgrade != 0) {
        StartDownload();
        return;
    }
    // Any other word than "Default" waits on the description page for Next.
    if (theUpdateState.action != kActionDefault) return;
    // A silent run first installs what an earlier one left pending.
    const auto& installPending = TheDownloadServices().installPendingUpdate;
    if (installPending && installPending(*this)) {
        (void)PostMessage(WM_CLOSE);
        return;
    }
    StartDownload();
}

void CDownloadDlg::MakeBoldFont() {
    auto* font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW description{};
    if (font == nullptr || GetObjectW(font, sizeof(description), &description) == 0) return;
    description.lfWeight = FW_BOLD;
    (void)boldFont.CreateFontIndirect(&description);
}

RECT CDownloadDlg::PageArea() const {
    RECT area{0, 0, 0, 0};
    CWnd* frame = GetDlgItem(IDC_PAGE_AREA);
    if (frame == nullptr || frame->m_hWnd == nullptr) {
        // Without the frame the pages take the whole client area.
        GetClientRect(&area);
        return area;
    }
    frame->GetWindowRect(&area);
    ScreenToClient(&area);
    return area;
}

void CDownloadDlg::SetTitleByAction() {
    const std::u16string& action = theUpdateState.action;
    if (descriptionPage == nullptr) return;
    if (action == kActionUserPrompt) {
        descriptionPage->SetDlgItemTextW(IDC_PAGE1_TITLE, kUserPromptTitle);
    } else if (action == kActionUpdateRightNow) {
        // The main program must not run on while the update is urgent.
        const HWND mainWindow = theUpdateState.mainWindow;
        (void)::ShowWindow(mainWindow, SW_MINIMIZE);
        (void)::PostMessageW(mainWindow, WM_QUIT, 0, 0);
        descriptionPage->SetDlgItemTextW(IDC_PAGE1_TITLE, kUpdateRightNowTitle);
    }
}

void CDownloadDlg::OnCancelClicked() {
    PostMessage(WM_CLOSE);
}

void CDownloadDlg::OnClose() {
    PostQuitMessage(0);
    (void)DestroyWindow();
}

void CDownloadDlg::OnDestroy() {
    DestroyPage(descriptionPage);
    DestroyPage(fileListPage);
    (void)DefWindowProc(WM_DESTROY, 0, 0);
}

template <class Page>
void CDownloadDlg::DestroyPage(Page*& page) {
    if (page == nullptr) return;
    (void)page->DestroyWindow();
    // While the wizard's own window is going, its children go with it and
    // the page's window may still be on its way out; the page object then
    // stays until the window is gone, and the destructor deletes it.
    if (page->m_hWnd != nullptr) return;
    delete page;
    page = nullptr;
}

void CDownloadDlg::PostNcDestroy() {
    // The object goes only once its window is completely gone, so that no
    // message of the window's own destruction reaches a deleted object.
    delete this;
}
