// The text of a profile (INI) file, read and edited the way Windows does.
//
// Reading: lines end at CR LF, at LF or at CR alone (as old Mac editors save); blanks around names
// and values are dropped; "[name]" starts a section (the last "]" of the line closes the name);
// "name=value" is an entry, a line without "=" an entry without value; lines starting with ";" are
// comments. Entries before the first section belong to a section with the empty name. Of repeated
// sections only the first is read, and of repeated keys in it only the first; section and key names
// compare without regard to the case of A-Z. Any bytes are accepted.
//
// Editing keeps every other byte of the file as it was and writes its own lines
// with CRLF: a changed value replaces its line, a new key goes behind the last
// non-blank line of its section, a new section goes to the end of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace setup::platform {

class IniText {
  public:
    explicit IniText(std::string bytes = {});
    // The parsed lines point into the bytes, which a move of a short string does
    // not keep in place: a copy or move parses again.
    IniText(const IniText& other) : IniText(other.bytes_) {}
    IniText(IniText&& other) : IniText(std::move(other.bytes_)) {}
    IniText& operator=(const IniText&) = delete;
    IniText& operator=(IniText&&) = delete;

    const std::string& Bytes() const { return bytes_; }

    // The value of the key, blanks removed (quotes are left to the reader). Nothing
    // for a missing section or key and for an entry without "=".
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Keys with "=" of the first section of that name, in file order.
    std::vector<std::string> Keys(std::string_view section) const;
    // Every named section, in file order.
    std::vector<std::string> Sections() const;
    // The entries with "=" of the first section of that name, in file order, as
    // name and value (blanks removed, quotes left), in one pass: for readers of
    // long sections. The views point into Bytes() and hold until the text changes.
    std::vector<std::pair<std::string_view, std::string_view>> Entries(
        std::string_view section) const;

    // A section header or an entry as it stands in the file, with its line number
    // (from 1; CR LF, LF and CR alone each end a line, as editors count them).
    struct Located {
        std::size_t line = 0;
        std::string_view section;  // the section it belongs to (its own name for a header)
        std::string_view key;      // empty for a header
        std::optional<std::string_view> value;
        bool header = false;
    };
    // Every header and entry in file order, repeated ones included: for tools that
    // point the script's author at a line.
    std::vector<Located> Lines() const;

    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key's line from the first section of that name; false when there was none.
    bool EraseKey(std::string_view section, std::string_view key);
    // Removes every section of that name with its lines; false when there was none.
    bool EraseSection(std::string_view section);

  private:
    enum class Kind { Blank, Comment, Section, Entry };
    struct Line {
        std::size_t begin = 0;  // first byte
        std::size_t end = 0;    // end of the content (before CR LF, LF or CR)
        std::size_t next = 0;   // first byte of the next line
        Kind kind = Kind::Blank;
        std::string_view name;
        std::optional<std::string_view> value;
    };
    // A section's lines: its header (if named) up to the next header.
    struct Range {
        std::size_t header;  // index of the header line, or npos for the unnamed section
        std::size_t first;   // first line after the header
        std::size_t last;    // one past its last line
    };

    void Parse();
    std::optional<Range> FindSection(std::string_view name) const;
    std::vector<Range> SectionRanges() const;
    const Line* FindKey(const Range& range, std::string_view key) const;

    std::string bytes_;
    std::vector<Line> lines_;
};

// Blanks as the profile functions see them (space, tab, CR, LF, VT, FF, ^Z).
std::string_view TrimProfileBlanks(std::string_view text);

// What a profile read makes of a stored value (or of the caller's default): cut at
// a NUL byte, one pair of matching enclosing quotes (" or ') removed, cut at
// maxChars characters.
std::string ProfileResult(std::string_view value, std::size_t maxChars);

// The text to write for a value so that a profile read returns it byte for byte:
// a value that begins or ends with a blank or a quote gets one more pair of quotes,
// which the read removes again. (A value with a line break or NUL can't be kept,
// nor one that needs the quotes and is longer than 1021 characters.)
std::string QuotedForProfile(std::string_view value);

}  // namespace setup::platform
