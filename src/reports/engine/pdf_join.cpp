#include "reports/engine/pdf_join.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"

namespace bs {

namespace {

// The parts are PDF files this program has just written with Qt's PDF writer: a classic
// cross-reference table, one object per entry, every page listed in one page tree.  The join
// copies their objects byte for byte and renumbers the references of the parts after the first;
// page content, fonts and images are never decoded.  Anything else than such a file means the
// part is not what was written, and the join stops rather than print a damaged report.

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

class Damaged : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool isSpace(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool isDelimiter(char c) {
  return std::strchr("()<>[]{}/%", c) != nullptr && c != '\0';
}

// The whole number at the start of `text`, or -1.
long long leadingNumber(std::string_view text) {
  long long value = -1;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end != text.data() ? value : -1;
}

// The object number that follows `key` ("/Root 2 0 R") in `text`, or -1.
long long referenceAfter(std::string_view text, std::string_view key) {
  const std::size_t at = text.find(key);
  if (at == std::string_view::npos) return -1;
  std::size_t i = at + key.size();
  while (i < text.size() && isSpace(text[i])) ++i;
  return leadingNumber(text.substr(i));
}

struct Part {
  std::string path;
  std::string bytes;
  std::size_t firstObject = 0;  // where the header ends
  std::size_t xref = 0;
  // Where each object starts and ends, by its number; npos for a free number.
  std::vector<std::size_t> offsets, ends;
  // Numbers of the objects in the order they stand in the file.
  std::vector<long long> inFileOrder;
  long long info = -1, root = -1, pages = -1;
  std::vector<long long> kids;  // the pages, in order
  // Within the page tree: the brackets of its list of pages, and its count of them after it.
  std::size_t kidsOpen = 0, kidsClose = 0, countBegin = 0, countEnd = 0;

  std::string_view object(long long number) const {
    const auto n = static_cast<std::size_t>(number);
    if (number <= 0 || n >= offsets.size() || offsets[n] == std::string_view::npos)
      throw Damaged("object " + std::to_string(number) + " is missing");
    return std::string_view(bytes).substr(offsets[n], ends[n] - offsets[n]);
  }
};

void readWhole(Part& part) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(part.path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) throw Damaged(std::strerror(errno));
  const long size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) throw Damaged(std::strerror(errno));
  part.bytes.resize(static_cast<std::size_t>(size));
  if (std::fread(part.bytes.data(), 1, part.bytes.size(), file.get()) != part.bytes.size())
    throw Damaged(std::ferror(file.get()) ? std::strerror(errno) : "it ended early");
}

// Reads the cross-reference table, the trailer and the page tree.
void parse(Part& part) {
  const std::string_view b = part.bytes;
  if (b.substr(0, 5) != "%PDF-") throw Damaged("it is not a PDF file");
  const std::size_t startxref = b.rfind("startxref");
  if (startxref == std::string_view::npos || b.size() - startxref > 64)
    throw Damaged("its end is missing");
  std::size_t i = startxref + 9;
  while (i < b.size() && isSpace(b[i])) ++i;
  const long long xref = leadingNumber(b.substr(i));
  if (xref < 0 || static_cast<std::size_t>(xref) >= startxref ||
      b.substr(static_cast<std::size_t>(xref), 4) != "xref")
    throw Damaged("its cross-reference table is missing");
  part.xref = static_cast<std::size_t>(xref);
  i = part.xref + 4;
  while (i < b.size() && isSpace(b[i])) ++i;
  if (leadingNumber(b.substr(i)) != 0) throw Damaged("its cross-reference table is not whole");
  i = b.find_first_of(" ", i);
  const long long count = i == std::string_view::npos ? -1 : leadingNumber(b.substr(i + 1));
  if (count < 1) throw Damaged("its cross-reference table is not whole");
  i = b.find('\n', i);
  if (i == std::string_view::npos || (b.size() - i - 1) / 20 < static_cast<std::size_t>(count))
    throw Damaged("its cross-reference table is not whole");
  ++i;
  part.offsets.assign(static_cast<std::size_t>(count), std::string_view::npos);
  for (long long n = 0; n < count; ++n, i += 20) {
    const std::string_view entry = b.substr(i, 20);
    if (entry[17] == 'f') continue;
    const long long offset = leadingNumber(entry);
    if (entry[17] != 'n' || entry.substr(10, 7) != " 00000 " || offset <= 0 ||
        static_cast<std::size_t>(offset) >= part.xref)
      throw Damaged("entry " + std::to_string(n) + " of its cross-reference table is wrong");
    part.offsets[static_cast<std::size_t>(n)] = static_cast<std::size_t>(offset);
    part.inFileOrder.push_back(n);
  }
  if (part.inFileOrder.empty()) throw Damaged("it holds no objects");
  const std::string_view trailer = b.substr(i, startxref - i);
  if (trailer.substr(0, 7) != "trailer" || referenceAfter(trailer, "/Size") != count)
    throw Damaged("its trailer is wrong");
  part.info = referenceAfter(trailer, "/Info");
  part.root = referenceAfter(trailer, "/Root");

  auto offset = [&](long long n) { return part.offsets[static_cast<std::size_t>(n)]; };
  std::sort(part.inFileOrder.begin(), part.inFileOrder.end(),
            [&](long long x, long long y) { return offset(x) < offset(y); });
  part.firstObject = offset(part.inFileOrder.front());
  part.ends.assign(part.offsets.size(), std::string_view::npos);
  for (std::size_t k = 0; k < part.inFileOrder.size(); ++k) {
    const long long n = part.inFileOrder[k];
    const std::size_t begin = offset(n);
    const std::size_t end =
        k + 1 < part.inFileOrder.size() ? offset(part.inFileOrder[k + 1]) : part.xref;
    std::string_view text = b.substr(begin, end - begin);
    const std::string head = std::to_string(n) + " 0 obj";
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    if (text.substr(0, head.size()) != head || text.size() < head.size() + 6 ||
        text.substr(text.size() - 6) != "endobj")
      throw Damaged("object " + std::to_string(n) + " is not whole");
    part.ends[static_cast<std::size_t>(n)] = end;
  }

  if (part.root <= 0 || part.root >= count) throw Damaged("its catalogue is missing");
  part.pages = referenceAfter(part.object(part.root), "/Pages");
  if (part.pages <= 0 || part.pages >= count) throw Damaged("its page tree is missing");
  const std::string_view tree = part.object(part.pages);
  const std::size_t kids = tree.find("/Kids");
  const std::size_t open = tree.find('[', kids);
  const std::size_t close = tree.find(']', open);
  if (kids == std::string_view::npos || open == std::string_view::npos ||
      close == std::string_view::npos)
    throw Damaged("its page tree is wrong");
  for (std::size_t k = open + 1; k < close;) {
    while (k < close && isSpace(tree[k])) ++k;
    if (k == close) break;
    const long long page = leadingNumber(tree.substr(k));
    const std::size_t r = tree.find('R', k);
    if (page <= 0 || page >= count || r > close) throw Damaged("its page tree is wrong");
    part.kids.push_back(page);
    k = r + 1;
  }
  part.kidsOpen = open;
  part.kidsClose = close;
  part.countBegin = tree.find("/Count", close);
  if (part.countBegin != std::string_view::npos) part.countBegin += 6;
  while (part.countBegin < tree.size() && isSpace(tree[part.countBegin])) ++part.countBegin;
  part.countEnd = tree.find_first_not_of("0123456789", part.countBegin);
  if (part.kids.empty() || part.countEnd == std::string_view::npos ||
      leadingNumber(tree.substr(part.countBegin)) != static_cast<long long>(part.kids.size()))
    throw Damaged("its page tree is wrong");
}

// The first part's page tree, listing `pages` ("n 0 R" each), `count` of them, in place of its
// own.
std::string joinedPageTree(const Part& first, const std::string& pages, std::size_t count) {
  const std::string_view tree = first.object(first.pages);
  std::string joined(tree.substr(0, first.kidsOpen + 1));
  joined += '\n';
  joined += pages;
  joined.append(tree.substr(first.kidsClose, first.countBegin - first.kidsClose));
  joined += std::to_string(count);
  joined.append(tree.substr(first.countEnd));
  return joined;
}

// Writes the joined file, counting its bytes for the cross-reference table.
class Output {
 public:
  Output(std::FILE* file, const std::string& cannot) : file_(file), cannot_(cannot) {}
  void write(std::string_view text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size())
      throw Failure(cannot_ + std::strerror(errno));
    at_ += text.size();
  }
  std::size_t at() const { return at_; }

