// The fixture of the file functions' contract: a scratch folder of the test
// environment (Windows or the emulation) and small helpers to write and read it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "contract/ContractHelpers.h"
#include "support/TestEnvironment.h"

namespace setup::testing {

namespace attr = platform::attr;
using platform::OpenMode;

constexpr std::uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour,
                            unsigned minute, unsigned second) {
    return (((year - 1980) << 9 | month << 5 | day) << 16) |
           (hour << 11 | minute << 5 | second / 2);
}

class FileSystemContract : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = MakeTestEnvironment();
        dir_ = env_->ScratchFolder();
    }
    void TearDown() override {
        // Read-only files would keep a Windows scratch folder from being removed.
        for (const char* name : {"Alpha.txt", "Ziel.txt", "Kopie.txt", "Neu.txt"}) {
            Files().SetAttributes(dir_ + name, attr::kNormal);
        }
    }
    platform::FileSystem& Files() { return env_->Os().Files(); }
    std::string Path(std::string_view name) { return dir_ + std::string(name); }
    void Write(std::string_view name, std::string_view bytes) {
        ASSERT_TRUE(WriteBytes(Files(), Path(name), bytes)) << name;
    }
    std::string Read(std::string_view name) { return ReadBytes(Files(), Path(name)); }
    std::optional<std::uint32_t> DosTimeOf(std::string_view name) {
        auto found = Files().FindFirst(Path(name));
        return found ? Files().ToLocalDosDateTime(found->lastWrite) : std::nullopt;
    }

    std::unique_ptr<TestEnvironment> env_;
    std::string dir_;
};

}  // namespace setup::testing
