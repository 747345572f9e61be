#pragma once
// The statements of a resource script that have a body, each read after its
// id and keyword.

#include "platform/resource/dialog_template.h"
#include "platform/resource/version_info.h"
#include "tools/rescomp/token_cursor.h"

DialogTemplate ReadDialogStatement(TokenCursor& cursor, int id);
VersionInfo ReadVersionInfoStatement(TokenCursor& cursor);
