// The text of an entry name as the directory stores it.
//
// Names are bytes as stored, with two exceptions that current tools write: a name
// flagged with general-purpose bit 11 is UTF-8, and Info-ZIP on Unix adds the
// Unicode Path extra field (0x7075) holding the name in UTF-8 beside the stored
// one. Either is converted to Windows-1252, the program's text; a name without a
// 1252 form has no usable text at all (never a "?" in its place). Other names,
// such as the OEM names of archives made on MS-DOS, stay as stored.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace setup::zip {

inline constexpr std::uint16_t kFlagUtf8Name = 0x0800;

// The entry's name in 1252 from its stored name field, its flags and its central
// extra field; nothing when the name it gives is not valid UTF-8 or has no 1252
// form. A Unicode Path field counts only when it is version 1 and its CRC-32
// matches the stored name field (else the name was changed without it: ignored).
// The result is cut at its first NUL, as the system sees zero-terminated names.
std::optional<std::string> EntryNameText(std::string_view storedName, std::uint16_t flags,
                                         std::span<const std::uint8_t> extra);

}  // namespace setup::zip
