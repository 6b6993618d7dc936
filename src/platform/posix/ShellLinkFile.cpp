#include "platform/posix/ShellLinkFile.h"

#include <array>
#include <cstdint>
#include <span>

#include "base/Windows1252.h"

namespace setup::platform::posix {
namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr std::array<std::uint8_t, 16> kLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// LinkFlags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;

// LinkInfo.
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoUnicodeHeaderSize = 0x24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t kVolumeIdSize = 0x11;  // four fields and an empty label
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kShowNormal = 1;
constexpr std::size_t kMaxStringChars = 0xFFFF;

class Writer {
  public:
    void U16(std::uint32_t value) {
        bytes_ += static_cast<char>(value & 0xFF);
        bytes_ += static_cast<char>((value >> 8) & 0xFF);
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Zeros(std::size_t count) { bytes_.append(count, '\0'); }
    void Bytes(std::span<const std::uint8_t> data) {
        for (std::uint8_t b : data) {
            bytes_ += static_cast<char>(b);
        }
    }
    void Text(std::string_view text) { bytes_ += text; }
    // A StringData entry: a character count and UTF-16LE characters, no terminator.
    void UnicodeString(std::string_view text) {
        text = text.substr(0, kMaxStringChars);
        U16(static_cast<std::uint32_t>(text.size()));
        for (char c : text) {
            U16(static_cast<std::uint32_t>(Cp1252ToCodePoint(static_cast<unsigned char>(c))));
        }
    }
    std::string Take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

// Bounds-checked little-endian reading; every read past the end fails.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool Has(std::size_t pos, std::size_t count) const {
        return pos <= bytes_.size() && count <= bytes_.size() - pos;
    }
    std::optional<std::uint32_t> U16(std::size_t pos) const {
        if (!Has(pos, 2)) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(Byte(pos) | (Byte(pos + 1) << 8));
    }
    std::optional<std::uint32_t> U32(std::size_t pos) const {
        auto low = U16(pos);
        auto high = U16(pos + 2);
        if (!low || !high) {
            return std::nullopt;
        }
        return *low | (*high << 16);
    }
    // A NUL-terminated ANSI string starting at pos, not beyond `end`.
    std::optional<std::string> AnsiZ(std::size_t pos, std::size_t end) const {
        std::string text;
        for (; pos < end && pos < bytes_.size(); ++pos) {
            if (bytes_[pos] == '\0') {
                return text;
            }
            text += bytes_[pos];
        }
        return std::nullopt;
    }
    // A NUL-terminated UTF-16LE string starting at pos, not beyond `end`.
    std::optional<std::string> UnicodeZ(std::size_t pos, std::size_t end) const {
        std::string text;
        for (; pos + 2 <= end; pos += 2) {
            auto unit = U16(pos);
            if (!unit) {
                return std::nullopt;
            }
            if (*unit == 0) {
                return text;
            }
            text += Narrow(*unit);
        }
        return std::nullopt;
    }
    // `count` characters at pos, one or two bytes each.
    std::optional<std::string> Chars(std::size_t pos, std::size_t count, bool unicode) const {
        const std::size_t width = unicode ? 2 : 1;
        if (!Has(pos, count * width)) {
            return std::nullopt;
        }
        if (!unicode) {
            return std::string(bytes_.substr(pos, count));
        }
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += Narrow(*U16(pos + 2 * i));
        }
        return text;
    }

  private:
    std::uint32_t Byte(std::size_t pos) const { return static_cast<unsigned char>(bytes_[pos]); }
    // Surrogates and other characters outside Windows-1252 become "?".
    static char Narrow(std::uint32_t unit) {
        return CodePointToCp1252(static_cast<char32_t>(unit)).value_or('?');
    }

    std::string_view bytes_;
};

// The local path of a LinkInfo structure at `pos`; sets `size` to its length.
std::optional<std::string> LocalPathOf(const Reader& in, std::size_t pos, std::size_t& size) {
    auto total = in.U32(pos);
    auto headerSize = in.U32(pos + 4);
    auto flags = in.U32(pos + 8);
    auto baseOffset = in.U32(pos + 16);
    auto suffixOffset = in.U32(pos + 24);
    if (!total || !headerSize || !flags || !baseOffset || !suffixOffset || *total < *headerSize ||
        *headerSize < kLinkInfoHeaderSize || !in.Has(pos, *total)) {
        return std::nullopt;
    }
    size = *total;
    const std::size_t end = pos + *total;
    if ((*flags & kVolumeIdAndLocalBasePath) == 0) {
        return std::string();
    }
    std::optional<std::string> base;
    std::optional<std::string> suffix;
    if (*headerSize >= kLinkInfoUnicodeHeaderSize) {
        auto baseUnicode = in.U32(pos + 28);
        auto suffixUnicode = in.U32(pos + 32);
        if (!baseUnicode || !suffixUnicode) {
            return std::nullopt;
        }
        base = in.UnicodeZ(pos + *baseUnicode, end);
        suffix = in.UnicodeZ(pos + *suffixUnicode, end);
    } else {
        base = in.AnsiZ(pos + *baseOffset, end);
        suffix = in.AnsiZ(pos + *suffixOffset, end);
    }
    if (!base || !suffix) {
        return std::nullopt;
    }
    return *base + *suffix;
}

}  // namespace

