#include "core/text_lines.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/test_support.h"

namespace bs {
namespace {

struct LinesCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

// Every line, with its end, its whole length and the bytes read so far when `withEnds`.
std::vector<std::string> readAll(const std::string& path, bool readAhead = false,
                                 bool withEnds = false) {
  LineReader reader(path, readAhead);
  std::vector<std::string> out;
  std::string_view line;
  while (reader.next(line)) {
    out.emplace_back(line);
    if (withEnds)
      out.back() += std::string("|") + std::to_string(static_cast<int>(reader.lineEnd())) + "|" +
                    std::to_string(reader.lineLength()) + "|" + std::to_string(reader.bytesRead());
  }
  return out;
}

TEST(LineReader, SplitsLinesAsThePaymentFileRulesSay) {
  const std::vector<LinesCase> cases = {
      {"empty file has no line", "", {}},
      {"CR LF ends a line", "abc\r\ndef\r\n", {"abc", "def"}},
      {"lone CR ends a line", "abc\rdef", {"abc", "def"}},
      {"lone LF is a byte of the line", "abc\ndef\r\n", {"abc\ndef"}},
      {"LF-only file is one line", "a\nb\nc\n", {"a\nb\nc\n"}},
      {"second CR LF is an empty line", "abc\r\n\r\n", {"abc", ""}},
      {"0x1A ends the file",
       "abc\r\nde\x1A"
       "fg\r\nhij\r\n",
       {"abc", "de"}},
      {"0x1A at a line start ends without a line",
       "abc\r\n\x1A"
       "def",
       {"abc"}},
      {"CR CR LF is two lines", "a\r\r\nb", {"a", "", "b"}},
      {"NUL bytes are ordinary", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    auto path = dir / "f.txt";
    test::writeFile(path, c.bytes);
    std::vector<std::string> kept;
    for (const auto& l : c.lines) kept.push_back(l.substr(0, LineReader::kKeptLineBytes));
    EXPECT_EQ(readAll(path.string()), kept) << c.name;
  }
}

// A large file read ahead on a second thread comes out line for line as read on the caller's:
// lines of every length, CR LF split between blocks, a line longer than any record, 0x1A.
TEST(LineReader, ReadAheadGivesTheSameLines) {
  std::string bytes;
  for (std::size_t i = 0; bytes.size() < (std::size_t{5} << 20); ++i) {
    bytes.append(i * 7919 % 900, static_cast<char>('a' + i % 26));
    bytes += i % 5 == 0 ? "\r" : "\r\n";
    // A CR as the last byte of a block of either size, its LF the first of the next.
    if (i % 97 == 0) bytes.append((std::size_t{1} << 16) - 1 - bytes.size() % (1 << 16), 'c');
    if (i % 97 == 0) bytes += "\r\n";
    if (i == 3000) bytes.append(10000, 'L');
  }
  bytes +=
      "last\x1A"
      "after the end\r\n";
  test::TempDir dir;
  auto path = (dir / "big.txt").string();
  test::writeFile(path, bytes);
  EXPECT_TRUE(readAll(path, true, true) == readAll(path, false, true));
}

TEST(LineReader, LinesSpanningBlocksAndCrLfAcrossARefill) {
  test::TempDir dir;
  const std::size_t block = 1 << 16;
  std::string longLine(block * 2 + 17, 'x');
  // A CR as the last byte of the first block and its LF as the first byte of the next.
  std::string first(block - 1, 'a');
  std::string bytes = first + "\r\n" + longLine + "\r\nend";
  auto path = dir / "f.txt";
  test::writeFile(path, bytes);
  LineReader reader(path.string());
  std::string_view line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line, first.substr(0, LineReader::kKeptLineBytes));
  EXPECT_EQ(reader.lineLength(), first.size());
  EXPECT_EQ(reader.lineEnd(), LineEnd::CrLf);
  ASSERT_TRUE(reader.next(line));
  // Of a line longer than any record only the start is kept; its length still counts.
  EXPECT_EQ(line.size(), LineReader::kKeptLineBytes);
  EXPECT_EQ(reader.lineLength(), longLine.size());
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line, "end");
  EXPECT_EQ(reader.lineEnd(), LineEnd::EndOfFile);
  EXPECT_EQ(reader.lineNumber(), 3);
  EXPECT_FALSE(reader.next(line));
  EXPECT_EQ(reader.bytesRead(), bytes.size());
}

// The 0x1A that ends the file is looked for once per block: it must still end the file where
// it stands, before or after the lines of its block and in a line carried over a refill.
TEST(LineReader, SubEndsTheFileInAnyBlock) {
  const std::size_t block = 1 << 16;
  const std::string a(block - 3, 'a');
  const std::string b(block + 100, 'b');
  const std::vector<LinesCase> cases = {
      {"0x1A in the second block, after lines of the first",
       a + "\r\nxy\r\nz\x1A" + "tail\r\n",
       {a, "xy", "z"}},
      {"0x1A inside a line carried over a refill",
       b.substr(0, block - 5) + "\x1A" + b,
       {b.substr(0, block - 5)}},
      {"0x1A in a carried line that ends past the refill", b + "\x1A" + "more\r\n", {b}},
      {"CR before and after the 0x1A of a later block",
       a + "\r\n" + a + "\r\nq\x1A\r\nr\r\n",
       {a, a, "q"}},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    auto path = dir / "f.txt";
    test::writeFile(path, c.bytes);
    std::vector<std::string> kept;
    for (const auto& l : c.lines) kept.push_back(l.substr(0, LineReader::kKeptLineBytes));
    EXPECT_EQ(readAll(path.string()), kept) << c.name;
  }
}

TEST(LineReader, MissingFileIsAFailureNamingIt) {
  try {
    LineReader reader("/nonexistent/batch.txt");
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("/nonexistent/batch.txt"), std::string::npos);
  }
}

TEST(Columns, CutAndTrim) {
  struct Case {
    std::string_view line;
    std::size_t first, last;
    std::string_view expected;
  } cases[] = {
      {"0021234567890", 1, 3, "002"},
      {"0021234567890", 4, 6, "123"},
      {"abc", 2, 10, "bc"},
      {"abc", 4, 6, ""},
      {"abc", 3, 3, "c"},
  };
  for (const auto& c : cases) EXPECT_EQ(cut(c.line, c.first, c.last), c.expected);
  EXPECT_EQ(trim(std::string_view("\t\x01 ab c \x20\x1F")), "ab c");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim("\xA0x\xA0"), "\xA0x\xA0");  // only bytes up to 0x20 are blanks
  // Long runs of blanks are passed over eight bytes at a time; the byte that stops a run may
  // stand anywhere in those eight, and bytes from 0x21 and from 0x80 on are never blanks.
  const std::string pad(20, ' ');
  for (const std::string core : {"!", "\x80", "\xA1", "\xFF", "\x7F", "a b"}) {
    for (std::size_t lead = 0; lead <= 17; lead += 1) {
      const std::string text = pad.substr(0, lead) + core + "\x1F" + pad.substr(0, 17 - lead);
      EXPECT_EQ(trim(text), core) << lead;
      EXPECT_FALSE(isBlank(text)) << lead;
    }
  }
  EXPECT_TRUE(isBlank(std::string(17, ' ') + "\x20\x01\t"));
  EXPECT_TRUE(isBlank(""));
}

}  // namespace
}  // namespace bs
