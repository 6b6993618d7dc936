// What the shell's link object must do alike on Windows and in the emulation:
// the three properties survive saving and reading back, a missing folder fails
// without a file, an existing shortcut is replaced. On Windows the files are read
// back through IShellLinkA, which also reads the emulation's own bytes, so the
// emulation's shortcut files are held to open on Windows, and its reader to
// understand the shell's.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ContractHelpers.h"
#include "platform/posix/ShellLinkFile.h"
#include "support/TestEnvironment.h"

#ifdef _WIN32
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>
#endif

namespace setup::platform::posix {
// Readable failure messages.
inline void PrintTo(const ShellLinkFields& fields, std::ostream* out) {
    *out << '"' << fields.target << "\", \"" << fields.description << "\", \""
         << fields.workingDirectory << '"';
}
}  // namespace setup::platform::posix

namespace setup::testing {
namespace {

using platform::posix::ShellLinkFields;

#ifdef _WIN32
// The three properties as the shell reads them from a shortcut file.
std::optional<ShellLinkFields> ReadBack(platform::Os&, const std::string& path) {
    static const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    static const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    static const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    std::optional<ShellLinkFields> fields;
    const HRESULT initialised = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(kPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char target[MAX_PATH] = {};
        char description[1024] = {};
        char folder[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
            SUCCEEDED(link->GetDescription(description, sizeof description)) &&
            SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH))) {
            fields = ShellLinkFields{target, description, folder};
        }
    }
    if (file != nullptr) {
        file->Release();
    }
    if (link != nullptr) {
        link->Release();
    }
    if (SUCCEEDED(initialised)) {
        CoUninitialize();
    }
    return fields;
}
#else
std::optional<ShellLinkFields> ReadBack(platform::Os& os, const std::string& path) {
    return platform::posix::ReadShortcutFile(os.Files(), path);
}
#endif

bool Save(platform::Os& os, const ShellLinkFields& fields, const std::string& file) {
    auto link = os.ShellServices().CreateShellLink();
    EXPECT_GE(link->CreationResult(), 0);
    EXPECT_FALSE(link->LacksFileInterface());
    // In the order the program group step sets them.
    EXPECT_GE(link->SetDescription(fields.description), 0);
    EXPECT_GE(link->SetPath(fields.target), 0);
    EXPECT_GE(link->SetWorkingDirectory(fields.workingDirectory), 0);
    return link->Save(file);
}

TEST(ShellLinkContract, PropertiesReadBackFromTheShellsAndTheEmulationsFiles) {
    auto env = MakeTestEnvironment();
    auto& os = env->Os();
    const std::string folder = env->ScratchFolder();
    ASSERT_TRUE(WriteBytes(os.Files(), folder + "Prog.exe", "MZ"));
    ASSERT_TRUE(WriteBytes(os.Files(), folder + "Größe.exe", "MZ"));
    const ShellLinkFields cases[] = {
        {folder + "Prog.exe", "Texteditor", folder},
        {folder + "Größe.exe", "Öffnet Größen", folder + "Ä"},
        {folder + "Prog.exe", "", ""},
    };
    for (const ShellLinkFields& c : cases) {
        SCOPED_TRACE(c.target + " / " + c.description);
        const std::string link = folder + "Verknüpfung.lnk";
        ASSERT_TRUE(Save(os, c, link));
        EXPECT_EQ(ReadBack(os, link), c);
        // The emulation's reader understands the shell's own file.
        EXPECT_EQ(platform::posix::DecodeShellLink(ReadBytes(os.Files(), link)), c);
        // The emulation's bytes for the same properties read back alike.
        const std::string emulated = folder + "Nachgebaut.lnk";
        ASSERT_TRUE(WriteBytes(os.Files(), emulated, platform::posix::EncodeShellLink(c)));
        EXPECT_EQ(ReadBack(os, emulated), c);
    }
}

TEST(ShellLinkContract, MissingFolderFailsAndExistingShortcutIsReplaced) {
    auto env = MakeTestEnvironment();
    auto& os = env->Os();
    const std::string folder = env->ScratchFolder();
    ASSERT_TRUE(WriteBytes(os.Files(), folder + "A.exe", "MZ"));
    ASSERT_TRUE(WriteBytes(os.Files(), folder + "B.exe", "MZ"));
    const ShellLinkFields first{folder + "A.exe", "Erst", ""};
    const ShellLinkFields second{folder + "B.exe", "Dann", folder};

    EXPECT_FALSE(Save(os, first, folder + "Fehlt\\A.lnk"));
    EXPECT_EQ(os.Files().GetAttributes(folder + "Fehlt"), platform::attr::kInvalid);

    ASSERT_TRUE(Save(os, first, folder + "A.lnk"));
    ASSERT_TRUE(Save(os, second, folder + "A.lnk"));
    EXPECT_EQ(ReadBack(os, folder + "A.lnk"), second);
}

}  // namespace
}  // namespace setup::testing
