// "medium try": installs a medium on a fresh emulated Windows as a hurried user
// does (the session verb "hurry" of the simulator's runner) and shows what the
// installation left: the transcript, the files, shortcuts and registry entries
// it added or changed, and its uninstall log. With the round trip the
// uninstaller of the uninstall entry removes it again, and whatever still
// differs from the fresh system is listed.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace setup::medium {

struct TryOptions {
    std::filesystem::path medium;  // a folder, mapped as drive M:
    std::filesystem::path root;    // the emulated Windows; empty: a temporary one
    bool testMode = false;         // the installer runs with /TEST
    bool roundTrip = false;
};

// The options of "try MEDIUM [WINROOT] [/TEST] [--round-trip]" from the words
// after "try" (the switches in any place); nothing when they don't fit.
std::optional<TryOptions> ReadTryArguments(std::span<const std::string> words);

// 0: installed (and with the round trip: removed without a trace); 1: not so,
// the reason on `err`; 2: the medium or the root can't be used.
int TryMedium(const TryOptions& options, std::ostream& out, std::ostream& err);

}  // namespace setup::medium
