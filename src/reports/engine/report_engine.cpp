#include "reports/engine/report_engine.h"

#include <QDateTime>
#include <cctype>
#include <cmath>

#include "core/failure.h"
#include "reports/engine/thai_text.h"
#include "reports/money.h"

namespace bs {

namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool isNumberLiteral(std::string_view s) {
  if (s.empty()) return false;
  std::size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  bool digit = false, point = false;
  for (; i < s.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(s[i])))
      digit = true;
    else if (s[i] == '.' && !point)
      point = true;
    else
      return false;
  }
  return digit;
}

// Where one report stands during preparation.
struct Layout {
  const ReportTemplate& t;
  const ReportObject& report;
  const TableRows* rows;
  ReportDocument& doc;
  int totalPages;  // known total, or 0 in a first pass / single pass
  std::size_t row = 0;
  std::size_t lineNo = 0;
  double y = 0;
  PreparedPage* page = nullptr;
  int depth = 0;

  std::optional<std::string> column(std::string_view name) const {
    if (!rows || row >= rows->rows.size()) return std::nullopt;
    for (std::size_t c = 0; c < rows->columns.size(); ++c)
      if (rows->columns[c] == name)
        return c < rows->rows[row].size() ? rows->rows[row][c] : std::string();
    return std::nullopt;
  }

  bool hasColumn(std::string_view name) const {
    if (!rows) return false;
    for (const auto& c : rows->columns)
      if (c == name) return true;
    return false;
  }

  [[noreturn]] void unknown(std::string_view name) const {
    throw Failure("Report template \"" + t.path + "\": the field [" + std::string(name) +
                  "] is neither a variable nor a column of its table.");
  }

  // A name: variable first, then column of the current row.  Bytes as stored (Windows-874).
  std::optional<std::string> lookup(std::string_view name) {
    for (const auto& [n, expr] : report.variables())
      if (n == name) {
        if (++depth > 16)
          throw Failure("Report template \"" + t.path + "\": the variable " + std::string(name) +
                        " refers to itself.");
        std::string v =
            evaluateExpression(expr, [this](std::string_view other) { return lookup(other); });
        --depth;
        return v;
      }
    if (auto c = column(name)) return c;
    if (hasColumn(name)) return std::string();
    return std::nullopt;
  }

  Money sumOf(std::string_view name) {
    if (!hasColumn(name)) unknown(name);
    Money sum;
    std::size_t keep = row;
    for (row = 0; rows && row < rows->rows.size(); ++row) sum += toMoney(*column(name));
    row = keep;
    return sum;
  }

  // An operand of DIV: a number, or a variable or column holding one.
  Money operand(std::string_view name) {
    if (isNumberLiteral(name)) return toMoney(name);
    std::optional<std::string> v = lookup(name);
    if (!v) unknown(name);
    std::string_view text = trimBlanks(*v);
    return text.empty() ? Money{} : toMoney(text);
  }

