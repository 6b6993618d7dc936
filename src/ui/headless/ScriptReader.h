// The session script as actions: one per line that is neither blank nor a "#"
// comment, split into its verb and the rest, with the line's number for messages.
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace setup::ui::headless {

struct ScriptAction {
    int line = 0;
    std::string_view text;  // the whole action, trimmed
    std::string_view verb;  // its first word
    std::string_view rest;  // what follows the verb, trimmed
};

// The action of one line of text (the line number is left 0).
ScriptAction ReadAction(std::string_view text);
// Every action of a script, in order; the views point into `script`.
std::vector<ScriptAction> ReadScript(std::string_view script);

// Blanks and tabs off both ends (and a CR at the end).
std::string_view Trim(std::string_view text);
// The first word of a text and the trimmed rest.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view text);
// A whole text as a decimal number.
std::optional<int> Number(std::string_view text);
// "A|B|C" as its trimmed parts.
std::vector<std::string_view> SplitItems(std::string_view text);

}  // namespace setup::ui::headless
