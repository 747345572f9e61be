#pragma once
// What the update check decides from the manifest, and whether the wizard
// is seen.

#include <cstddef>
#include <string_view>

#include "platform/core/win_types.h"

// The action word of a silent update: no wizard unless the user asked.
inline constexpr char16_t kSilentAction[] = u"Default";

// An update is due when the server's version is above the installed one
// (unsigned) and the manifest names at least one file.
bool IsUpdateDue(DWORD serverVersion, DWORD installedVersion, std::size_t fileCount);

// The wizard is shown when the user asked for the update or the action is
// not "Default" (compared exactly); otherwise it stays hidden.
bool IsWizardShown(int userUpgrade, std::u16string_view action);
