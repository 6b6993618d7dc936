#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/WinApi.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemLibrary.h"

namespace setup::platform::win32 {
namespace {

FILETIME ToFiletime(FileTime time) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(time);
    ft.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return ft;
}

FileTime FromFiletime(const FILETIME& ft) {
    return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// An MS-DOS date and time taken as local time, as a system file time.
bool UtcFromLocalDos(std::uint32_t dosDateTime, FILETIME& utc) {
    FILETIME local;
    return DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                                 static_cast<WORD>(dosDateTime), &local) &&
           LocalFileTimeToFileTime(&local, &utc);
}

// ReadFile and WriteFile move at most a DWORD's worth per call.
constexpr std::size_t kLargestTransfer = 1u << 30;

class Win32File final : public File {
  public:
    explicit Win32File(FileHandle handle) : handle_(std::move(handle)) {}

    std::int64_t Read(std::span<std::uint8_t> buffer) override {
        if (!handle_) {
            return -1;
        }
        std::size_t total = 0;
        while (total < buffer.size()) {
            const std::size_t want = std::min(buffer.size() - total, kLargestTransfer);
            DWORD got = 0;
            if (!ReadFile(handle_.Get(), buffer.data() + total, static_cast<DWORD>(want), &got,
                          nullptr)) {
                return -1;
            }
            total += got;
            if (got < want) {
                break;  // end of file
            }
        }
        return static_cast<std::int64_t>(total);
    }

    std::int64_t Write(std::span<const std::uint8_t> data) override {
        if (!handle_) {
            return -1;
        }
        std::size_t total = 0;
        while (total < data.size()) {
            const std::size_t want = std::min(data.size() - total, kLargestTransfer);
            DWORD written = 0;
            if (!WriteFile(handle_.Get(), data.data() + total, static_cast<DWORD>(want), &written,
                           nullptr) ||
                written == 0) {
                return total > 0 ? static_cast<std::int64_t>(total) : -1;
            }
            total += written;
        }
        return static_cast<std::int64_t>(total);
    }

    bool Seek(std::uint64_t position) override {
        if (!handle_ || position > static_cast<std::uint64_t>(INT64_MAX)) {
            return false;
        }
        LONG high = static_cast<LONG>(position >> 32);
        SetLastError(NO_ERROR);
        const DWORD low =
            SetFilePointer(handle_.Get(), static_cast<LONG>(position), &high, FILE_BEGIN);
        return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
    }

    std::int64_t Size() override {
        if (!handle_) {
            return -1;
        }
        DWORD high = 0;
        SetLastError(NO_ERROR);
        const DWORD low = GetFileSize(handle_.Get(), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
            return -1;
        }
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
    }

    bool SetLastWriteDos(std::uint32_t dosDateTime) override {
        FILETIME utc;
        return handle_ && UtcFromLocalDos(dosDateTime, utc) &&
               SetFileTime(handle_.Get(), nullptr, nullptr, &utc);
    }

    // WriteFile hands data straight to the system, so closing the handle is the last
    // point where a failure can show.
    bool Close() override { return handle_ && handle_.Reset(); }

  private:
    FileHandle handle_;
};

}  // namespace

namespace {

FoundEntry MakeFound(const WIN32_FIND_DATAA& data) {
    FoundEntry entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.lastWrite = FromFiletime(data.ftLastWriteTime);
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return entry;
}

}  // namespace

std::optional<FoundEntry> Win32FileSystem::FindFirst(std::string_view pattern) {
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(std::string(pattern).c_str(), &data));
    if (!find) {
        return std::nullopt;
    }
    return MakeFound(data);
}

std::uint32_t Win32FileSystem::GetAttributes(std::string_view path) {
    return GetFileAttributesA(std::string(path).c_str());
}

bool Win32FileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
    return SetFileAttributesA(std::string(path).c_str(), attributes) != FALSE;
}

std::optional<std::uint32_t> Win32FileSystem::ToLocalDosDateTime(FileTime time) {
    const FILETIME utc = ToFiletime(time);
    FILETIME local;
    SYSTEMTIME parts;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts)) {
        return std::nullopt;
    }
    // The MS-DOS format counts years from 1980 in seven bits; not every system
    // refuses the years outside, so check before converting.
    if (parts.wYear < 1980 || parts.wYear > 2107) {
        return std::nullopt;
    }
    WORD date = 0;
    WORD clock = 0;
    if (!FileTimeToDosDateTime(&local, &date, &clock)) {
        return std::nullopt;
    }
    return (static_cast<std::uint32_t>(date) << 16) | clock;
}

