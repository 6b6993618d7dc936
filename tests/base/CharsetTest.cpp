// The program's text is single-byte Windows-1252 on every platform: the program's
// sources write letters outside ASCII as escapes (the build refuses them otherwise),
// and the tests' own UTF-8 literals are compiled to 1252.
#include <gtest/gtest.h>

#include "app/MessageDialog.h"
#include "system/PathHelpers.h"

namespace setup {
namespace {

TEST(Charset, LiteralsAreWindows1252) {
    constexpr std::string_view confirm = "Bestätigen";
    ASSERT_EQ(confirm.size(), 10u);
    EXPECT_EQ(static_cast<unsigned char>(confirm[4]), 0xE4);
    EXPECT_EQ(static_cast<unsigned char>(std::string_view("ü")[0]), 0xFC);
    EXPECT_EQ(static_cast<unsigned char>(std::string_view("ß")[0]), 0xDF);
    // A text of the program: the same bytes.
    EXPECT_EQ(app::DialogCaption(app::DialogKind::Confirmation, ""), confirm);
}

TEST(Charset, TrimNameEndSeesUmlautAsOneHighCharacter) {
    EXPECT_EQ(TrimNameEnd("Menü"), "Men");
    EXPECT_EQ(TrimNameEnd("Büro"), "Büro");
}

TEST(Charset, CaseFoldingLeavesUmlautsAlone) {
    EXPECT_EQ(AsciiUpper("äbc"), "äBC");
    EXPECT_TRUE(EqualsNoCase("Menü", "MENü"));
    EXPECT_FALSE(EqualsNoCase("Menü", "MENÜ"));
}

}  // namespace
}  // namespace setup
