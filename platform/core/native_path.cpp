#include "platform/core/native_path.h"

#include "platform/core/text.h"

std::string ToNativePath(std::u16string_view path) { return Utf16ToUtf8(path); }

std::u16string FromNativePath(std::string_view path) { return Utf8ToUtf16(path); }
