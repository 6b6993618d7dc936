// The command line of `medium build`.
#include "BuildMedium.h"
#include "Diskettes.h"

namespace setup::medium {

namespace fs = std::filesystem;

std::optional<BuildOptions> ParseBuildArguments(const std::vector<std::string>& args,
                                                std::string& error) {
    BuildOptions options;
    std::vector<std::string> places;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            places.push_back(arg);
            continue;
        }
        if (i + 1 == args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--diskettes") {
            options.disketteSize = ParseDisketteSize(value);
            if (!options.disketteSize) {
                error = "--diskettes " + value + ": not a size (1440K, 1.2M or bytes)";
                return std::nullopt;
            }
        } else if (arg == "--setup") {
            options.setup = fs::u8path(value);
        } else if (arg == "--uninstaller") {
            options.uninstaller = fs::u8path(value);
        } else if (arg == "--zip") {
            options.zip = fs::u8path(value);
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (places.size() != 2) {
        error = "medium build needs SOURCE and OUT";
        return std::nullopt;
    }
    options.source = fs::u8path(places[0]);
    options.out = fs::u8path(places[1]).lexically_normal();
    if (!options.out.has_filename()) {
        options.out = options.out.parent_path();  // "out/" names the folder "out"
    }
    return options;
}

}  // namespace setup::medium
