// The seam between the installer and the operating system.
//
// Everything above this header is portable and sees Windows only through these
// interfaces. Two implementations exist: platform/win32 calls the real APIs, and
// platform/posix emulates a Windows system rooted in a host folder (drive letters
// mapped to folders, names resolved without regard to case, a file-backed registry,
// preset shell folders). All text crossing the seam is Windows-1252; paths are
// Windows paths with "\" separators.
//
// The logic reaches the active implementation through CurrentOs(); the program entry
// (or a test fixture) installs one with SetCurrentOs().
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace setup::platform {

// ---------------------------------------------------------------------------
// Profile (INI) files, with the semantics of GetPrivateProfileStringA and
// WritePrivateProfileStringA: section and key names compare without regard to
// case; a read value loses surrounding blanks and one pair of matching enclosing
// quotes; a value longer than maxChars is cut to maxChars characters.
class ProfileFiles {
  public:
    virtual ~ProfileFiles() = default;
    virtual std::string ReadString(std::string_view file, std::string_view section,
                                   std::string_view key, std::string_view defaultValue,
                                   std::size_t maxChars) = 0;
    // Every key of the section in file order; empty when section or file is missing.
    virtual std::vector<std::string> ListKeys(std::string_view file, std::string_view section) = 0;
    // Every section name of the file in file order.
    virtual std::vector<std::string> ListSections(std::string_view file) = 0;
    // Creates file and section as needed. False when the file can't be written.
    virtual bool WriteString(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    // Removes the section with all its keys. False when the file can't be written.
    virtual bool EraseSection(std::string_view file, std::string_view section) = 0;
};

// ---------------------------------------------------------------------------
// Registry.
enum class RegRoot { ClassesRoot, LocalMachine };

// Value types as Windows numbers them.
enum class RegType : std::uint32_t {
    None = 0,
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Number = 4,        // REG_DWORD
};

enum class RegQueryStatus {
    Ok,
    Missing,     // the size query failed: the value does not exist
    ReadFailed,  // the size was known but the data could not be read
};

struct RegValue {
    RegQueryStatus status = RegQueryStatus::Missing;
    RegType type = RegType::None;
    std::string data;  // raw bytes as stored (strings include their NUL when stored so)
};

// An open key; closing happens when the object is destroyed (RegCloseKey).
class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    // An empty name addresses the key's default value.
    virtual RegValue Query(std::string_view valueName) = 0;
    virtual bool SetString(std::string_view valueName, std::string_view value) = 0;
    // RegDeleteValueA. False when the value is missing or can't be removed.
    virtual bool DeleteValue(std::string_view valueName) = 0;
    // The key holds neither values (not even a default value) nor subkeys.
    virtual bool IsEmpty() = 0;
    // The key has subkeys; false when it has none or they can't be counted.
    virtual bool HasSubKeys() = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens an existing key, never creates it: asks for full access first and, when
    // that is refused, for read access. Null when the key can't be opened.
    virtual std::unique_ptr<RegistryKey> Open(RegRoot root, std::string_view subKey) = 0;
    // Opens the key, creating it and any missing parents. Null on failure.
    virtual std::unique_ptr<RegistryKey> Create(RegRoot root, std::string_view subKey) = 0;
    // Removes a key together with its values, but only when it has no subkeys (as
    // RegDeleteKeyA does on NT). False when the key is missing, still has subkeys
    // or can't be removed; an empty path (the root itself) is never removed.
    virtual bool DeleteKey(RegRoot root, std::string_view subKey) = 0;
};

// ---------------------------------------------------------------------------
// Files and folders.
namespace attr {
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kInvalid = 0xFFFFFFFF;  // GetFileAttributesA's failure value
}  // namespace attr

// A file time: 100-nanosecond intervals since 1601-01-01 UTC (FILETIME).
using FileTime = std::uint64_t;

struct FoundEntry {
    std::string name;  // the entry's own name (no folder part), as stored
    std::uint32_t attributes = 0;
    FileTime lastWrite = 0;
    std::uint64_t size = 0;
    bool IsFolder() const { return (attributes & attr::kDirectory) != 0; }
};

// What GetDriveTypeA answers for a drive's root, by Windows' numbers.
enum class DriveType : std::uint32_t {
    Unknown = 0,
    NoRootDir = 1,  // no such drive
    Removable = 2,
    Fixed = 3,
    Remote = 4,  // a network drive
    CdRom = 5,
    RamDisk = 6,
};

enum class OpenMode {
    Read,         // existing file, read only, others may read too (and no one write)
    CreateWrite,  // create or truncate, write only
    CreateNew,    // create, write only; fails when the name exists (CREATE_NEW)
    ReadWrite,    // existing file, read and write
};

// An open file; closed when destroyed. Reads and writes report the byte count, or -1.
class File {
  public:
    virtual ~File() = default;
    virtual std::int64_t Read(std::span<std::uint8_t> buffer) = 0;
    virtual std::int64_t Write(std::span<const std::uint8_t> data) = 0;
    virtual bool Seek(std::uint64_t position) = 0;  // from the start of the file
    virtual std::int64_t Size() = 0;                // -1 on failure
    // SetFileTime on the open file: the last-write time from an MS-DOS date and
    // time taken as local time. A file being written keeps it when it is closed.
    virtual bool SetLastWriteDos(std::uint32_t dosDateTime) = 0;
    // Closes now and reports whether buffered data reached the disk.
    virtual bool Close() = 0;
    // Sets the file's attributes on the open file where the system can: false where
    // it can only set them by name (SetFileAttributesA), and when they could not be
    // set. The default can't.
    virtual bool SetAttributes(std::uint32_t attributes);
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // FindFirstFileA: the first entry matching the last component of `pattern`
    // (wildcards * and ?), file or folder. Nothing when no entry matches.
    virtual std::optional<FoundEntry> FindFirst(std::string_view pattern) = 0;
    // GetFileAttributesA; attr::kInvalid when the path does not exist.
    virtual std::uint32_t GetAttributes(std::string_view path) = 0;
    virtual bool SetAttributes(std::string_view path, std::uint32_t attributes) = 0;
    // FileTimeToLocalFileTime followed by FileTimeToDosDateTime: time in the low
    // 16 bits, date in the high 16. Nothing when the time can't be expressed so.
    virtual std::optional<std::uint32_t> ToLocalDosDateTime(FileTime time) = 0;
    // Sets a file's last-write time from an MS-DOS date and time taken as local time.
    virtual bool SetLastWriteDos(std::string_view path, std::uint32_t dosDateTime) = 0;
    // CopyFileA: copies content, attributes and last-write time. With
    // failIfExists an existing target makes the copy fail.
    virtual bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) = 0;
    // MoveFileExA: renames, replacing an existing target when asked.
    virtual bool MoveFile(std::string_view from, std::string_view to, bool replaceExisting) = 0;
    virtual bool DeleteFile(std::string_view path) = 0;
    // CreateDirectoryA: one folder whose parent exists.
    virtual bool CreateFolder(std::string_view path) = 0;
    // RemoveDirectoryA: removes an empty folder. False when it is missing, not
    // empty or not a folder.
    virtual bool RemoveFolder(std::string_view path) = 0;
    // Every entry of the folder except "." and "..", in the system's order; empty
    // when the folder can't be read.
    virtual std::vector<FoundEntry> ListFolder(std::string_view folder) = 0;
    // Deletes a file that may be the running program's own: at once when nothing
    // holds it open, otherwise once it is free (at the latest when the system
    // starts again). False when neither could be arranged.
    virtual bool DeleteWhenUnused(std::string_view path) = 0;
    virtual std::string GetCurrentFolder() = 0;  // without trailing backslash (but "C:\")
    virtual bool SetCurrentFolder(std::string_view path) = 0;
    virtual std::unique_ptr<File> Open(std::string_view path, OpenMode mode) = 0;
    // GetDriveTypeA for the root of the drive with this letter ("C:\"), in either
    // case. The default answers Fixed for every drive; both implementations ask
    // their system.
    virtual DriveType DriveTypeOf(char letter);
    // The fixed version information of a program file (GetFileVersionInfoA and
    // VerQueryValueA with "\\"): major, minor, release and build. Nothing when the
    // file has no version information; four zeros when it has some whose fixed
    // part can't be read. The default reads the file's version resource through
    // Open(); an implementation may ask the system's version library instead.
    virtual std::optional<std::array<std::uint16_t, 4>> ReadFileVersion(std::string_view path);
};

