#pragma once
// The manifest's action words and the titles the description page shows for
// them. Action words are compared exactly, case included.

inline constexpr const char16_t* kActionDefault = u"Default";
inline constexpr const char16_t* kActionUserPrompt = u"UserPrompt";
inline constexpr const char16_t* kActionUpdateRightNow = u"UpdateRightNow";

inline constexpr const char16_t* kUserPromptTitle = u"Tevorin有新版本了！";
inline constexpr const char16_t* kUpdateRightNowTitle = u"Tevorin有新版本了！请升级到最新版本。";
