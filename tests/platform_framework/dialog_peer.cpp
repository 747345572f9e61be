// A program of the session for the tests that drive dialogs from another
// process with tevorin-desktop.
//   dialog_peer box CAPTION TEXT TYPE  shows one message box, prints
//                                      "answer <id>" and ends.
//   dialog_peer list                   shows the wizard with the file list
//                                      page holding two rows, prints "ready"
//                                      and ends when the wizard is closed.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/controls/common_controls.h"
#include "platform/controls/control_classes.h"
#include "platform/core/text.h"
#include "platform/framework/dialog.h"
#include "platform/resource/resource_table.h"
#include "resources/resource_ids.h"
#include "resources/tevorin_resources.h"

namespace {

int ShowBox(const char* caption, const char* text, const char* type) {
    const std::u16string title = Utf8ToUtf16(caption);
    const std::u16string message = Utf8ToUtf16(text);
    const int answer = MessageBoxW(nullptr, message.c_str(), title.c_str(),
                                   static_cast<UINT>(std::strtoul(type, nullptr, 10)));
    std::printf("answer %d\n", answer);
    std::fflush(stdout);
    return 0;
}

// Cancel and the close box end a modeless wizard by destroying it.
class Wizard : public CDialog {
  public:
    void OnCancel() override { DestroyWindow(); }

  protected:
    void PostNcDestroy() override { PostQuitMessage(0); }
};

void AddColumn(HWND list, int index, const char16_t* heading) {
    std::u16string text = heading;
    LVCOLUMNW column;
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = text.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int index, int image, LPARAM data, const char16_t* name,
            const char16_t* size) {
    std::u16string first = name;
    LVITEMW item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = first.data();
    item.iImage = image;
    item.lParam = data;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    std::u16string second = size;
    LVITEMW text;
    text.iSubItem = 1;
    text.pszText = second.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&text));
}

int ShowList() {
    InstallResourceTable(&TevorinResourceTable());
    Wizard wizard;
    CDialog page;
    if (!wizard.Create(IDD_DOWNLOAD_DLG, nullptr) || !page.Create(IDD_DOWNLOAD_PAGE2, &wizard))
        return 1;
    HWND list = GetDlgItem(page.m_hWnd, IDC_FILE_LIST);
    AddColumn(list, 0, u"文件名");
    AddColumn(list, 1, u"大小(KB)");
    AddRow(list, 0, 0, 7, u"a.dll", u"12");
    AddRow(list, 1, 2, 8, u"说明\tb.txt", u"");
    page.ShowWindow(SW_SHOW);
    wizard.ShowWindow(SW_SHOW);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!wizard.PreTranslateMessage(&msg)) DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!tevorin::controls::RegisterControlClasses()) return 1;
    if (argc == 5 && std::string(argv[1]) == "box") return ShowBox(argv[2], argv[3], argv[4]);
    if (argc == 2 && std::string(argv[1]) == "list") return ShowList();
    std::fprintf(stderr, "usage: dialog_peer box CAPTION TEXT TYPE | dialog_peer list\n");
    return 2;
}