// ---------------------------------------------------------------------------
// System information and the thread's clock.

// A local date and time for display (the fields of SYSTEMTIME that matter).
struct CalendarTime {
    std::uint16_t year = 0, month = 0, day = 0;
    std::uint16_t hour = 0, minute = 0, second = 0;
};

class SystemInfo {
  public:
    virtual ~SystemInfo() = default;
    // GetWindowsDirectoryA / GetSystemDirectoryA: no trailing backslash.
    virtual std::string WindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;
    // GetVersionExA reports the NT platform id.
    virtual bool IsWindowsNT() = 0;
    virtual std::uint32_t TickCount() = 0;  // GetTickCount
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Full path of the running program (GetModuleFileNameA).
    virtual std::string ProgramPath() = 0;
    // GetSysColor: the current colour (0x00BBGGRR) of a display element by its
    // index; 0 for an unknown index. The default answers with Windows' classic
    // scheme (silver button faces), which is what the emulated system shows.
    virtual std::uint32_t SystemColor(int index);
    // GetDateFormatA with the user's short date format; empty on failure.
    virtual std::string FormatShortDate(const CalendarTime& time) = 0;
    // GetTimeFormatA with the user's long time format; empty on failure.
    virtual std::string FormatLongTime(const CalendarTime& time) = 0;
    // The order of two texts in the user's locale with letter case ignored, as a
    // sorted list box has it (CompareStringA with NORM_IGNORECASE): below zero,
    // zero or above zero as a sorts before, like or after b.
    virtual int CompareText(std::string_view a, std::string_view b) = 0;
};

