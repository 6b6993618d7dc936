// The single changes an uninstall is made of, each done through the seam or, in
// test mode, only described. Whatever can't be removed or restored is noted for
// the summary, and the run goes on with the next change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Os.h"

namespace setup::uninstall {

struct UninstallOutcome {
    std::vector<std::string> actions;  // test mode: every change the run would make
    std::vector<std::string> stayed;   // what is still there, one line each
    // Something the installation made could not be removed or restored (a file in
    // use, no rights): the log (with what it still names), the uninstall entry and
    // the program stay, so that the uninstall can be run again.
    bool retryNeeded = false;
    // The program's own file, moved aside to be deleted once the program has ended.
    std::string programLeftAt;
    bool Complete() const { return stayed.empty(); }
};

class Removal {
  public:
    explicit Removal(bool testMode) : testMode_(testMode) {}

    bool TestMode() const { return testMode_; }
    UninstallOutcome& Outcome() { return outcome_; }
    // How many Failed lines there are so far.
    std::size_t Failures() const { return failures_; }

    // Deletes a file, read-only or not. A file that is already gone counts as
    // removed. False when it is still there: Failed, or Kept when it is not one
    // the installation logged.
    bool RemoveFile(std::string_view path, std::string_view what, bool logged = true);
    // Removes a folder when it is empty. When it is not and `report` is set, the
    // summary names it with what it still holds. False when it is empty and still
    // can't be removed (Failed).
    bool RemoveFolderIfEmpty(std::string_view path, bool report);

    // The key's default value becomes `value`; an empty value removes the default
    // value instead (an empty previous value stands for a missing one too). False
    // when that failed.
    bool SetDefaultValue(platform::RegRoot root, std::string_view key, std::string_view value);
    // Removes a key without subkeys. Returns false when it stays; `report` puts it
    // into the summary then.
    bool RemoveKey(platform::RegRoot root, std::string_view key, bool report);
    // Removes a key only when it holds nothing at all any more; Failed when it
    // stays all the same.
    void RemoveKeyIfEmpty(platform::RegRoot root, std::string_view key);

    // Summary lines: Failed for what the installation made and could not be
    // undone, Kept for what stays for a reason the user can act on.
    void Failed(std::string line);
    void Kept(std::string line);
    void Describe(std::string action);

  private:
    bool testMode_;
    UninstallOutcome outcome_;
    std::size_t failures_ = 0;
};

// A path as the summary shows it: its blanks do not break (the dialog wraps long
// lines at blanks, which would split a folder name), and a long one is broken
// after a backslash instead.
std::string PathText(std::string_view path);
// "HKEY_CLASSES_ROOT\key" or "HKEY_LOCAL_MACHINE\key", as the user knows keys
// (a PathText).
std::string KeyDisplayName(platform::RegRoot root, std::string_view key);
// The default value of a key as text; nothing when the key can't be opened, an
// empty text when the value is missing or no string.
std::optional<std::string> ReadDefaultValue(platform::RegRoot root, std::string_view key);
// The key exists and has subkeys.
bool HasSubKeys(platform::RegRoot root, std::string_view key);

}  // namespace setup::uninstall
