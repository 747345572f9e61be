#include "app/update_state.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(UpdateState, StartsEmptyBeforeStartUp) {
    EXPECT_EQ(theUpdateState.installedVersion, 0u);
    EXPECT_EQ(theUpdateState.serverVersion, 0u);
    EXPECT_EQ(theUpdateState.mainWindow, nullptr);
    EXPECT_EQ(theUpdateState.userUpgrade, 0);
    EXPECT_EQ(theUpdateState.UiLanguage, 0);
    EXPECT_TRUE(theUpdateState.action.empty());
    EXPECT_TRUE(theUpdateState.description.empty());
    EXPECT_TRUE(theUpdateState.files.empty());
}

TEST(UpdateState, KeepsRecordsAtTheirIndexAndOwnsThem) {
    // The leak checker of the test build fails the run if the state does not
    // free its records.
    UpdateState state;
    for (const char16_t* name : {u"a.dll", u"b.exe", u"c.txt"}) {
        auto record = std::make_unique<UpdateFileEntry>();
        *record = {};
        CopyToSlot(record->filename, name);
        state.files.push_back(std::move(record));
    }
    ASSERT_EQ(state.files.size(), 3u);
    EXPECT_EQ(ReadSlot(state.files[0]->filename), u"a.dll");
    EXPECT_EQ(ReadSlot(state.files[2]->filename), u"c.txt");
}

}  // namespace