bool Win32FileSystem::SetLastWriteDos(std::string_view path, std::uint32_t dosDateTime) {
    FILETIME utc;
    if (!UtcFromLocalDos(dosDateTime, utc)) {
        return false;
    }
    // Changing a time needs only the right to write attributes, which a read-only
    // file still grants.
    FileHandle file(CreateFileA(std::string(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && SetFileTime(file.Get(), nullptr, nullptr, &utc) && file.Reset();
}

bool Win32FileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
    const std::string source(from);
    const std::string target(to);
    if (!CopyFileA(source.c_str(), target.c_str(), failIfExists)) {
        return false;
    }
    // Windows gives a replaced target the source's attributes, but not every
    // implementation of the API does (Wine keeps the old ones): set them again.
    const DWORD attributes = GetFileAttributesA(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(target.c_str(), attributes);
    }
    return true;
}

bool Win32FileSystem::MoveFile(std::string_view from, std::string_view to, bool replaceExisting) {
    const std::string source(from);
    const std::string target(to);
    // A move to another drive copies and deletes, as a rename can't cross volumes.
    DWORD flags = MOVEFILE_COPY_ALLOWED;
    if (replaceExisting) {
        // Windows refuses to replace a read-only file; Wine replaces it. Refuse here
        // too, so that a protected file stays protected wherever the program runs.
        const DWORD existing = GetFileAttributesA(target.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0 &&
            (existing & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    return MoveFileExA(source.c_str(), target.c_str(), flags) != FALSE;
}

bool Win32FileSystem::DeleteFile(std::string_view path) {
    return DeleteFileA(std::string(path).c_str()) != FALSE;
}

bool Win32FileSystem::CreateFolder(std::string_view path) {
    return CreateDirectoryA(std::string(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveFolder(std::string_view path) {
    return RemoveDirectoryA(std::string(path).c_str()) != FALSE;
}

std::vector<FoundEntry> Win32FileSystem::ListFolder(std::string_view folder) {
    std::vector<FoundEntry> found;
    std::string pattern(folder);
    if (!pattern.empty() && pattern.back() != '\\') {
        pattern += '\\';
    }
    pattern += '*';
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find) {
        return found;
    }
    do {
        const std::string_view name = data.cFileName;
        if (name != "." && name != "..") {
            found.push_back(MakeFound(data));
        }
    } while (FindNextFileA(find.Get(), &data));
    return found;
}

bool Win32FileSystem::DeleteWhenUnused(std::string_view path) {
    const std::string file(path);
    return DeleteFileA(file.c_str()) != FALSE ||
           MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

DriveType Win32FileSystem::DriveTypeOf(char letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    return type <= static_cast<UINT>(DriveType::RamDisk) ? static_cast<DriveType>(type)
                                                         : DriveType::Unknown;
}

std::string Win32FileSystem::GetCurrentFolder() {
    // The first call tells the size including the NUL; the folder could change in
    // between, hence the loop.
    std::string folder;
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    while (size > 0) {
        folder.assign(size, '\0');
        const DWORD length = GetCurrentDirectoryA(size, folder.data());
        if (length < size) {
            folder.resize(length);
            return folder;
        }
        size = length;
    }
    return {};
}

bool Win32FileSystem::SetCurrentFolder(std::string_view path) {
    return SetCurrentDirectoryA(std::string(path).c_str()) != FALSE;
}

std::unique_ptr<File> Win32FileSystem::Open(std::string_view path, OpenMode mode) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
        case OpenMode::Read:
            break;
        case OpenMode::CreateWrite:
            access = GENERIC_WRITE;
            disposition = CREATE_ALWAYS;
            break;
        case OpenMode::CreateNew:
            access = GENERIC_WRITE;
            disposition = CREATE_NEW;
            break;
        case OpenMode::ReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
    }
    FileHandle handle(CreateFileA(std::string(path).c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(handle));
}

std::optional<std::array<std::uint16_t, 4>> Win32FileSystem::ReadFileVersion(
    std::string_view path) {
    // Not imported: an imported version.dll would be looked for beside Setup.exe
    // first. Loading it per call costs nothing next to reading the file.
    const SystemLibrary library("version.dll");
    using SizeFunction = DWORD WINAPI(LPCSTR, LPDWORD);
    using InfoFunction = BOOL WINAPI(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFunction = BOOL WINAPI(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto* infoSize = library.Find<SizeFunction>("GetFileVersionInfoSizeA");
    auto* info = library.Find<InfoFunction>("GetFileVersionInfoA");
    auto* query = library.Find<QueryFunction>("VerQueryValueA");
    if (infoSize == nullptr || info == nullptr || query == nullptr) {
        return FileSystem::ReadFileVersion(path);
    }
    const std::string name(path);
    DWORD ignored = 0;
    const DWORD size = infoSize(name.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    // From here the file has version information; what can't be read of it
    // leaves the numbers at zero.
    std::array<std::uint16_t, 4> numbers{};
    std::vector<std::uint8_t> block(size);
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (info(name.c_str(), 0, size, block.data()) &&
        query(block.data(), "\\", &fixed, &fixedSize) && fixed != nullptr &&
        fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixedInfo = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        numbers = {HIWORD(fixedInfo->dwFileVersionMS), LOWORD(fixedInfo->dwFileVersionMS),
                   HIWORD(fixedInfo->dwFileVersionLS), LOWORD(fixedInfo->dwFileVersionLS)};
    }
    return numbers;
}

}  // namespace setup::platform::win32
