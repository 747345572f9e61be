#pragma once
// Recognising files that the system can start as programs.

// True when the open file is a program that the system starts itself: a
// binary executable, or a script that names its interpreter in its first
// line ("#!").
[[nodiscard]] bool IsProgramFile(int descriptor);