  QString field(std::string_view expr) {
    std::string_view name = trimBlanks(expr), format;
    std::size_t colon = name.rfind(':');
    if (colon != std::string_view::npos) {
      format = trimBlanks(name.substr(colon + 1));
      name = trimBlanks(name.substr(0, colon));
    }
    std::string value;
    bool isMoney = false;
    Money money;
    if (name == "PAGE#") {
      value = std::to_string(doc.pageCount());
    } else if (name == "TOTALPAGES") {
      value = std::to_string(totalPages > 0 ? totalPages : doc.pageCount());
    } else if (name == "LINE#") {
      value = std::to_string(lineNo);
    } else if (name == "COUNT") {
      value = std::to_string(rows ? rows->rows.size() : 0);
    } else if (name == "DATE") {
      value = QDate::currentDate().toString("dd/MM/yyyy").toStdString();
    } else if (name == "TIME") {
      value = QTime::currentTime().toString("HH:mm").toStdString();
    } else if (name.size() > 5 && name.substr(0, 4) == "SUM(" && name.back() == ')') {
      money = sumOf(trimBlanks(name.substr(4, name.size() - 5)));
      isMoney = true;
      value = formatGeneral(money);
    } else if (name.size() > 5 && name.substr(0, 4) == "DIV(" && name.back() == ')') {
      std::string_view args = name.substr(4, name.size() - 5);
      std::size_t comma = args.find(',');
      if (comma == std::string_view::npos)
        throw Failure("Report template \"" + t.path + "\": DIV takes two operands.");
      Money a = operand(trimBlanks(args.substr(0, comma)));
      Money b = operand(trimBlanks(args.substr(comma + 1)));
      // A quotient by zero (no credits in a tier) prints nothing.
      if (b.tenThousandths != 0) {
        long double q = static_cast<long double>(a.tenThousandths) / b.tenThousandths;
        money = Money{static_cast<std::int64_t>(std::llround(q * Money::kScale))};
        isMoney = true;
        value = formatGeneral(money);
      }
    } else if (auto v = lookup(name)) {
      value = *v;
    } else {
      unknown(name);
    }
    if (!format.empty()) {
      if (format == "trim") {
        value = std::string(trimBlanks(value));
      } else if (format == "#,##0.00" || format == "#0.00" || format == "general") {
        // An empty value (no withholding tax, say) stays empty.
        std::string_view v = trimBlanks(value);
        if (!isMoney && !v.empty()) {
          money = toMoney(v);
          isMoney = true;
        }
        if (isMoney)
          value = format == "#,##0.00" ? formatThousands(money)
                  : format == "#0.00"  ? formatPlain(money)
                                       : formatGeneral(money);
      } else {
        throw Failure("Report template \"" + t.path + "\": unknown format \"" +
                      std::string(format) + "\".");
      }
    }
    return decodeCp874(value);
  }

  // The content of a text item with its [fields] filled in; "[[" stands for "[".
  QString expand(const std::string& content) {
    QString out;
    std::size_t i = 0;
    while (i < content.size()) {
      std::size_t open = content.find('[', i);
      if (open == std::string::npos) {
        out += QString::fromUtf8(content.substr(i));
        break;
      }
      out += QString::fromUtf8(content.substr(i, open - i));
      if (open + 1 < content.size() && content[open + 1] == '[') {
        out += '[';
        i = open + 2;
        continue;
      }
      std::size_t close = content.find(']', open);
      if (close == std::string::npos)
        throw Failure("Report template \"" + t.path + "\": a field is not closed with \"]\".");
      out += field(std::string_view(content).substr(open + 1, close - open - 1));
      i = close + 1;
    }
    return out;
  }

  double bottom() const { return t.pageHeightMm - t.marginBottom; }
  double footerHeight() const { return t.band(BandKind::PageFooter).height; }

  void draw(BandKind kind) {
    const TemplateBand& band = t.band(kind);
    if (!band.present) return;
    double left = t.marginLeft;
    for (const TemplateItem& item : band.items) {
      QRectF r(left + item.x, y + item.y, item.w, item.h);
      switch (item.kind) {
        case TemplateItem::Kind::Line:
          page->lines.push_back({QLineF(r.topLeft(), r.bottomRight())});
          break;
        case TemplateItem::Kind::Box:
          page->boxes.push_back(r);
          break;
        case TemplateItem::Kind::Text: {
          PageText text;
          text.rect = r;
          text.text = expand(item.content);
          text.family = QString::fromStdString(t.fontFamily);
          text.sizePt = item.sizePt;
          text.bold = item.bold;
          text.italic = item.italic;
          text.align = item.align;
          text.frame = item.frame;
          page->texts.push_back(std::move(text));
          break;
        }
      }
    }
    y += band.height;
  }

  void startPage(bool first) {
    doc.pages().emplace_back();
    page = &doc.pages().back();
    page->sizeMm = QSizeF(t.pageWidthMm, t.pageHeightMm);
    y = t.marginTop;
    if (first) draw(BandKind::Title);
    draw(BandKind::PageHeader);
    draw(BandKind::ColumnHeader);
  }

