// Folders of the running system. Every folder returned ends with a backslash, so a
// script author writes the rest of a path right behind it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

std::string WindowsFolder();
std::string SystemFolder();

// A folder recorded under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion"
// (ProgramFilesDir, CommonFilesDir, ConfigPath, DevicePath, MediaPath). Empty when
// the key or value is missing or empty. Throws SetupError "Ungültiger Datentyp für
// '%s'" for a value that is not a string, and "Konnte Daten für '%s' nicht holen"
// when the data can't be read although its size could.
std::string CurrentVersionFolder(std::string_view valueName);

// A shell special folder by CSIDL number; nothing when the shell can't locate it.
std::optional<std::string> ShellFolderPath(int csidl);

}  // namespace setup
