#include "ScenarioReader.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>

#include "Console.h"

namespace e2e {
namespace {

std::wstring FromUtf8(const std::string& bytes) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

// %NAME% from the environment; %PROGRAMS% and %DESKTOP% are set from the shell.
std::wstring Expand(const std::wstring& text) {
    std::vector<wchar_t> out(32768);
    const DWORD length =
        ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
    return length == 0 ? text : std::wstring(out.data());
}

// Blank-separated words; "double quotes" keep blanks inside one word.
std::vector<std::wstring> Words(const std::wstring& line) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && iswspace(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        std::wstring word;
        if (line[i] == L'"') {
            const auto end = line.find(L'"', i + 1);
            word = line.substr(i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1);
            i = end == std::wstring::npos ? line.size() : end + 1;
        } else {
            while (i < line.size() && !iswspace(line[i])) {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

// Verbs of two words.
bool TakesSecondWord(const std::wstring& first) {
    return first == L"wait" || first == L"expect" || first == L"swap" || first == L"close" ||
           first == L"remove" || first == L"queue" || first == L"set" || first == L"make";
}

// Features that have landed, from E2E_FEATURES ("copy shell ..."). A step line
// may start with a guard: "[copy]" runs only with the feature, "[!copy]" only
// without it, "[copy,shell]" needs both.
bool GuardHolds(const std::wstring& guard) {
    wchar_t buffer[1024] = {};
    GetEnvironmentVariableW(L"E2E_FEATURES", buffer, 1024);
    std::wstring features = L" " + std::wstring(buffer) + L" ";
    for (auto& c : features) {
        c = c == L',' ? L' ' : c;
    }
    std::size_t at = 0;
    while (at < guard.size()) {
        auto end = guard.find(L',', at);
        std::wstring name =
            guard.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? guard.size() : end + 1;
        const bool negated = !name.empty() && name[0] == L'!';
        if (negated) {
            name.erase(0, 1);
        }
        const bool present = features.find(L" " + name + L" ") != std::wstring::npos;
        if (present == negated) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadScenario(const std::wstring& path, std::vector<Step>& steps) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) {
        bytes.append(buffer, got);
    }
    std::fclose(file);
    const std::wstring text = FromUtf8(bytes);
    std::size_t at = 0;
    for (int number = 1; at <= text.size(); ++number) {
        auto end = text.find(L'\n', at);
        std::wstring line =
            text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? text.size() + 1 : end + 1;
        while (!line.empty() && (line.back() == L'\r' || iswspace(line.back()))) {
            line.pop_back();
        }
        auto words = Words(line);
        if (words.empty() || words[0][0] == L'#') {
            continue;
        }
        bool skipped = false;
        if (words[0].size() > 2 && words[0].front() == L'[' && words[0].back() == L']') {
            skipped = !GuardHolds(words[0].substr(1, words[0].size() - 2));
            words.erase(words.begin());
            if (words.empty()) {
                continue;
            }
        }
        if (words[0] == L"include" && words.size() == 2) {
            // Shared steps, from a file beside the scenario.
            const std::wstring folder = path.substr(0, path.find_last_of(L"\\/:") + 1);
            if (!ReadScenario(folder + words[1], steps)) {
                Print(L"driver: can't read " + folder + words[1] + L"\n");
                return false;
            }
            continue;
        }
        Step step;
        step.skipped = skipped;
        step.line = number;
        step.text = line;
        step.file = path.substr(path.find_last_of(L"\\/:") + 1);
        if (words[0] == L"not" && words.size() > 1) {
            step.negated = true;
            words.erase(words.begin());
        }
        std::size_t used = 1;
        step.verb = words[0];
        if (TakesSecondWord(words[0]) && words.size() > 1 &&
            (words[0] != L"remove" || words[1] == L"reg")) {
            step.verb += L" " + words[1];
            used = 2;
        }
        for (std::size_t i = used; i < words.size(); ++i) {
            step.args.push_back(Expand(words[i]));
        }
        steps.push_back(std::move(step));
    }
    return true;
}

}  // namespace e2e
