// Checks of what an installation left behind, made the way a program on the
// system sees it: files on the drive, profile (INI) files, the registry, and
// shortcuts resolved by the shell. Each returns an empty text when the check
// holds, else what was found instead.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The file exists; when `original` is not empty, with exactly its bytes.
std::wstring CheckFile(const std::wstring& path, const std::wstring& original);
// Neither a file nor a folder of that name exists.
std::wstring CheckMissing(const std::wstring& path);
// Values and data are patterns: '*' stands for any run of characters.
// The key of the section holds this value (`absent` true: the key is missing).
std::wstring CheckIni(const std::wstring& file, const std::wstring& section,
                      const std::wstring& key, const std::wstring& value, bool absent);
// "HKCR\.bsp", value name ("@" for the key's default value), data; `absent` true:
// the value (or, with an empty value name, the key) is missing.
std::wstring CheckRegistry(const std::wstring& key, const std::wstring& value,
                           const std::wstring& data, bool absent);
// The shortcut file resolves to the target (case ignored); description and
// working folder are compared when given.
std::wstring CheckShortcut(const std::wstring& link, const std::wstring& target,
                           const std::wstring* description, const std::wstring* folder);

// Every file and folder below a folder with its size and last-write time, one
// line each, sorted: two listings differ exactly when something there changed.
std::vector<std::wstring> ListTree(const std::wstring& folder);
// What changed between two listings of ListTree, at most a few lines; empty
// when nothing did.
std::wstring TreeChanges(const std::vector<std::wstring>& before,
                         const std::vector<std::wstring>& after);

// Fixture: writes a shortcut through the shell (to show the check reads one).
bool MakeShortcut(const std::wstring& link, const std::wstring& target,
                  const std::wstring& description, const std::wstring& folder);

// Fixture work between runs: removes a file or a folder tree, or a registry key
// with its subkeys ("HKLM\..."); what is missing already counts as removed.
bool RemovePath(const std::wstring& path);
bool RemoveRegistryKey(const std::wstring& key);
// Copies a file, creating the target's missing folders.
bool CopyFileCreatingFolders(const std::wstring& from, const std::wstring& to);
// A string value of the registry ("HKLM\...", value name); empty when missing.
std::wstring RegistryString(const std::wstring& key, const std::wstring& value);
// Writes a string value, creating the key ("@" is the default value).
bool SetRegistryString(const std::wstring& key, const std::wstring& value,
                       const std::wstring& data);
// A medium change: empties the drive folder (files in use stay) and copies the
// new medium's files into it.
bool SwapMedium(const std::wstring& from, const std::wstring& drive);

}  // namespace e2e
