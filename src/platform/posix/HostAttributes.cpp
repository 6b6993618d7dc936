#include "platform/posix/HostAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/Os.h"

namespace setup::platform::posix {
namespace {

constexpr char kAttributeName[] = "user.dosattrib";
// The bits kept in the extended attribute.
constexpr std::uint32_t kStoredBits =
    attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive;

std::optional<std::uint32_t> StoredBits(const std::filesystem::path& path) {
    char text[32] = {};
    const ssize_t length = getxattr(path.c_str(), kAttributeName, text, sizeof(text) - 1);
    if (length <= 0) {
        return std::nullopt;
    }
    text[length] = '\0';
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (end == text) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value) & kStoredBits;
}

// Where attributes are written: a path, or an open descriptor (path null).
struct AttributeTarget {
    const char* path = nullptr;
    int descriptor = -1;

    int SetAttribute(const char* text, std::size_t length) const {
        return path != nullptr ? setxattr(path, kAttributeName, text, length, 0)
                               : fsetxattr(descriptor, kAttributeName, text, length, 0);
    }
    int ChangeMode(mode_t mode) const {
        return path != nullptr ? chmod(path, mode) : fchmod(descriptor, mode);
    }
};

bool StoreBits(const AttributeTarget& target, std::uint32_t bits) {
    char text[32];
    const int length = std::snprintf(text, sizeof(text), "0x%x", bits);
    if (target.SetAttribute(text, static_cast<std::size_t>(length)) == 0) {
        return true;
    }
    // Without extended attributes these bits are simply not kept.
    return errno == ENOTSUP;
}

bool WriteBits(const AttributeTarget& target, const struct stat& info, std::uint32_t attributes) {
    const std::uint32_t bits = attributes & kStoredBits;
    if (S_ISDIR(info.st_mode)) {
        return StoreBits(target, bits);
    }
    // The attribute is written while the file is still writable.
    const mode_t writable = info.st_mode | S_IWUSR;
    const mode_t mode = (bits & attr::kReadOnly) ? (info.st_mode & ~mode_t{0222}) : writable;
    if ((info.st_mode & S_IWUSR) == 0 && target.ChangeMode(writable & 07777) != 0) {
        return false;
    }
    if (!StoreBits(target, bits & ~attr::kReadOnly)) {
        return false;
    }
    return mode == writable || target.ChangeMode(mode & 07777) == 0;
}

bool RemoveBits(const std::filesystem::path& path) {
    return removexattr(path.c_str(), kAttributeName) == 0 || errno == ENODATA || errno == ENOTSUP;
}

}  // namespace

std::uint32_t AttributesOf(const std::filesystem::path& path, const struct stat& info) {
    const auto stored = StoredBits(path);
    if (S_ISDIR(info.st_mode)) {
        return attr::kDirectory | stored.value_or(0);
    }
    std::uint32_t result = stored ? (*stored & ~attr::kReadOnly) : attr::kArchive;
    if ((info.st_mode & S_IWUSR) == 0) {
        result |= attr::kReadOnly;
    }
    return result == 0 ? attr::kNormal : result;
}

std::uint32_t ReadHostAttributes(const std::filesystem::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return attr::kInvalid;
    }
    return AttributesOf(path, info);
}

bool WriteHostAttributes(const std::filesystem::path& path, std::uint32_t attributes) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && WriteHostAttributes(path, info, attributes);
}

bool WriteHostAttributes(const std::filesystem::path& path, const struct stat& info,
                         std::uint32_t attributes) {
    return WriteBits({path.c_str(), -1}, info, attributes);
}

bool WriteHostAttributes(int descriptor, const struct stat& info, std::uint32_t attributes) {
    return WriteBits({nullptr, descriptor}, info, attributes);
}

bool CopyHostAttributes(const std::filesystem::path& from, const std::filesystem::path& to) {
    struct stat info {};
    if (stat(from.c_str(), &info) != 0) {
        return false;
    }
    const auto stored = StoredBits(from);
    if (!stored) {
        // A file without stored bits is an archive file; so becomes its copy.
        if (!RemoveBits(to)) {
            return false;
        }
        return chmod(to.c_str(), info.st_mode & 07777) == 0;
    }
    return WriteHostAttributes(to, AttributesOf(from, info));
}

}  // namespace setup::platform::posix
