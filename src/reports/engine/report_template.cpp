#include "reports/engine/report_template.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/failure.h"
#include "core/text_lines.h"

namespace bs {

namespace {

[[noreturn]] void formatError(const std::string& name, int lineNo, const std::string& what) {
  throw Failure("Report template \"" + name + "\", line " + std::to_string(lineNo) + ": " + what);
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// Lengths are written with a decimal point whatever the user's locale.
double number(const std::string& word, const std::string& name, int lineNo) {
  double v = 0;
  const char* begin = word.data();
  const char* end = begin + word.size();
  if (begin != end && *begin == '+') ++begin;
  auto [stop, ec] = std::from_chars(begin, end, v, std::chars_format::general);
  if (word.empty() || stop != end || ec != std::errc() || !(v >= 0) || v > 10000)
    formatError(name, lineNo, "\"" + word + "\" is not a length in millimetres");
  return v;
}

bool bandKind(const std::string& word, BandKind& kind) {
  static const char* const names[kBandKinds] = {"title",  "pageheader", "columnheader",
                                                "detail", "summary",    "pagefooter"};
  for (int i = 0; i < kBandKinds; ++i)
    if (word == names[i]) {
      kind = static_cast<BandKind>(i);
      return true;
    }
  return false;
}

std::string trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

}  // namespace

ReportTemplate parseReportTemplate(const std::string& text, const std::string& name) {
  ReportTemplate t;
  t.path = name;
  TemplateBand* current = nullptr;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  bool sawHeader = false;
  while (std::getline(in, raw)) {
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::string line = trimmed(raw);
    if (line.empty() || line[0] == '#') continue;
    // Everything after the first '|' of an item is its content, blanks included.
    std::string head = line, content;
    std::size_t bar = line.find('|');
    if (bar != std::string::npos) {
      head = line.substr(0, bar);
      content = line.substr(bar + 1);
      if (!content.empty() && content[0] == ' ') content.erase(0, 1);
    }
    std::vector<std::string> w = words(head);
    if (w.empty()) formatError(name, lineNo, "a line starts with \"|\" instead of a keyword");
    const std::string& key = w[0];
    if (!sawHeader) {
      if (key != "batchseal-report" || w.size() != 2 || w[1] != "1")
        formatError(name, lineNo, "the first line must be \"batchseal-report 1\"");
      sawHeader = true;
      continue;
    }
    if (key == "page") {
      if (w.size() != 3) formatError(name, lineNo, "page takes a width and a height");
      t.pageWidthMm = number(w[1], name, lineNo);
      t.pageHeightMm = number(w[2], name, lineNo);
      if (t.pageWidthMm < 20 || t.pageHeightMm < 20)
        formatError(name, lineNo, "the page is smaller than 20 mm");
    } else if (key == "margins") {
      if (w.size() != 5) formatError(name, lineNo, "margins takes left, top, right and bottom");
      t.marginLeft = number(w[1], name, lineNo);
      t.marginTop = number(w[2], name, lineNo);
      t.marginRight = number(w[3], name, lineNo);
      t.marginBottom = number(w[4], name, lineNo);
    } else if (key == "font") {
      std::string family = trimmed(line.substr(4));
      if (family.empty()) formatError(name, lineNo, "font takes a family name");
      t.fontFamily = family;
    } else if (key == "band") {
      BandKind kind;
      if (w.size() != 3 || !bandKind(w[1], kind))
        formatError(name, lineNo,
                    "band takes a kind (title, pageheader, columnheader, detail, summary, "
                    "pagefooter) and a height");
      current = &t.bands[static_cast<int>(kind)];
      if (current->present) formatError(name, lineNo, "the band \"" + w[1] + "\" is given twice");
      current->present = true;
      current->height = number(w[2], name, lineNo);
    } else if (key == "text" || key == "line" || key == "box") {
      if (!current) formatError(name, lineNo, "an item stands before the first band");
      if (w.size() < 5) formatError(name, lineNo, key + " takes x, y, width and height");
      TemplateItem item;
      item.kind = key == "text"   ? TemplateItem::Kind::Text
                  : key == "line" ? TemplateItem::Kind::Line
                                  : TemplateItem::Kind::Box;
      item.x = number(w[1], name, lineNo);
      item.y = number(w[2], name, lineNo);
      item.w = number(w[3], name, lineNo);
      item.h = number(w[4], name, lineNo);
      for (std::size_t i = 5; i < w.size(); ++i) {
        const std::string& o = w[i];
        if (o == "bold")
          item.bold = true;
        else if (o == "italic")
          item.italic = true;
        else if (o == "frame")
          item.frame = true;
        else if (o == "left")
          item.align = 0;
        else if (o == "center")
          item.align = 1;
        else if (o == "right")
          item.align = 2;
        else if (o.rfind("size=", 0) == 0) {
          item.sizePt = number(o.substr(5), name, lineNo);
          if (item.sizePt < 1 || item.sizePt > 200)
            formatError(name, lineNo, "a font size lies between 1 and 200 points");
        } else
          formatError(name, lineNo, "unknown option \"" + o + "\"");
      }
      if (item.kind == TemplateItem::Kind::Text && bar == std::string::npos)
        formatError(name, lineNo, "a text item needs \"|\" before its content");
      item.content = content;
      current->items.push_back(std::move(item));
    } else {
      formatError(name, lineNo, "unknown keyword \"" + key + "\"");
    }
  }
  if (!sawHeader) formatError(name, lineNo, "the file is empty");
  double usable = t.pageHeightMm - t.marginTop - t.marginBottom;
  double fixed = t.band(BandKind::PageHeader).height + t.band(BandKind::ColumnHeader).height +
                 t.band(BandKind::PageFooter).height;
  if (usable - fixed < t.band(BandKind::Detail).height + 1 ||
      usable - fixed < t.band(BandKind::Title).height ||
      usable - fixed < t.band(BandKind::Summary).height)
    formatError(name, lineNo, "the bands do not fit on one page");
  return t;
}

std::optional<ReportTemplate> loadReportTemplate(const std::filesystem::path& path) {
  // A template describes a page in a few kilobytes; one of many megabytes is refused before it
  // is parsed.
  constexpr std::uint64_t kTemplateLimit = std::uint64_t{16} << 20;
  std::optional<std::string> text = readSmallFile(path.string(), kTemplateLimit);
  if (!text) return std::nullopt;
  return parseReportTemplate(*text, path.string());
}

}  // namespace bs
