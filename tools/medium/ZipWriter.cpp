#include "ZipWriter.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <sstream>
#include <stdexcept>

#include "HostNames.h"
#include "zip/Crc32.h"

namespace setup::medium {
namespace {

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

constexpr std::uint16_t kFlagUtf8 = 0x0800;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

}  // namespace

std::uint32_t DosDateTime(std::filesystem::file_time_type time) {
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(time));
    std::time_t seconds = std::chrono::system_clock::to_time_t(system);
    seconds += seconds & 1;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const int year = local.tm_year + 1900;
    if (year < 1980) {
        return (1U << 21) | (1U << 16);  // DOS dates start on 1 January 1980
    }
    const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) |
                                                 local.tm_mday);
    const auto clock = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                                  (local.tm_sec / 2));
    return (date << 16) | clock;
}

PackedSizes ZipWriter::Add(std::string_view name, std::uint32_t dosDateTime,
                           std::string_view data) {
    if (data.size() >= 0x7FFFFFFF) {
        throw std::length_error("a file of 2 GB or more can't be packed");
    }
    std::string stored(name);
    for (char& c : stored) {
        c = c == '\\' ? '/' : c;
    }
    std::uint16_t flags = 0;
    if (std::any_of(stored.begin(), stored.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        stored = Utf8Of(stored);
        flags = kFlagUtf8;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    const std::uint32_t crc = ~zip::UpdateCrc32(0xFFFFFFFF, {bytes, data.size()});
    const std::string deflated = deflater_.Compress(data);
    const bool packed = !deflated.empty();
    const std::string_view body = packed ? std::string_view(deflated) : data;
    const std::uint16_t method = packed ? kMethodDeflated : kMethodStored;
    const std::uint16_t version = packed ? 20 : 10;

    // The fields local and central headers share, from "version needed" on.
    std::string common;
    Put16(common, version);
    Put16(common, flags);
    Put16(common, method);
    Put32(common, dosDateTime);
    Put32(common, crc);
    Put32(common, static_cast<std::uint32_t>(body.size()));
    Put32(common, static_cast<std::uint32_t>(data.size()));
    Put16(common, static_cast<std::uint32_t>(stored.size()));
    Put16(common, 0);  // no extra field

    std::string local;
    Put32(local, 0x04034B50);
    local += common;
    local += stored;
    out_.write(local.data(), static_cast<std::streamsize>(local.size()));
    out_.write(body.data(), static_cast<std::streamsize>(body.size()));

    Put32(central_, 0x02014B50);
    Put16(central_, 20);  // made by: MS-DOS, version 2.0
    central_ += common;
    Put16(central_, 0);  // comment
    Put16(central_, 0);  // disk
    Put16(central_, 0);  // internal attributes
    Put32(central_, 0);  // external attributes
    Put32(central_, static_cast<std::uint32_t>(offset_));
    central_ += stored;
    offset_ += local.size() + body.size();
    ++count_;
    if (offset_ >= 0xFFFFFFFF || count_ >= 0xFFFF) {
        throw std::length_error("the archive would need ZIP64");
    }
    return {data.size(), body.size()};
}

bool ZipWriter::Finish() {
    std::string end;
    Put32(end, 0x06054B50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, count_);
    Put16(end, count_);
    Put32(end, static_cast<std::uint32_t>(central_.size()));
    Put32(end, static_cast<std::uint32_t>(offset_));
    Put16(end, 0);
    out_.write(central_.data(), static_cast<std::streamsize>(central_.size()));
    out_.write(end.data(), static_cast<std::streamsize>(end.size()));
    out_.flush();
    return static_cast<bool>(out_);
}

std::string SingleEntryZip(std::string_view name, std::uint32_t dosDateTime, std::string_view data,
                           Deflater& deflater) {
    std::ostringstream out;
    ZipWriter writer(out, deflater);
    writer.Add(name, dosDateTime, data);
    writer.Finish();
    return std::move(out).str();
}

}  // namespace setup::medium
