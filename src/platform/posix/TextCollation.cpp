#include "platform/posix/TextCollation.h"

#include <algorithm>
#include <vector>

namespace setup::platform::posix {
namespace {

// One sorting unit: its place in the alphabet (primary) and its accent (secondary).
struct Unit {
    int primary;
    int accent;
    auto operator<=>(const Unit&) const = default;
};

constexpr int kPunctuation = 0x000;
constexpr int kDigit = 0x100;
constexpr int kLetter = 0x200;

int Letter(char upper) {
    return kLetter + (upper - 'A');
}

// The base letter(s) and accent of a Windows-1252 letter beyond ASCII; empty
// base for a character that is no letter.
struct Decomposed {
    std::string_view base;
    int accent;
};

Decomposed Decompose(unsigned char c) {
    // Accents numbered as grave, acute, circumflex, tilde, diaeresis, ring,
    // cedilla, stroke, caron; ligatures and "ß" expand to two letters.
    switch (c) {
        case 0x8A:
        case 0x9A:
            return {"S", 9};
        case 0x8C:
        case 0x9C:
            return {"OE", 0};
        case 0x8E:
        case 0x9E:
            return {"Z", 9};
        case 0x9F:
        case 0xFF:
            return {"Y", 5};
        case 0xC6:
        case 0xE6:
            return {"AE", 0};
        case 0xC7:
        case 0xE7:
            return {"C", 7};
        case 0xD0:
        case 0xF0:
            return {"D", 8};
        case 0xD1:
        case 0xF1:
            return {"N", 4};
        case 0xD8:
        case 0xF8:
            return {"O", 8};
        case 0xDD:
        case 0xFD:
            return {"Y", 2};
        case 0xDF:
            return {"SS", 0};
        default:
            break;
    }
    // The regular blocks: À-Å, È-Ë, Ì-Ï, Ò-Ö, Ù-Ü and their small forms.
    struct Block {
        unsigned char first;
        unsigned char last;
        std::string_view base;
        int firstAccent;
    };
    static constexpr Block kBlocks[] = {
        {0xC0, 0xC5, "A", 1}, {0xC8, 0xCB, "E", 1}, {0xCC, 0xCF, "I", 1},
        {0xD2, 0xD6, "O", 1}, {0xD9, 0xDC, "U", 1},
    };
    const unsigned char upper = (c >= 0xE0 && c != 0xF7) ? static_cast<unsigned char>(c - 0x20) : c;
    for (const Block& block : kBlocks) {
        if (upper >= block.first && upper <= block.last) {
            int accent = block.firstAccent + (upper - block.first);
            // E, I and U have no tilde: their fourth form is the diaeresis.
            if (block.base != "A" && block.base != "O" && accent >= 4) {
                accent = 5;
            }
            return {block.base, accent};
        }
    }
    return {{}, 0};
}

bool IsIgnorable(char c) {
    return c == '-' || c == '\'';
}

std::vector<Unit> UnitsOf(std::string_view text) {
    std::vector<Unit> units;
    units.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsIgnorable(ch)) {
            continue;
        }
        if (c >= 'a' && c <= 'z') {
            units.push_back({Letter(static_cast<char>(c - 'a' + 'A')), 0});
        } else if (c >= 'A' && c <= 'Z') {
            units.push_back({Letter(static_cast<char>(c)), 0});
        } else if (c >= '0' && c <= '9') {
            units.push_back({kDigit + (c - '0'), 0});
        } else if (const Decomposed d = Decompose(c); !d.base.empty()) {
            for (char base : d.base) {
                units.push_back({Letter(base), d.accent});
            }
        } else {
            // Blanks, punctuation and symbols: before digits, among themselves by code.
            units.push_back({kPunctuation + c, 0});
        }
    }
    return units;
}

template <typename Key>
int CompareBy(const std::vector<Unit>& a, const std::vector<Unit>& b, Key key) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (key(a[i]) != key(b[i])) {
            return key(a[i]) < key(b[i]) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int CompareCollated(std::string_view a, std::string_view b) {
    const std::vector<Unit> ua = UnitsOf(a);
    const std::vector<Unit> ub = UnitsOf(b);
    if (int primary = CompareBy(ua, ub, [](const Unit& u) { return u.primary; })) {
        return primary;
    }
    if (int accent = CompareBy(ua, ub, [](const Unit& u) { return u.accent; })) {
        return accent;
    }
    // Alike but for hyphens and apostrophes: the text with fewer of them first,
    // then by where they stand.
    const auto ignorables = [](std::string_view text) {
        std::vector<Unit> marks;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (IsIgnorable(text[i])) {
                marks.push_back({static_cast<int>(i), static_cast<unsigned char>(text[i])});
            }
        }
        return marks;
    };
    const std::vector<Unit> ma = ignorables(a);
    const std::vector<Unit> mb = ignorables(b);
    if (ma.size() != mb.size()) {
        return ma.size() < mb.size() ? -1 : 1;
    }
    return ma == mb ? 0 : (ma < mb ? -1 : 1);
}

}  // namespace setup::platform::posix