  void finishPage() {
    double keep = y;
    y = bottom() - footerHeight();
    draw(BandKind::PageFooter);
    y = keep;
  }

  bool fits(double height) const { return y + height <= bottom() - footerHeight() + 1e-9; }

  void run(const PrepareProgress& progress) {
    startPage(true);
    const TemplateBand& detail = t.band(BandKind::Detail);
    std::size_t count = rows && detail.present ? rows->rows.size() : 0;
    for (row = 0; row < count; ++row) {
      if (!fits(detail.height)) {
        finishPage();
        startPage(false);
      }
      lineNo = row + 1;
      draw(BandKind::Detail);
      if (progress && (row & 0xff) == 0) progress(row, count);
    }
    // Fields of the summary that name a column see the last row.
    if (count > 0) row = count - 1;
    if (t.band(BandKind::Summary).present) {
      if (!fits(t.band(BandKind::Summary).height)) {
        finishPage();
        startPage(false);
      }
      draw(BandKind::Summary);
    }
    finishPage();
  }
};

ReportDocument preparePass(const std::vector<const ReportObject*>& reports,
                           const std::vector<TableRows>& data, int totalPages,
                           const PrepareProgress& progress) {
  ReportDocument doc;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const ReportObject& r = *reports[i];
    const ReportTemplate* t = r.reportTemplate();
    if (!t) continue;
    Layout layout{*t, r, r.dataTable.empty() ? nullptr : &data[i], doc, totalPages};
    layout.run(progress);
    for (const auto& [name, expr] : r.variables()) {
      std::string value =
          evaluateExpression(expr, [&layout](std::string_view n) { return layout.lookup(n); });
      doc.addVariable(name, cp874ToUtf8(value));
    }
  }
  return doc;
}

}  // namespace

bool ReportObject::loadFromFile(const std::filesystem::path& path) {
  std::optional<ReportTemplate> t = loadReportTemplate(path);
  if (!t) return false;
  template_ = std::move(t);
  return true;
}

void ReportObject::setVariable(std::string_view name, std::string_view expression) {
  for (auto& [n, e] : variables_)
    if (n == name) {
      e = std::string(expression);
      return;
    }
  variables_.emplace_back(std::string(name), std::string(expression));
}

ReportEngine::ReportEngine() {
  frReport1.dataTable = std::string(kReportTableFile);
  frReport2.dataTable = std::string(kReportTableDetailFile);
  frReport3.dataTable = std::string(kReportTableFile);
}

std::string evaluateExpression(
    std::string_view expression,
    const std::function<std::optional<std::string>(std::string_view)>& lookup) {
  std::string_view e = trimBlanks(expression);
  if (!e.empty() && e.front() == '\'') {
    std::string out;
    std::size_t i = 1;
    for (; i < e.size(); ++i) {
      if (e[i] == '\'') {
        if (i + 1 < e.size() && e[i + 1] == '\'') {
          out += '\'';
          ++i;
        } else {
          break;
        }
      } else {
        out += e[i];
      }
    }
    if (i != e.size() - 1)
      throw Failure("The report expression " + std::string(e) + " is not a closed string literal.");
    return out;
  }
  if (isNumberLiteral(e)) return std::string(e);
  if (auto v = lookup(e)) return *v;
  throw Failure("The report expression " + std::string(e) +
                " names neither a variable nor a field.");
}

ReportDocument prepareReports(const std::vector<const ReportObject*>& reports, bool twoPass,
                              ReportTables* tables, const PrepareProgress& progress) {
  // Each bound table is read once, from its first row to its last.
  std::vector<TableRows> data(reports.size());
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const ReportObject& r = *reports[i];
    if (!r.hasTemplate() || r.dataTable.empty()) continue;
    if (!tables) throw Failure("The report tables are not connected.");
    data[i] = tables->readAll(r.dataTable);
  }
  if (!twoPass) return preparePass(reports, data, 0, progress);
  ReportDocument first = preparePass(reports, data, 0, {});
  return preparePass(reports, data, first.pageCount(), progress);
}

}  // namespace bs
