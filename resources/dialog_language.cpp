#include "resources/dialog_language.h"

#include "resources/resource_ids.h"

int DialogTemplateFor(ProgramDialog dialog, int uiLanguage) {
    const bool english = uiLanguage == kUiLanguageEnglish;
    switch (dialog) {
        case ProgramDialog::UpdateWizard: return english ? IDD_DOWNLOAD_DLG_EN : IDD_DOWNLOAD_DLG;
        case ProgramDialog::DescriptionPage:
            return english ? IDD_DOWNLOAD_PAGE1_EN : IDD_DOWNLOAD_PAGE1;
        case ProgramDialog::FileListPage: return english ? IDD_DOWNLOAD_PAGE2_EN : IDD_DOWNLOAD_PAGE2;
        // The English notice exists in the resources, but the notice is
        // always shown in Chinese.
        case ProgramDialog::UpdatingNotice: return IDD_UPGRADE_MESSAGE_DLG;
        case ProgramDialog::UpdateCheckHost: return IDD_UPDATE_CHECK_DLG;
    }
    return IDD_UPDATE_CHECK_DLG;
}
