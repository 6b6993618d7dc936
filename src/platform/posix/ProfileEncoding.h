// The text encoding of a profile (INI) file, as the profile functions detect it.
//
// A file that starts with a byte-order mark is read as UTF-8 or UTF-16 (little or
// big endian) and its text reaches the caller in Windows-1252, a character without
// a 1252 form as "?"; any other file is taken as 1252 bytes. Unicode files are kept
// in UTF-8 while they are parsed and edited, so that a rewrite loses nothing, and
// are written back in their own encoding with their mark.
#pragma once

#include <string>
#include <string_view>

namespace setup::platform::posix {

class ProfileEncoding {
  public:
    enum class Kind { Ansi, Utf8, Utf16Le, Utf16Be };

    // Detects the encoding of a file's bytes and turns them into the text to
    // parse (1252 or UTF-8).
    static ProfileEncoding Detect(std::string& bytes);

    // A 1252 text of the caller (section, key, value) in the parsed text's form,
    // and back.
    std::string ToText(std::string_view cp1252) const;
    std::string FromText(std::string_view text) const;
    // The parsed text as the file's bytes.
    std::string ToBytes(std::string_view text) const;

  private:
    explicit ProfileEncoding(Kind kind) : kind_(kind) {}
    Kind kind_;
};

}  // namespace setup::platform::posix
