#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>

#include "core/failure.h"
#include "output/archive.h"
#include "output/hashed_output.h"
#include "output_fixtures.h"

namespace bs {
namespace {

using test::runTool;
using test::shellQuoted;

TEST(ArchiveName, ZipIsAppendedOnlyWhenThereIsNoExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"out", "out.zip"},
      {"out.zip", "out.zip"},
      {"out.ZiP", "out.ZiP"},
      {"out.ZIP", "out.ZIP"},
      {"/tmp/x.y/out", "/tmp/x.y/out.zip"},
      {"C:\\x.y\\out", "C:\\x.y\\out.zip"},
      {"D:out", "D:out.zip"},
      {"a.b:out", "a.b:out.zip"},
      {"dir/.zip", "dir/.zip"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(archiveName(text), expected) << text;
}

TEST(EntryName, TheBareNameWithoutAnyFolderPart) {
  const std::pair<const char*, const char*> cases[] = {
      {"/abs/path/out.txt", "out.txt"},
      {"rel/out.txt", "out.txt"},
      {"out.txt", "out.txt"},
      {"C:\\dir\\out.txt", "out.txt"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(entryName(path), expected) << path;
}

struct ZipFixture : ::testing::Test {
  test::TempDir dir;
  std::string output = (dir / "sealed.txt").string();
  std::string zip = (dir / "archive.zip").string();
  void SetUp() override { test::writeFile(output, test::paymentFile(200)); }

  // zipinfo's one line per entry: permissions ... method ... name.
  std::vector<std::string> entries() {
    std::string listing = runTool("zipinfo -1 " + shellQuoted(zip));
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < listing.size()) {
      std::size_t end = listing.find('\n', start);
      names.push_back(listing.substr(start, end - start));
      start = end == std::string::npos ? listing.size() : end + 1;
    }
    return names;
  }
  void expectOnlyTheOutput() {
    int status = -1;
    runTool("unzip -tq " + shellQuoted(zip) + " >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0) << "unzip -t";
    EXPECT_EQ(entries(), std::vector<std::string>{"sealed.txt"});
    std::string verbose = runTool("zipinfo " + shellQuoted(zip));
    // defF: deflated at the fastest level.
    EXPECT_NE(verbose.find(" defF "), std::string::npos) << verbose;
    EXPECT_EQ(runTool("unzip -p " + shellQuoted(zip) + " sealed.txt"), test::readFile(output));
  }
};

TEST_F(ZipFixture, NewArchiveHoldsTheOutputDeflatedUnderItsBareName) {
  addToArchive(zip, output);
  expectOnlyTheOutput();
}

TEST_F(ZipFixture, RunningTwiceLeavesOneEntry) {
  addToArchive(zip, output);
  test::writeFile(output, test::paymentFile(3));
  addToArchive(zip, output);
  expectOnlyTheOutput();
}

TEST_F(ZipFixture, UnrelatedEntriesAreRemoved) {
  test::writeFile(dir / "other1.txt", "one");
  test::writeFile(dir / "other2.bin", std::string(5000, 'z'));
  int status = -1;
  runTool("cd " + shellQuoted(dir.path().string()) + " && zip -q archive.zip other1.txt other2.bin",
          &status);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(entries().size(), 2u);
  addToArchive(zip, output);
  expectOnlyTheOutput();
}

TEST_F(ZipFixture, AFileThatIsNoArchiveEndsTheRunAndStaysAsItWas) {
  namespace fs = std::filesystem;
  addToArchive(zip, output);
  const std::string archive = test::readFile(zip);
  fs::remove(zip);
  struct Case {
    const char* name;
    std::string bytes;
    const char* messageHas;
    fs::perms perms = fs::perms::owner_read | fs::perms::owner_write;
  };
  const Case cases[] = {
      {"zero-byte file", "", "Not a zip archive"},
      {"text file", "this is no zip archive\r\n", "Not a zip archive"},
      {"damaged archive", std::string("PK\x03\x04", 4) + std::string(100, '\x01'), "archive"},
      // Marked read-only by its owner: not replaced, although the folder may be written.
      {"read-only archive", archive, "Permission denied", fs::perms::owner_read},
  };
  for (const auto& c : cases) {
    test::writeFile(zip, c.bytes);
    fs::permissions(zip, c.perms);
    try {
      addToArchive(zip, output);
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find(c.messageHas), std::string::npos) << f.what();
      EXPECT_NE(std::string(f.what()).find(zip), std::string::npos) << f.what();
    }
    EXPECT_EQ(test::readFile(zip), c.bytes) << c.name;
    EXPECT_EQ(test::filesIn(dir.path()), (std::vector<std::string>{"archive.zip", "sealed.txt"}))
        << c.name;
    fs::remove(zip);
  }
  fs::create_directory(zip);
  EXPECT_THROW(addToArchive(zip, output), Failure);
}

TEST_F(ZipFixture, AnArchiveThatCannotBeWrittenStaysAsItWas) {
  addToArchive(zip, output);
  std::string before = test::readFile(zip);
  std::string other = (dir / "other.txt").string();
  test::writeFile(other, "other content");
  // The engine writes a temporary file beside the archive: a folder without write access refuses
  // it.  (root may write anyway; then the archive is simply replaced.)
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  bool failed = false;
  try {
    addToArchive(zip, other);
  } catch (const Failure&) {
    failed = true;
  }
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  if (failed) {
    EXPECT_EQ(test::readFile(zip), before);
  }
  // A missing file to add fails too, and the archive is kept.
  before = test::readFile(zip);
  EXPECT_THROW(addToArchive(zip, (dir / "missing.txt").string()), Failure);
  EXPECT_EQ(test::readFile(zip), before);
}

TEST(ArchiveStep, UsesTheNameOfTheZipBoxWithZipAppended) {
  test::OutputSession t;
  test::writeFile(t.dir / "in.txt", test::paymentFile(1));
  t.name(t.path("in.txt"), t.path("plain"));
  writeHashedOutput(t.session);
  EXPECT_TRUE(std::filesystem::exists(t.dir / "plain.zip"));
  EXPECT_FALSE(std::filesystem::exists(t.dir / "plain"));
  EXPECT_EQ(t.session.form.edtZip.text, t.path("plain"));
}

}  // namespace
}  // namespace bs
