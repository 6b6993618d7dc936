#include "ui/headless/ScriptReader.h"

#include <charconv>
#include <tuple>

namespace setup::ui::headless {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::pair<std::string_view, std::string_view> FirstWord(std::string_view text) {
    text = Trim(text);
    auto space = text.find_first_of(" \t");
    if (space == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, space), Trim(text.substr(space + 1))};
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> SplitItems(std::string_view text) {
    std::vector<std::string_view> items;
    while (true) {
        auto bar = text.find('|');
        items.push_back(Trim(text.substr(0, bar)));
        if (bar == std::string_view::npos) {
            return items;
        }
        text.remove_prefix(bar + 1);
    }
}

ScriptAction ReadAction(std::string_view text) {
    ScriptAction action;
    action.text = Trim(text);
    std::tie(action.verb, action.rest) = FirstWord(action.text);
    return action;
}

std::vector<ScriptAction> ReadScript(std::string_view script) {
    std::vector<ScriptAction> actions;
    int lineNumber = 0;
    while (!script.empty()) {
        auto newline = script.find('\n');
        std::string_view line = Trim(script.substr(0, newline));
        script.remove_prefix(newline == std::string_view::npos ? script.size() : newline + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        ScriptAction action = ReadAction(line);
        action.line = lineNumber;
        actions.push_back(action);
    }
    return actions;
}

}  // namespace setup::ui::headless
