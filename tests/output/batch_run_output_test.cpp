#include <gtest/gtest.h>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "output/seal_verify.h"
#include "output_fixtures.h"
#include "support/record_lines.h"

namespace bs {
namespace {

// The whole batch run of a clean file, as the window runs it: the fill, the seal and the archive
// come out of the steps the Session is wired with.
TEST(BatchRunOutput, CleanFileIsFilledSealedAndArchived) {
  for (bool replace : {true, false}) {
    test::OutputSession t;
    setUpSession(t.session);
    t.session.clock = Clock::fixed(std::string(test::kToday));
    FormCreate(t.session);
    std::string credit = test::LineBuilder("003", 355)
                             .set(4, 9, "000001")
                             .set(10, 34, "2501234567")
                             .set(35, 50, test::amount16(100000))
                             .set(51, 53, "THB")
                             .set(54, 61, "REF00001")
                             .set(62, 64, "NNN")
                             .set(65, 65, "S")
                             .set(66, 69, "B001")
                             .set(92, 93, "00")
                             .set(94, 109, test::amount16(0))
                             .set(110, 115, "000000")
                             .set(116, 131, test::amount16(0))
                             .set(181, 183, "025")
                             .set(184, 218, "RECEIVING BANK")
                             .set(219, 222, "0001")
                             .set(284, 285, "01");
    std::string payee = test::LineBuilder("004", 816)
                            .set(4, 11, "REF00001")
                            .set(12, 17, "000001")
                            .set(33, 132, "PAYEE")
                            .set(353, 422, "PAYEE");
    std::string input = test::joinLines({test::headerLine(), test::debitLine("MCL", 100000, 1),
                                         credit, payee, test::trailerLine(1, 1, 100000)});
    test::writeFile(t.dir / "in.txt", input);
    t.name(t.path("in.txt"), t.path("out"), replace ? "" : t.path("new.txt"));
    ASSERT_TRUE(runCommand(t.session, ToolButton3Click)) << t.ui.messages().back();
    ASSERT_FALSE(t.ui.messages().empty());
    EXPECT_EQ(t.ui.messages().back(),
              "Generate hash value and add file to " + t.path("out") + " completed");
    std::string out = t.path(replace ? "in.txt" : "new.txt");
    EXPECT_TRUE(verifySeal(out).holds) << verifySeal(out).message;
    EXPECT_TRUE(verifySeal(t.path("out.zip")).holds);
    EXPECT_EQ(test::readFile(out).substr(0, 40), t.session.form.edtHashvalue.text);
    // The credit's blank notification flag was filled before the seal; in New File mode the
    // payment file keeps the fill.
    std::string filled = test::readFile(t.dir / "in.txt");
    EXPECT_NE(filled.find(credit.substr(0, 258) + "N"), std::string::npos);
    // The output, started before the fill, carries the filled flag too.
    EXPECT_NE(test::readFile(out).find(credit.substr(0, 258) + "N"), std::string::npos);
  }
}

}  // namespace
}  // namespace bs
