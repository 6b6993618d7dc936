// The values of a parsed profile file by section and key, found in logarithmic time.
//
// IniText looks a key up by walking the file's lines, as the file's rules are
// simplest to keep that way; the emulated profile functions read a script of
// thousands of keys one key at a time, which made the walk quadratic. The index
// answers exactly as IniText::Find: the first section of a name, the first key of
// a name in it (an entry without "=" hides later ones and has no value), names
// compared with blanks trimmed and without regard to the case of A-Z.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/IniText.h"

namespace setup::platform::posix {

class IniKeyIndex {
  public:
    // Views into `text`, which must outlive the index and stay unchanged.
    explicit IniKeyIndex(const IniText& text);

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  private:
    // Section and key, trimmed and in capitals; the value as IniText holds it.
    std::map<std::pair<std::string, std::string>, std::optional<std::string_view>> values_;
};

}  // namespace setup::platform::posix