// ---------------------------------------------------------------------------
// The window thread: pending messages and the keyboard.
class MessageThread {
  public:
    virtual ~MessageThread() = default;
    // Dispatches every message waiting for the thread (PeekMessageA with removal,
    // IsDialogMessageA for the active dialog, TranslateMessage, DispatchMessageA).
    virtual void PumpMessages() = 0;
    // GetAsyncKeyState: the key with this virtual key code is held down now.
    virtual bool IsKeyDown(int virtualKey) = 0;
};

// ---------------------------------------------------------------------------
// Shell services.
namespace csidl {
inline constexpr int kPrograms = 2;
inline constexpr int kFavorites = 6;
inline constexpr int kStartup = 7;
inline constexpr int kSendTo = 9;
inline constexpr int kStartMenu = 11;
inline constexpr int kDesktopDirectory = 16;
inline constexpr int kDrives = 17;
}  // namespace csidl

// The shell's link object, through which shortcut (".lnk") files are written: one
// object per shortcut, its three properties set, then saved under a file name.
class ShellLinkObject {
  public:
    virtual ~ShellLinkObject() = default;
    // The result code (HRESULT) of creating the object; negative: there is none,
    // and the setters and Save do nothing.
    virtual std::int32_t CreationResult() const = 0;
    // The object was created but does not offer its file interface (IPersistFile).
    virtual bool LacksFileInterface() const = 0;
    // IShellLinkA's setters; each returns the call's result code.
    virtual std::int32_t SetPath(std::string_view path) = 0;
    virtual std::int32_t SetDescription(std::string_view description) = 0;
    virtual std::int32_t SetWorkingDirectory(std::string_view folder) = 0;
    // IPersistFile::Save under this name (remembering it); true when the result
    // code is not negative. A missing folder fails and leaves no file.
    virtual bool Save(std::string_view fileName) = 0;
};

class Shell {
  public:
    virtual ~Shell() = default;
    // A new link object (CoCreateInstance of the shell link); never null, but
    // possibly without an object behind it (see CreationResult).
    virtual std::unique_ptr<ShellLinkObject> CreateShellLink() = 0;
    // SHGetSpecialFolderLocation + SHGetPathFromIDListA, without trailing
    // backslash. Nothing when the shell can't locate the folder.
    virtual std::optional<std::string> SpecialFolderPath(int csidl) = 0;
    // ShellExecuteA with no owner window, the verb "open", the path as the file, no
    // parameters, no folder, SW_SHOWNORMAL. Above 32: handed over; else the error
    // code (0 to 32).
    virtual std::intptr_t OpenWithShell(std::string_view path) = 0;
};

// ---------------------------------------------------------------------------
// One operating system: the services above, owned by the implementation.
class Os {
  public:
    virtual ~Os() = default;
    virtual ProfileFiles& Profiles() = 0;
    virtual Registry& Reg() = 0;
    virtual FileSystem& Files() = 0;
    virtual SystemInfo& System() = 0;
    virtual MessageThread& Thread() = 0;
    virtual Shell& ShellServices() = 0;
};

// The active implementation. Using it before one was installed is a programming
// error and terminates.
Os& CurrentOs();
// Installs an implementation (not owned); returns the previous one.
Os* SetCurrentOs(Os* os);

// Installs an implementation for the lifetime of the guard (tests).
class ScopedOs {
  public:
    explicit ScopedOs(Os& os) : previous_(SetCurrentOs(&os)) {}
    ~ScopedOs() { SetCurrentOs(previous_); }
    ScopedOs(const ScopedOs&) = delete;
    ScopedOs& operator=(const ScopedOs&) = delete;

  private:
    Os* previous_;
};

}  // namespace setup::platform