 private:
  std::FILE* file_;
  const std::string& cannot_;
  std::size_t at_ = 0;
};

// Copies the object `text` ("N 0 obj ... endobj") under the number `number`, every reference
// "n g R" in it renumbered by `renumber`; a stream's data is copied as it is.
template <typename Renumber>
void copyRenumbered(std::string_view text, long long number, const Renumber& renumber,
                    Output& out) {
  std::string copy = std::to_string(number);
  std::size_t from = text.find(' ');  // what is not yet copied
  std::size_t i = text.find("obj", from) + 3;
  // The whole numbers just before, as "n g" before an "R".
  struct Number {
    long long value;
    std::size_t begin, end;
  };
  Number last[2] = {};
  int numbers = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (isSpace(c)) {
      ++i;
      continue;
    }
    const std::size_t begin = i;
    if (c == '(') {  // a literal string, with its escapes and balanced parentheses
      for (int depth = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
          ++i;
        else if (text[i] == '(')
          ++depth;
        else if (text[i] == ')' && --depth == 0)
          break;
      }
      ++i;
    } else if ((c == '<' || c == '>') && i + 1 < text.size() && text[i + 1] == c) {
      i += 2;               // a dictionary's bounds
    } else if (c == '<') {  // a hexadecimal string
      i = text.find('>', i);
      if (i == std::string_view::npos) throw Damaged("a string is not closed");
      ++i;
    } else if (c == '/') {  // a name
      ++i;
      while (i < text.size() && !isSpace(text[i]) && !isDelimiter(text[i])) ++i;
    } else if (isDelimiter(c)) {
      ++i;
    } else {
      while (i < text.size() && !isSpace(text[i]) && !isDelimiter(text[i])) ++i;
    }
    const std::string_view word = text.substr(begin, i - begin);
    if (word == "stream") {  // its data is copied as it stands
      i = begin;
      break;
    }
    const long long value = leadingNumber(word);
    if (word == "R" && numbers == 2) {
      copy.append(text.substr(from, last[0].begin - from));
      copy += std::to_string(renumber(last[0].value));
      from = last[0].end;
      numbers = 0;
    } else if (value >= 0 && word.find_first_not_of("0123456789") == std::string_view::npos) {
      if (numbers == 2) last[0] = last[1];
      last[numbers == 2 ? 1 : numbers] = {value, begin, i};
      numbers = std::min(numbers + 1, 2);
    } else {
      numbers = 0;
    }
  }
  copy.append(text.substr(from, std::min(i, text.size()) - from));
  out.write(copy);
  if (i < text.size()) out.write(text.substr(i));
}

}  // namespace

