#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace bs {

// A report template as read from a .frf file (the format is described in Report/README.md).
// Lengths are millimetres; font sizes are points.
struct TemplateItem {
  enum class Kind { Text, Line, Box };
  Kind kind = Kind::Text;
  double x = 0, y = 0, w = 0, h = 0;  // a line runs from (x, y) to (x + w, y + h)
  double sizePt = 9;
  bool bold = false;
  bool italic = false;
  int align = 0;  // 0 left, 1 centre, 2 right
  bool frame = false;
  std::string content;  // UTF-8 text with [expression] fields
};

enum class BandKind { Title, PageHeader, ColumnHeader, Detail, Summary, PageFooter };
inline constexpr int kBandKinds = 6;

struct TemplateBand {
  bool present = false;
  double height = 0;
  std::vector<TemplateItem> items;
};

struct ReportTemplate {
  std::string path;
  double pageWidthMm = 210, pageHeightMm = 297;
  double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;
  std::string fontFamily = "Noto Sans Thai";
  TemplateBand bands[kBandKinds];

  const TemplateBand& band(BandKind k) const { return bands[static_cast<int>(k)]; }
};

// Reads a template.  Nothing when the file does not exist; a Failure naming the file and the
// line when it cannot be read or does not follow the format.
std::optional<ReportTemplate> loadReportTemplate(const std::filesystem::path& path);
// The same from text already in memory (`name` stands for the file in messages).
ReportTemplate parseReportTemplate(const std::string& text, const std::string& name);

}  // namespace bs
