#include "RoundTrip.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "InfoZip.h"

namespace setup::zipenc::testing {

void ExpectInfoZipExtracts(const ZipWriter& writer, const std::vector<NamedInput>& expected) {
    ScratchFolder folder;
    const auto archive = folder.Write("test.zip", writer.Finish());
    const CommandResult tested = TestArchive(archive);
    EXPECT_EQ(tested.exitCode, 0) << tested.Text();
    for (const NamedInput& entry : expected) {
        SCOPED_TRACE(entry.name);
        const CommandResult extracted = ExtractEntry(archive, entry.name);
        EXPECT_EQ(extracted.exitCode, 0);
        ASSERT_EQ(extracted.output.size(), entry.data.size());
        // Report the first difference rather than two large arrays.
        const auto [got, want] =
            std::mismatch(extracted.output.begin(), extracted.output.end(), entry.data.begin());
        EXPECT_TRUE(got == extracted.output.end())
            << "first difference at byte " << (got - extracted.output.begin());
    }
}

}  // namespace setup::zipenc::testing
