// The uninstall log as the installer writes it. Its whole text is held here and
// the file is replaced whole after each change (written beside it, then renamed
// over it), so that the file is always a complete log: the previous one when a
// write fails, never one cut off in the middle of a line.
//
// A re-installation starts from the records of the earlier log and keeps them:
// what the first run created stays "created" ("0") and what was there before it
// stays "existed before" ("1"), so that the uninstaller still removes exactly
// what the installation (all its runs) added.
#pragma once

#include <string>
#include <string_view>

#include "platform/IniText.h"

namespace setup::app {

class UninstallLogFile {
  public:
    // `earlier` is the text the log starts from (ReadEarlierLog).
    UninstallLogFile(std::string path, std::string earlier);

    // A record's value as a profile read gives it; empty when there is none.
    std::string Read(std::string_view section, std::string_view key) const;

    // Records a value, quoted where needed so that it reads back byte for byte.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Records whether an item existed before ("1") or was created ("0"), unless
    // the log holds a record of it already: the first record (of an earlier run,
    // or of an earlier file of this run) stays.
    void SetExisted(std::string_view section, std::string_view key, bool existed);

    // Writes the whole log. SetupError "nach %s kann nicht geschrieben werden"
    // when it can't; the file then still holds the last complete log, and the
    // log counts as failed from then on.
    void Save();
    bool Failed() const { return failed_; }

    // SetExisted, then the log saved.
    void WriteBool(std::string_view section, std::string_view key, bool existed);

    // Records an item before it is made and saves the log, so that nothing the
    // installation makes is ever missing from it: when the log can't be written
    // (SetupError) the item is not made. True when the record is new, false when
    // the log held one already (an earlier record, which stays).
    bool RecordAhead(std::string_view section, std::string_view key, bool existed);
    // Takes back a record RecordAhead added, once the item could not be made.
    void Withdraw(std::string_view section, std::string_view key);

  private:
    std::string path_;
    platform::IniText text_;
    bool failed_ = false;
};

// The text of the log an earlier installation left at `path`, to start from.
// Empty when there is none or it can't be read, and for a file the installer
// never writes (one that begins with a byte-order mark, as Unicode files do); a
// last line without its line break was cut off while it was written and is
// left out.
std::string ReadEarlierLog(std::string_view path);

}  // namespace setup::app
