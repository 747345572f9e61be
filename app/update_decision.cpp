#include "app/update_decision.h"

#include "app/version.h"

bool IsUpdateDue(DWORD serverVersion, DWORD installedVersion, std::size_t fileCount) {
    return IsNewerVersion(serverVersion, installedVersion) && fileCount > 0;
}

bool IsWizardShown(int userUpgrade, std::u16string_view action) {
    return userUpgrade != 0 || action != kSilentAction;
}
