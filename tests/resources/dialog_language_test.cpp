#include "resources/dialog_language.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogLanguage, OnlyLanguageTwoPicksTheEnglishSet) {
    struct Case {
        ProgramDialog dialog;
        int language;
        int templateId;
    };
    const Case cases[] = {
        {ProgramDialog::UpdateWizard, 0, 103},     {ProgramDialog::UpdateWizard, 1, 103},
        {ProgramDialog::UpdateWizard, 2, 136},     {ProgramDialog::UpdateWizard, 3, 103},
        {ProgramDialog::UpdateWizard, -1, 103},    {ProgramDialog::DescriptionPage, 0, 131},
        {ProgramDialog::DescriptionPage, 1, 131},  {ProgramDialog::DescriptionPage, 2, 134},
        {ProgramDialog::FileListPage, 0, 132},     {ProgramDialog::FileListPage, 1, 132},
        {ProgramDialog::FileListPage, 2, 135},     {ProgramDialog::FileListPage, 7, 132},
        {ProgramDialog::UpdatingNotice, 0, 133},   {ProgramDialog::UpdatingNotice, 1, 133},
        {ProgramDialog::UpdatingNotice, 2, 133},   {ProgramDialog::UpdateCheckHost, 0, 102},
        {ProgramDialog::UpdateCheckHost, 2, 102},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(DialogTemplateFor(cases[i].dialog, cases[i].language), cases[i].templateId)
            << "row " << i << ", language " << cases[i].language;
    }
}

}  // namespace
