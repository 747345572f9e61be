#pragma once
// Which dialog template a window is built from, by the user-interface
// language. Language 2 is English; every other value, the two Chinese
// settings included, gives the simplified Chinese set.

enum class ProgramDialog {
    UpdateWizard,     // CDownloadDlg
    DescriptionPage,  // CDownloadPage1
    FileListPage,     // CDownloadPage2
    UpdatingNotice,   // CDefaultUpgradeMessageDlg: Chinese in every language
    UpdateCheckHost,  // the hidden host window: one template for both
};

inline constexpr int kUiLanguageEnglish = 2;

int DialogTemplateFor(ProgramDialog dialog, int uiLanguage);
