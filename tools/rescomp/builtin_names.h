#pragma once
// The names a script may use without defining them: window, dialog and
// control styles, command ids, and the usual names of the version and
// manifest resources.

#include <cstdint>
#include <optional>
#include <string_view>

std::optional<std::int64_t> FindBuiltinName(std::string_view name);
