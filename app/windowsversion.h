#pragma once
// Which Windows the program runs on, as far as the launcher's compatibility notice cares.

#include <optional>

enum class WindowsRelease { NotWindows10, Windows10 };

// On Windows the running release; everywhere else NotWindows10.
WindowsRelease runningWindowsRelease();

// Tests: answer this instead of asking the system (nullopt: ask again).
void overrideWindowsReleaseForTests(std::optional<WindowsRelease> release);
