// Feeds arbitrary bytes as the emulated registry's file. Besides neither crashing
// nor hanging, the store must write back what it read so that it reads the same:
// a change and its undo make it write the file from what it read, and reading
// that file and writing it back the same way gives the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/RegistryStore.h"

namespace {

using setup::platform::RegRoot;
using setup::platform::posix::RegistryStore;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A folder for the registry file for the whole run, removed at exit.
struct Fixture {
    std::filesystem::path root;
    std::filesystem::path file;

    Fixture() {
        // Memory-backed when the host has it: every input is written twice.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = base / "registry-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root = pattern;
        file = root / "registry.txt";
    }
    ~Fixture() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Loads the file and makes the store write it back: a key that is not there is
// created and removed again (the store saves the whole file on each change).
std::string WriteBack(const std::filesystem::path& file) {
    RegistryStore store(file);
    std::string key = "Fuzz";
    while (store.KeyExists(RegRoot::LocalMachine, key) ||
           store.HasSubKeys(RegRoot::LocalMachine, key)) {
        key += 'x';
    }
    Check(store.CreateKey(RegRoot::LocalMachine, key));
    Check(store.RemoveKey(RegRoot::LocalMachine, key));
    Check(!store.KeyExists(RegRoot::LocalMachine, key));
    return Read(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    {
        std::ofstream out(fixture.file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string first = WriteBack(fixture.file);
    Check(WriteBack(fixture.file) == first);
    return 0;
}