void joinPdfFiles(const std::vector<std::string>& paths, const std::string& path) {
  const std::string cannot = "Cannot create file \"" + path + "\". ";
  if (paths.empty()) throw Failure(cannot + "There are no pages.");
  // Every part stays in memory until the joined file is written: the first part's page tree
  // lists the pages of all of them.
  std::vector<Part> parts(paths.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    parts[k].path = paths[k];
    try {
      readWhole(parts[k]);
      parse(parts[k]);
    } catch (const Damaged& e) {
      throw Failure(cannot + "The part " + paths[k] + " cannot be read: " + e.what());
    }
  }
  // The objects of the first part keep their numbers; those of the others follow, but for their
  // document information, catalogue and page tree: their pages join the first part's tree.
  std::vector<std::vector<long long>> numbers(parts.size());
  long long next = static_cast<long long>(parts.front().offsets.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const Part& part = parts[k];
    numbers[k].assign(part.offsets.size(), -1);
    for (long long n : part.inFileOrder) {
      if (k == 0)
        numbers[k][static_cast<std::size_t>(n)] = n;
      else if (n == part.pages)
        numbers[k][static_cast<std::size_t>(n)] = parts.front().pages;
      else if (n != part.info && n != part.root)
        numbers[k][static_cast<std::size_t>(n)] = next++;
    }
  }
  // The page tree lists every part's pages in order.
  std::string pages;
  std::size_t pageCount = 0;
  for (std::size_t k = 0; k < parts.size(); ++k)
    for (long long kid : parts[k].kids) {
      pages += std::to_string(numbers[k][static_cast<std::size_t>(kid)]) + " 0 R\n";
      ++pageCount;
    }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw Failure(cannot + std::strerror(errno));
  Output out(file.get(), cannot);
  std::vector<std::size_t> offsets(static_cast<std::size_t>(next), 0);
  const Part& first = parts.front();
  out.write(std::string_view(first.bytes).substr(0, first.firstObject));
  try {
    for (std::size_t k = 0; k < parts.size(); ++k) {
      const Part& part = parts[k];
      auto renumber = [&](long long n) {
        const long long now = n > 0 && n < static_cast<long long>(numbers[k].size())
                                  ? numbers[k][static_cast<std::size_t>(n)]
                                  : -1;
        if (now < 0) throw Damaged("a reference to object " + std::to_string(n) + " is wrong");
        return now;
      };
      for (long long n : part.inFileOrder) {
        const long long now = numbers[k][static_cast<std::size_t>(n)];
        if (now < 0 || (k > 0 && n == part.pages)) continue;
        offsets[static_cast<std::size_t>(now)] = out.at();
        const std::string_view text = part.object(n);
        if (k == 0 && n == part.pages) {
          out.write(joinedPageTree(first, pages, pageCount));
        } else if (k == 0) {
          out.write(text);
        } else {
          copyRenumbered(text, now, renumber, out);
        }
      }
    }
  } catch (const Damaged& e) {
    throw Failure(cannot + e.what());
  }
  const std::size_t xref = out.at();
  std::string table = "xref\n0 " + std::to_string(next) + "\n0000000000 65535 f \n";
  char entry[32];
  for (long long n = 1; n < next; ++n) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets[static_cast<std::size_t>(n)]);
    table += entry;
  }
  table += "trailer\n<<\n/Size " + std::to_string(next) + "\n";
  if (first.info > 0) table += "/Info " + std::to_string(first.info) + " 0 R\n";
  table += "/Root " + std::to_string(first.root) + " 0 R\n>>\nstartxref\n" + std::to_string(xref) +
           "\n%%EOF\n";
  out.write(table);
  if (std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0)
    throw Failure(cannot + std::strerror(errno));
}

}  // namespace bs
