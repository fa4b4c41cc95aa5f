// The clean file every fault case starts from: without a fault the run completes and seals it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "output/seal_verify.h"
#include "payment_files.h"
#include "support/test_support.h"

namespace bs {
namespace {

TEST(CleanRun, CompletesAndSealsInBothModes) {
  for (bool newFile : {false, true}) {
    SCOPED_TRACE(newFile ? "New File" : "Replace");
    test::TempDir dir;
    test::WiredSession ws(test::makeProgramFolder(dir));
    const auto payment = dir / "payment.txt";
    const auto out = dir / "out.txt";
    test::writeFile(payment, test::cleanPaymentFile(3));
    // What a killed run or a failed commit left behind goes; files of the user's own naming
    // that merely look alike stay.
    const auto program = dir / "program";
    const std::pair<std::filesystem::path, bool> files[] = {
        {dir / ".payment.txt.bstmp-a1B2c3", false},
        {dir / ".out.txt.bstmp-a1B2c3", !newFile},
        {dir / ".a.zip.bstmp-a1B2c3", false},
        {dir / ".a.zip.bstmp-a1B2c3.Zz09aa", false},
        {program / "Data" / "ReportTable.DAT-mj0A1B2C9FF", false},
        {dir / ".payment.txt.bstmp-a1B2c", true},
        {dir / "payment.txt.bstmp-a1B2c3", true},
        {dir / ".other.txt.bstmp-a1B2c3", true},
        {program / "Data" / "ReportTable.DAT-mjnotmine", true},
    };
    for (const auto& [path, stays] : files) test::writeFile(path, "x");
    ASSERT_TRUE(
        ws.runBatch(payment.string(), (dir / "a.zip").string(), newFile ? out.string() : ""))
        << ws.lastMessage();
    EXPECT_TRUE(verifySeal(newFile ? out.string() : payment.string()).holds);
    EXPECT_TRUE(verifySeal((dir / "a.zip").string()).holds);
    for (const auto& [path, stays] : files) EXPECT_EQ(std::filesystem::exists(path), stays) << path;
  }
}

}  // namespace
}  // namespace bs
