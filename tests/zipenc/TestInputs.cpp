#include "TestInputs.h"

#include <random>

namespace setup::zipenc::testing {

Bytes TextBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random() >> 24);
    }
    return bytes;
}

Bytes MixedTextAndBinary(std::size_t size) {
    static const char* const kWords[] = {
        "Setup",          "kopiert", "die",         "Dateien",       "in",           "den",
        "Zielordner",     "Bitte",   "warten",      "Modul",         "wird",         "entpackt",
        "Programmgruppe", "und",     "Verknüpfung", "Registrierung", "Fehler",       "beim",
        "Lesen",          "der",     "Archivdatei", "Neustart",      "erforderlich", "Abbrechen",
        "Weiter",         "Zurück",  "Fertig",      "Lizenz",
    };
    std::mt19937 random(1234);
    Bytes bytes;
    bytes.reserve(size + 1024);
    while (bytes.size() < size) {
        const auto kind = random() % 10;
        if (kind < 6) {
            // A line of words, now and then with a number.
            const std::size_t words = 3 + random() % 12;
            for (std::size_t i = 0; i < words; ++i) {
                const std::string word = kWords[random() % std::size(kWords)];
                bytes.insert(bytes.end(), word.begin(), word.end());
                bytes.push_back(random() % 7 == 0 ? ',' : ' ');
                if (random() % 9 == 0) {
                    const std::string number = std::to_string(random() % 100000);
                    bytes.insert(bytes.end(), number.begin(), number.end());
                    bytes.push_back(' ');
                }
            }
            bytes.push_back('\r');
            bytes.push_back('\n');
        } else if (kind < 9) {
            // Little-endian records with slowly changing fields.
            const auto base = static_cast<std::uint32_t>(random());  // 32 bits
            for (std::uint32_t i = 0; i < 16; ++i) {
                const std::uint32_t value = base + i * 3;
                for (int shift = 0; shift < 32; shift += 8) {
                    bytes.push_back(static_cast<std::uint8_t>(value >> shift));
                }
                bytes.push_back(0);
                bytes.push_back(static_cast<std::uint8_t>(i));
            }
        } else {
            const Bytes noise =
                RandomBytes(64 + random() % 512, static_cast<std::uint32_t>(random()));
            bytes.insert(bytes.end(), noise.begin(), noise.end());
        }
    }
    bytes.resize(size);
    return bytes;
}

Bytes RareHighBytes(std::size_t size) {
    Bytes bytes = RandomBytes(size, 99);
    for (auto& b : bytes) {
        b &= 0x7F;
    }
    std::mt19937 random(98);
    for (int v = 128; v < 256; ++v) {
        bytes[random() % size] = static_cast<std::uint8_t>(v);
    }
    return bytes;
}

Bytes LongRuns() {
    Bytes bytes;
    std::uint8_t value = 'a';
    // Around the longest match with and without a literal tree (320 and 321) and
    // the first length that needs the extra byte (65 and 66).
    for (std::size_t run : {64u, 65u, 66u, 67u, 319u, 320u, 321u, 322u, 323u, 700u, 5000u}) {
        bytes.insert(bytes.end(), run, value++);
        bytes.push_back('|');
    }
    bytes.insert(bytes.end(), 40000, 0);
    return bytes;
}

Bytes RepeatAtDistance(std::size_t size) {
    Bytes bytes = RandomBytes(size, static_cast<std::uint32_t>(size));
    bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 300);
    return bytes;
}

std::vector<NamedInput> StandardInputs() {
    std::vector<NamedInput> inputs;
    inputs.push_back({"empty.bin", {}});
    inputs.push_back({"one.bin", {'A'}});
    inputs.push_back({"two.bin", {'x', 'x'}});
    inputs.push_back({"short.txt", TextBytes("Hallo! Setup installiert jetzt das Programm.")});
    std::string repetitive;
    for (int i = 0; i < 400; ++i) {
        repetitive += "Die Datei wurde kopiert. ";
    }
    inputs.push_back({"repetitive.txt", TextBytes(repetitive)});
    Bytes allValues;
    for (int round = 0; round < 8; ++round) {
        for (int v = 0; v < 256; ++v) {
            allValues.push_back(static_cast<std::uint8_t>(v * (2 * round + 1)));
        }
    }
    inputs.push_back({"allvalues.bin", allValues});
    inputs.push_back({"random.bin", RandomBytes(20000, 7)});
    inputs.push_back({"mixed.bin", MixedTextAndBinary(300000)});
    inputs.push_back({"rare.bin", RareHighBytes(30000)});
    inputs.push_back({"runs.bin", LongRuns()});
    inputs.push_back({"distance4k.bin", RepeatAtDistance(4096)});
    inputs.push_back({"distance8k.bin", RepeatAtDistance(8192)});
    return inputs;
}

}  // namespace setup::zipenc::testing
