#include "platform/IniText.h"

#include "base/AsciiText.h"

namespace setup::platform {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

}  // namespace

std::string_view TrimProfileBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

IniText::IniText(std::string bytes) : bytes_(std::move(bytes)) {
    Parse();
}

void IniText::Parse() {
    lines_.clear();
    const std::string_view all = bytes_;
    for (std::size_t begin = 0; begin < all.size();) {
        Line line;
        line.begin = begin;
        // CR LF, LF and CR alone all end a line.
        const std::size_t newline = all.find_first_of("\r\n", begin);
        line.end = newline == std::string_view::npos ? all.size() : newline;
        line.next = newline == std::string_view::npos ? all.size() : newline + 1;
        if (newline != std::string_view::npos && all[newline] == '\r' && line.next < all.size() &&
            all[line.next] == '\n') {
            ++line.next;
        }
        const std::string_view content = TrimProfileBlanks(all.substr(begin, line.end - begin));
        const std::size_t close = content.rfind(']');
        if (content.empty()) {
            line.kind = Kind::Blank;
        } else if (content.front() == ';') {
            line.kind = Kind::Comment;
        } else if (content.front() == '[' && close != std::string_view::npos && close > 0) {
            line.kind = Kind::Section;
            line.name = TrimProfileBlanks(content.substr(1, close - 1));
        } else {
            line.kind = Kind::Entry;
            const std::size_t equals = content.find('=');
            if (equals == std::string_view::npos) {
                line.name = content;
            } else {
                line.name = TrimProfileBlanks(content.substr(0, equals));
                line.value = TrimProfileBlanks(content.substr(equals + 1));
            }
        }
        lines_.push_back(line);
        begin = line.next;
    }
}

std::vector<IniText::Range> IniText::SectionRanges() const {
    std::vector<Range> ranges;
    ranges.push_back({kNone, 0, lines_.size()});
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section) {
            ranges.back().last = i;
            ranges.push_back({i, i + 1, lines_.size()});
        }
    }
    return ranges;
}

std::optional<IniText::Range> IniText::FindSection(std::string_view name) const {
    name = TrimProfileBlanks(name);
    for (const Range& range : SectionRanges()) {
        const std::string_view rangeName =
            range.header == kNone ? std::string_view() : lines_[range.header].name;
        if (EqualsNoCase(rangeName, name)) {
            return range;
        }
    }
    return std::nullopt;
}

const IniText::Line* IniText::FindKey(const Range& range, std::string_view key) const {
    key = TrimProfileBlanks(key);
    for (std::size_t i = range.first; i < range.last; ++i) {
        if (lines_[i].kind == Kind::Entry && EqualsNoCase(lines_[i].name, key)) {
            return &lines_[i];
        }
    }
    return nullptr;
}

std::optional<std::string> IniText::Find(std::string_view section, std::string_view key) const {
    auto range = FindSection(section);
    const Line* line = range ? FindKey(*range, key) : nullptr;
    if (line == nullptr || !line->value) {
        return std::nullopt;
    }
    return std::string(*line->value);
}

std::vector<std::pair<std::string_view, std::string_view>> IniText::Entries(
    std::string_view section) const {
    std::vector<std::pair<std::string_view, std::string_view>> entries;
    if (auto range = FindSection(section)) {
        for (std::size_t i = range->first; i < range->last; ++i) {
            const Line& line = lines_[i];
            if (line.kind == Kind::Entry && line.value && !line.name.empty()) {
                entries.emplace_back(line.name, *line.value);
            }
        }
    }
    return entries;
}

std::vector<std::string> IniText::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    for (const auto& [name, value] : Entries(section)) {
        keys.emplace_back(name);
    }
    return keys;
}

std::vector<std::string> IniText::Sections() const {
    std::vector<std::string> sections;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section && !line.name.empty()) {
            sections.emplace_back(line.name);
        }
    }
    return sections;
}

std::vector<IniText::Located> IniText::Lines() const {
    std::vector<Located> located;
    std::string_view section;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            section = line.name;
            located.push_back({i + 1, section, {}, std::nullopt, true});
        } else if (line.kind == Kind::Entry) {
            located.push_back({i + 1, section, line.name, line.value, false});
        }
    }
    return located;
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimProfileBlanks(section);
    key = TrimProfileBlanks(key);
    value = TrimProfileBlanks(value);
    std::string entry(key);
    entry += '=';
    entry += value;

    auto range = FindSection(section);
    if (!range) {
        std::string added;
        if (!bytes_.empty() && bytes_.back() != '\n' && bytes_.back() != '\r') {
            added += "\r\n";
        }
        added += '[';
        added += section;
        added += "]\r\n";
        added += entry;
        added += "\r\n";
        bytes_ += added;
        Parse();
        return;
    }
    if (const Line* line = FindKey(*range, key)) {
        // The key keeps its spelling in the file.
        std::string replaced(line->name);
        replaced += '=';
        replaced += value;
        bytes_.replace(line->begin, line->end - line->begin, replaced);
        Parse();
        return;
    }
    std::size_t at = range->header == kNone ? 0 : lines_[range->header].next;
    for (std::size_t i = range->first; i < range->last; ++i) {
        if (lines_[i].kind != Kind::Blank) {
            at = lines_[i].next;
        }
    }
    // The last line of a file may lack its line break.
    const bool needsBreak = at > 0 && bytes_[at - 1] != '\n' && bytes_[at - 1] != '\r';
    bytes_.insert(at, (needsBreak ? "\r\n" : "") + entry + "\r\n");
    Parse();
}

bool IniText::EraseKey(std::string_view section, std::string_view key) {
    const auto range = FindSection(TrimProfileBlanks(section));
    const Line* line = range ? FindKey(*range, TrimProfileBlanks(key)) : nullptr;
    if (line == nullptr) {
        return false;
    }
    bytes_.erase(line->begin, line->next - line->begin);
    Parse();
    return true;
}

bool IniText::EraseSection(std::string_view section) {
    section = TrimProfileBlanks(section);
    bool erased = false;
    // From the end, so that earlier positions stay valid.
    const std::vector<Range> ranges = SectionRanges();
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        const std::string_view name =
            range->header == kNone ? std::string_view() : lines_[range->header].name;
        if (!EqualsNoCase(name, section)) {
            continue;
        }
        const std::size_t begin = range->header == kNone ? 0 : lines_[range->header].begin;
        const std::size_t end =
            range->last < lines_.size() ? lines_[range->last].begin : bytes_.size();
        bytes_.erase(begin, end - begin);
        erased = true;
    }
    if (erased) {
        Parse();
    }
    return erased;
}

std::string ProfileResult(std::string_view value, std::size_t maxChars) {
    value = value.substr(0, value.find('\0'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, maxChars));
}

std::string QuotedForProfile(std::string_view value) {
    auto needsQuotes = [](char c) { return c == '"' || c == '\'' || IsBlank(c); };
    if (!value.empty() && (needsQuotes(value.front()) || needsQuotes(value.back()))) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

}  // namespace setup::platform
