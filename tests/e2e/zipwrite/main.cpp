// zipwrite: packs one file into a ZIP archive with a chosen method, using the
// project's own test encoders for the methods that Info-ZIP zip no longer
// writes (shrunk, imploded). The entry gets the file's modification time.
//
// Usage: zipwrite stored|shrunk|imploded ARCHIVE ENTRY-NAME FILE

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "support/zipenc/ZipEntries.h"

namespace {

using setup::zipenc::ZipEntry;

void StampWithModificationTime(ZipEntry& entry, const char* path) {
    struct stat info {};
    if (stat(path, &info) != 0) {
        return;
    }
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    if (local.tm_year < 80) {
        return;  // before 1980: the format's earliest date stays
    }
    entry.dosDate = static_cast<std::uint16_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 |
                                               local.tm_mday);
    entry.dosTime =
        static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: zipwrite stored|shrunk|imploded ARCHIVE ENTRY-NAME FILE\n");
        return 2;
    }
    const std::string_view method = argv[1];
    std::ifstream in(argv[4], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zipwrite: can't read %s\n", argv[4]);
        return 1;
    }
    const std::vector<std::uint8_t> plain{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    ZipEntry entry;
    if (method == "stored") {
        entry = setup::zipenc::StoredEntry(argv[3], plain);
    } else if (method == "shrunk") {
        entry = setup::zipenc::ShrunkEntry(argv[3], plain);
    } else if (method == "imploded") {
        entry = setup::zipenc::ImplodedEntry(argv[3], plain);
    } else {
        std::fprintf(stderr, "zipwrite: unknown method %s\n", argv[1]);
        return 2;
    }
    StampWithModificationTime(entry, argv[4]);
    setup::zipenc::ZipWriter writer;
    writer.Add(std::move(entry));
    const auto archive = writer.Finish();
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()),
              static_cast<std::streamsize>(archive.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "zipwrite: can't write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
