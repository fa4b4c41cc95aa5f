// The clean file every fault case starts from: without a fault the run completes and seals it.
#include <gtest/gtest.h>

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
    ASSERT_TRUE(
        ws.runBatch(payment.string(), (dir / "a.zip").string(), newFile ? out.string() : ""))
        << ws.lastMessage();
    EXPECT_TRUE(verifySeal(newFile ? out.string() : payment.string()).holds);
    EXPECT_TRUE(verifySeal((dir / "a.zip").string()).holds);
  }
}

}  // namespace
}  // namespace bs
