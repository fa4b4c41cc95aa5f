#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "commands/commands.h"
#include "core/failure.h"
#include "core/platform_file.h"
#include "core/text_lines.h"
#include "output/hashed_output.h"
#include "output/output_preparation.h"
#include "output/seal_verify.h"
#include "output_fixtures.h"

namespace bs {
namespace {

using test::OutputSession;

std::string sha1sumOf(const std::string& path, std::size_t skip) {
  std::string out = test::runTool("tail -c +" + std::to_string(skip + 1) + " " +
                                  test::shellQuoted(path) + " | sha1sum");
  std::string hex = out.substr(0, 40);
  for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return hex;
}

// The lines of a payment file as the output carries them after its hash line.
std::string normalised(const std::string& input) {
  test::TempDir dir;
  test::writeFile(dir / "in.txt", input);
  std::string out;
  LineReader reader((dir / "in.txt").string());
  std::string_view line;
  while (reader.next(line)) {
    normaliseLine(line, false, out);
    out += "\r\n";
  }
  return out;
}

TEST(HashFile, DigestsOfKnownMessages) {
  struct Case {
    std::string bytes;
    const char* sha1;
  };
  const Case cases[] = {
      {"", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {std::string(1000000, 'a'), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    test::writeFile(dir / "f", c.bytes);
    auto digest = hashFile((dir / "f").string());
    ASSERT_TRUE(digest);
    EXPECT_EQ(hexDigest(*digest), c.sha1) << c.bytes.size() << " bytes";
  }
  EXPECT_FALSE(hashFile((dir / "missing").string()));
}

TEST(HashFile, FilesOfWholeBlocksAndAroundThem) {
  test::TempDir dir;
  for (std::size_t size : {8191u, 8192u, 8193u, 16384u, 3u * 8192u, 3u * 8192u + 1u}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 31 + 7);
    test::writeFile(dir / "f", bytes);
    EXPECT_EQ(hexDigest(*hashFile((dir / "f").string())), sha1sumOf((dir / "f").string(), 0))
        << size;
  }
}

TEST(WriteHashedOutput, OutputIsHashLineThenNormalisedLinesAndSha1sumAgrees) {
  OutputSession t;
  std::string input = test::paymentFile(50);
  test::writeFile(t.dir / "in.txt", input);
  t.name(t.path("in.txt"), t.path("a.zip"), t.path("out.txt"));
  t.session.state.beneChargeFlag = true;
  writeHashedOutput(t.session);

  std::string out = test::readFile(t.dir / "out.txt");
  const std::string& hash = t.session.form.edtHashvalue.text;
  ASSERT_EQ(hash.size(), 40u);
  EXPECT_EQ(out.substr(0, 42), hash + "\r\n");
  EXPECT_EQ(sha1sumOf(t.path("out.txt"), 42), hash);
  // New-file mode leaves the payment file alone.
  EXPECT_EQ(test::readFile(t.dir / "in.txt"), input);

  // The records, normalised line by line, each with CR LF.
  std::string expected;
  LineReader reader(t.path("in.txt"));
  std::string_view line;
  while (reader.next(line)) {
    normaliseLine(line, true, expected);
    expected += "\r\n";
  }
  EXPECT_EQ(out.substr(42), expected);
  EXPECT_TRUE(verifySeal(t.path("out.txt")).holds);
  EXPECT_TRUE(verifySeal(t.path("a.zip")).holds);
  // Nothing is left behind in the program folder or beside the output.
  EXPECT_FALSE(std::filesystem::exists(t.session.paths.programFolder / "Temp.txt"));
  EXPECT_EQ(test::filesIn(t.dir.path()),
            (std::vector<std::string>{"a.zip", "in.txt", "out.txt", "program"}));
}

// `count` lines of 4094 bytes joined by CR LF.
std::string lines(int count, char c) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + std::string(4094, c);
  return text;
}

// The archive's one entry, inflated by zlib through the archive engine, which also checks its
// CRC-32 and size; empty when the entry is not deflated or does not read back.
std::string inflatedEntry(const std::string& archive) {
  int code = 0;
  zip_t* za = zip_open(archive.c_str(), ZIP_RDONLY, &code);
  if (!za) return "";
  std::string bytes;
  zip_stat_t st;
  zip_file_t* f = nullptr;
  if (zip_get_num_entries(za, 0) == 1 && zip_stat_index(za, 0, 0, &st) == 0 &&
      st.comp_method == ZIP_CM_DEFLATE && (f = zip_fopen_index(za, 0, 0))) {
    char buffer[65536];
    zip_int64_t n;
    while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
      bytes.append(buffer, static_cast<std::size_t>(n));
    if (n < 0 || bytes.size() != st.size) bytes.clear();
    zip_fclose(f);
  }
  zip_discard(za);
  return bytes;
}

// `count` lines of 4094 bytes that hardly compress.
std::string noise(int count) {
  std::string text;
  std::uint32_t x = 12345;
  for (int i = 0; i < count; ++i) {
    for (int j = 0; j < 4094; ++j) {
      x = x * 1103515245u + 12345u;
      text += static_cast<char>(' ' + (x >> 16) % 94);
    }
    text += "\r\n";
  }
  return text;
}

TEST(WriteHashedOutput, ShapesOfThePaymentFile) {
  struct Case {
    const char* name;
    std::string input;
    std::string records;  // expected output after the hash line
  };
  const std::string l = test::LineBuilder("001", 96);
  const Case cases[] = {
      {"empty file gives the digest of nothing", "", ""},
      {"one byte", "x", "x\r\n"},
      {"last line without line end gets CR LF", l + "\r\n" + l, l + "\r\n" + l + "\r\n"},
      {"lone CR becomes CR LF", l + "\r" + l + "\r", l + "\r\n" + l + "\r\n"},
      {"0x1A ends the records", l + "\r\n\x1A" + l, l + "\r\n"},
      // 8192 bytes of records: lines of 4094 bytes and CR LF.
      {"records of exactly one block", lines(2, 'x'), lines(2, 'x') + "\r\n"},
      {"records of exactly four blocks", lines(8, 'y'), lines(8, 'y') + "\r\n"},
      // The lines are hashed and deflated in pieces of about a megabyte.
      {"records of exactly one piece", lines(256, 'z'), lines(256, 'z') + "\r\n"},
      // With the hash line, outputs of exactly one disk block and of exactly one write buffer:
      // nothing is left over for the page cache but the hash line.
      {"output of one whole disk block", std::string(4052, 'w'), std::string(4052, 'w') + "\r\n"},
      {"output of one whole write buffer", lines(255, 'v') + "\r\n" + std::string(4052, 'v'),
       lines(255, 'v') + "\r\n" + std::string(4052, 'v') + "\r\n"},
      {"records of many pieces", test::paymentFile(3000), normalised(test::paymentFile(3000))},
      // Deflated, they fill the deflater's output buffer several times.
      {"records that hardly compress", noise(300), normalised(noise(300))},
  };
  for (const auto& c : cases) {
    OutputSession t;
    test::writeFile(t.dir / "in.txt", c.input);
    t.name(t.path("in.txt"), t.path("a"));
    auto prepared = startOutputPreparation(t.session);
    prepared->wait(nullptr);
    ASSERT_TRUE(prepared->deflated()) << c.name << ": the lines were not deflated ahead";
    writeHashedOutput(t.session, std::move(prepared));
    std::string out = test::readFile(t.dir / "in.txt");
    ASSERT_EQ(out.size(), 42 + c.records.size()) << c.name;
    EXPECT_EQ(out.substr(42), c.records) << c.name;
    EXPECT_EQ(out.substr(0, 40), t.session.form.edtHashvalue.text) << c.name;
    EXPECT_EQ(sha1sumOf(t.path("in.txt"), 42), t.session.form.edtHashvalue.text) << c.name;
    // The archive's one entry is the output, byte for byte.
    EXPECT_TRUE(test::runTool("unzip -p " + test::shellQuoted(t.path("a.zip"))) == out) << c.name;
    EXPECT_TRUE(inflatedEntry(t.path("a.zip")) == out) << c.name;
    int status = -1;
    test::runTool("unzip -tq " + test::shellQuoted(t.path("a.zip")), &status);
    EXPECT_EQ(status, 0) << c.name;
  }
  OutputSession empty;
  test::writeFile(empty.dir / "in.txt", "");
  empty.name(empty.path("in.txt"), empty.path("a.zip"));
  writeHashedOutput(empty.session);
  EXPECT_EQ(test::readFile(empty.dir / "in.txt"), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709\r\n");
}

TEST(WriteHashedOutput, ReplaceModeOutputFailsThePreChecksNextTime) {
  OutputSession t;
  test::writeFile(t.dir / "in.txt", test::paymentFile(2));
  t.name(t.path("in.txt"), t.path("a.zip"));
  writeHashedOutput(t.session);
  std::string out = test::readFile(t.dir / "in.txt");
  EXPECT_EQ(out.substr(0, 42), t.session.form.edtHashvalue.text + "\r\n");
  EXPECT_TRUE(verifySeal(t.path("in.txt")).holds);
}

// The box the user knows, then the failure that names the scratch file and the reason.
TEST(WriteHashedOutput, UnhashableScratchShowsTheMessageAndWritesNoOutput) {
  OutputSession t;
  std::string input = test::paymentFile(3);
  test::writeFile(t.dir / "in.txt", input);
  t.name(t.path("in.txt"), t.path("a.zip"));
  auto handler = [](Session& s) {
    OutputHooks hooks;
    hooks.beforeHash = [](const std::string& scratch) { std::filesystem::remove(scratch); };
    writeHashedOutput(s, hooks);
  };
  EXPECT_FALSE(runCommand(t.session, handler));
  ASSERT_EQ(t.ui.messages().size(), 2u);
  EXPECT_EQ(t.ui.messages()[0], "Unable to open source file.");
  EXPECT_EQ(t.ui.shown.at(0).kind, "information");
  EXPECT_NE(t.ui.messages()[1].find(".in.txt.bstmp-"), std::string::npos) << t.ui.messages()[1];
  EXPECT_NE(t.ui.messages()[1].find("No such file"), std::string::npos) << t.ui.messages()[1];
  EXPECT_EQ(test::readFile(t.dir / "in.txt"), input);
  EXPECT_TRUE(t.session.form.edtHashvalue.text.empty());
  EXPECT_EQ(test::filesIn(t.dir.path()), (std::vector<std::string>{"in.txt", "program"}));
}

TEST(WriteHashedOutput, FailuresEndTheCommandWithThePlatformMessage) {
  OutputSession t;
  test::writeFile(t.dir / "in.txt", test::paymentFile(1));
  // The output's folder does not exist.
  t.name(t.path("in.txt"), t.path("a.zip"), t.path("no/such/folder/out.txt"));
  try {
    writeHashedOutput(t.session);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("No such file or directory"), std::string::npos);
  }
  // The payment file is missing.
  t.name(t.path("gone.txt"), t.path("a.zip"), t.path("out.txt"));
  EXPECT_THROW(writeHashedOutput(t.session), Failure);
  EXPECT_FALSE(std::filesystem::exists(t.dir / "out.txt"));
  EXPECT_FALSE(std::filesystem::exists(t.dir / "a.zip"));
  // The disk is full.
  for (int records : {1, 3000}) {
    OutputSession full;
    test::writeFile(full.dir / "in.txt", test::paymentFile(records));
    full.name(full.path("in.txt"), full.path("a.zip"), full.path("out.txt"));
    // Every write fails; of a large output the first is a full buffer that goes out while the
    // next one fills. The archive's deflated copy, written alongside, fails as well and is only
    // a shortcut, so its failure must not be the one that counts.
    setFileFaultHook(
        [](const char* call) { return std::string_view(call) == "write" ? ENOSPC : 0; });
    try {
      writeHashedOutput(full.session);
      ADD_FAILURE() << records << ": no failure";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find("Write error on file \"" + full.path("out.txt")),
                std::string::npos)
          << f.what();
    }
    setFileFaultHook(nullptr);
    EXPECT_EQ(test::filesIn(full.dir.path()), (std::vector<std::string>{"in.txt", "program"}))
        << records;
  }
}

TEST(OutputPreparation, DroppedAtAnyMomentLeavesNothingBehind) {
  test::TempDir dir;
  const std::string input = test::paymentFile(1500);  // about 1.8 MB
  test::writeFile(dir / "in.txt", input);
  for (int waitMs : {0, 1, 5, 20, 60, 200}) {
    {
      OutputPreparation preparation((dir / "in.txt").string(), (dir / "out.txt").string(), true);
      std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    }
    EXPECT_EQ(test::filesIn(dir.path()), std::vector<std::string>{"in.txt"}) << waitMs << " ms";
    EXPECT_TRUE(test::readFile(dir / "in.txt") == input);
  }
}

TEST(OutputPreparation, TheOutputStepTakesOverOnlyAPreparationOfItsOwnBatch) {
  struct Case {
    const char* name;
    bool preparedFlag;  // the beneficiary charge setting the preparation was started with
    bool flag;          // ... and the one of the output step
  };
  const Case cases[] = {{"same batch", true, true}, {"setting changed since", false, true}};
  for (const auto& c : cases) {
    OutputSession t;
    test::writeFile(t.dir / "in.txt", test::paymentFile(20));
    t.name(t.path("in.txt"), t.path("a.zip"), t.path("out.txt"));
    t.session.state.beneChargeFlag = c.preparedFlag;
    auto prepared = startOutputPreparation(t.session);
    t.session.state.beneChargeFlag = c.flag;
    writeHashedOutput(t.session, std::move(prepared));

    std::string expected;
    LineReader reader(t.path("in.txt"));
    std::string_view line;
    while (reader.next(line)) {
      normaliseLine(line, c.flag, expected);
      expected += "\r\n";
    }
    EXPECT_TRUE(test::readFile(t.dir / "out.txt").substr(42) == expected) << c.name;
    EXPECT_TRUE(verifySeal(t.path("a.zip")).holds) << c.name;
  }
}

TEST(OutputPreparation, AnOutputThatCannotBeCreatedFailsOnlyWhenTheOutputIsWritten) {
  OutputSession t;
  test::writeFile(t.dir / "in.txt", test::paymentFile(5));
  t.name(t.path("in.txt"), t.path("a.zip"), t.path("no/such/folder/out.txt"));
  // Started ahead, the preparation keeps its failure until the output step asks for it.
  auto prepared = startOutputPreparation(t.session);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(t.ui.messages().empty());
  EXPECT_THROW(writeHashedOutput(t.session, std::move(prepared)), Failure);
  EXPECT_FALSE(std::filesystem::exists(t.dir / "a.zip"));
}

}  // namespace
}  // namespace bs