std::string EncodeShellLink(const ShellLinkFields& fields) {
    std::uint32_t flags = kIsUnicode;
    if (!fields.target.empty()) {
        flags |= kHasLinkInfo;
    }
    if (!fields.description.empty()) {
        flags |= kHasName;
    }
    if (!fields.workingDirectory.empty()) {
        flags |= kHasWorkingDir;
    }

    Writer out;
    out.U32(kHeaderSize);
    out.Bytes(kLinkClsid);
    out.U32(flags);
    out.U32(0);     // file attributes of the target: not recorded
    out.Zeros(24);  // creation, access and write times
    out.U32(0);     // file size
    out.U32(0);     // icon index
    out.U32(kShowNormal);
    out.Zeros(2 + 2 + 4 + 4);  // hot key and the reserved fields

    if (!fields.target.empty()) {
        const auto target = static_cast<std::uint32_t>(fields.target.size());
        const std::uint32_t baseOffset = kLinkInfoHeaderSize + kVolumeIdSize;
        const std::uint32_t suffixOffset = baseOffset + target + 1;
        out.U32(suffixOffset + 1);  // the whole LinkInfo
        out.U32(kLinkInfoHeaderSize);
        out.U32(kVolumeIdAndLocalBasePath);
        out.U32(kLinkInfoHeaderSize);  // VolumeID right behind the header
        out.U32(baseOffset);
        out.U32(0);  // no network location
        out.U32(suffixOffset);
        // VolumeID: a fixed drive without serial number or label.
        out.U32(kVolumeIdSize);
        out.U32(kDriveFixed);
        out.U32(0);
        out.U32(0x10);  // the label right behind the four fields
        out.Zeros(1);
        out.Text(fields.target);
        out.Zeros(1);
        out.Zeros(1);  // an empty common path suffix
    }
    if (!fields.description.empty()) {
        out.UnicodeString(fields.description);
    }
    if (!fields.workingDirectory.empty()) {
        out.UnicodeString(fields.workingDirectory);
    }
    out.U32(0);  // the terminal block: no extra data
    return out.Take();
}

std::optional<ShellLinkFields> DecodeShellLink(std::string_view bytes) {
    const Reader in(bytes);
    auto headerSize = in.U32(0);
    if (!headerSize || *headerSize != kHeaderSize || !in.Has(0, kHeaderSize) ||
        bytes.substr(4, kLinkClsid.size()) !=
            std::string_view(reinterpret_cast<const char*>(kLinkClsid.data()), kLinkClsid.size())) {
        return std::nullopt;
    }
    const std::uint32_t flags = *in.U32(20);
    const bool unicode = (flags & kIsUnicode) != 0;
    std::size_t pos = kHeaderSize;
    ShellLinkFields fields;

    if (flags & kHasLinkTargetIdList) {
        auto size = in.U16(pos);
        if (!size || !in.Has(pos + 2, *size)) {
            return std::nullopt;
        }
        pos += 2 + *size;
    }
    if (flags & kHasLinkInfo) {
        std::size_t size = 0;
        auto target = LocalPathOf(in, pos, size);
        if (!target) {
            return std::nullopt;
        }
        fields.target = std::move(*target);
        pos += size;
    }
    // The strings stand in the order of their flags; only two are kept.
    const std::pair<std::uint32_t, std::string*> strings[] = {
        {kHasName, &fields.description},
        {kHasRelativePath, nullptr},
        {kHasWorkingDir, &fields.workingDirectory},
        {kHasArguments, nullptr},
        {kHasIconLocation, nullptr},
    };
    for (const auto& [flag, field] : strings) {
        if ((flags & flag) == 0) {
            continue;
        }
        auto count = in.U16(pos);
        if (!count) {
            return std::nullopt;
        }
        auto text = in.Chars(pos + 2, *count, unicode);
        if (!text) {
            return std::nullopt;
        }
        if (field != nullptr) {
            // Some writers count a terminating NUL too.
            *field = text->substr(0, text->find('\0'));
        }
        pos += 2 + *count * (unicode ? 2u : 1u);
    }
    return fields;
}

std::optional<ShellLinkFields> ReadShortcutFile(FileSystem& files, std::string_view path) {
    auto file = files.Open(path, OpenMode::Read);
    if (!file) {
        return std::nullopt;
    }
    const std::int64_t size = file->Size();
    // No shortcut of ours comes near this; a bigger file is not read whole.
    constexpr std::int64_t kMaxSize = 1 << 20;
    if (size < 0 || size > kMaxSize) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    if (file->Read(std::span(data, bytes.size())) != size) {
        return std::nullopt;
    }
    return DecodeShellLink(bytes);
}

}  // namespace setup::platform::posix
