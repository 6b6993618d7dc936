#include "system/Placeholders.h"

#include <array>
#include <optional>

#include "platform/Os.h"
#include "system/PathHelpers.h"
#include "system/SystemFolders.h"

namespace setup {
namespace {

// Where a token's replacement comes from.
enum class Source { InstallFolder, Windows, System, Registry, ProgramGroup, Shell };

struct Token {
    std::string_view name;  // upper case, with the "@@" on both sides
    Source source;
    std::string_view registryValue = {};
    int csidl = 0;
};

// Compared in this order; the first match wins.
constexpr std::array<Token, 15> kTokens{{
    {"@@INSTDIR@@", Source::InstallFolder},
    {"@@WINDIR@@", Source::Windows},
    {"@@SYSDIR@@", Source::System},
    {"@@PRGDIR@@", Source::Registry, "ProgramFilesDir"},
    {"@@COMMON@@", Source::Registry, "CommonFilesDir"},
    {"@@PRGGRP@@", Source::ProgramGroup},
    {"@@AUTOSTART@@", Source::Shell, {}, platform::csidl::kStartup},
    {"@@STARTMENU@@", Source::Shell, {}, platform::csidl::kStartMenu},
    {"@@PROGRAMS@@", Source::Shell, {}, platform::csidl::kPrograms},
    {"@@FAVORITEN@@", Source::Shell, {}, platform::csidl::kFavorites},
    {"@@DESKTOP@@", Source::Shell, {}, platform::csidl::kDesktopDirectory},
    {"@@SENDTO@@", Source::Shell, {}, platform::csidl::kSendTo},
    {"@@CONFIG@@", Source::Registry, "ConfigPath"},
    {"@@DEVICES@@", Source::Registry, "DevicePath"},
    {"@@MEDIA@@", Source::Registry, "MediaPath"},
}};

}  // namespace

std::string ExpandPlaceholders(std::string_view text, std::string_view installFolder,
                               std::string_view programGroup) {
    auto open = text.find("@@");
    if (open == std::string_view::npos) {
        return std::string(text);
    }
    auto close = text.find("@@", open + 2);
    if (close == std::string_view::npos) {
        return std::string(text);
    }
    std::string_view token = text.substr(open, close + 2 - open);
    std::string upper = AsciiUpper(token);

    std::string replacement;
    for (const Token& candidate : kTokens) {
        if (upper != candidate.name) {
            continue;
        }
        switch (candidate.source) {
            case Source::InstallFolder:
                replacement = installFolder;
                break;
            case Source::Windows:
                replacement = WindowsFolder();
                break;
            case Source::System:
                replacement = SystemFolder();
                break;
            case Source::Registry:
                replacement = CurrentVersionFolder(candidate.registryValue);
                break;
            case Source::ProgramGroup:
                replacement = programGroup;
                break;
            case Source::Shell:
                // A folder the shell can't locate puts the token back as it was written.
                replacement = ShellFolderPath(candidate.csidl).value_or(std::string(token));
                break;
        }
        break;
    }

    std::string result(text.substr(0, open));
    result += replacement;
    result += text.substr(close + 2);
    return result;
}

}  // namespace setup
