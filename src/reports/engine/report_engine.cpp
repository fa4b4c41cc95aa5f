#include "reports/engine/report_engine.h"

#include <QDateTime>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>

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

// The column of a field "SUM(column)".
std::optional<std::string_view> sumColumn(std::string_view name) {
  if (name.size() > 5 && name.substr(0, 4) == "SUM(" && name.back() == ')')
    return trimBlanks(name.substr(4, name.size() - 5));
  return std::nullopt;
}

// Splits a text item's content into plain text and [fields]; "[[" stands for "[".
template <typename OnText, typename OnField>
void forEachPiece(const std::string& content, const std::string& path, OnText onText,
                  OnField onField) {
  std::size_t i = 0;
  while (i < content.size()) {
    std::size_t open = content.find('[', i);
    if (open == std::string::npos) {
      onText(std::string_view(content).substr(i));
      break;
    }
    onText(std::string_view(content).substr(i, open - i));
    if (open + 1 < content.size() && content[open + 1] == '[') {
      onText("[");
      i = open + 2;
      continue;
    }
    std::size_t close = content.find(']', open);
    if (close == std::string::npos)
      throw Failure("Report template \"" + path + "\": a field is not closed with \"]\".");
    onField(std::string_view(content).substr(open + 1, close - open - 1));
    i = close + 1;
  }
}

// Everything a report's pages need once its rows have been counted: the template, the
// variables, the table's columns, and what the layout pass found in the rows.
struct Section {
  ReportTemplate t;
  std::vector<std::pair<std::string, std::string>> variables;
  std::string table;  // empty: a report without data
  std::vector<std::string> columns;
  std::size_t tableRows = 0;   // [COUNT]
  std::size_t detailRows = 0;  // rows printed by the detail band
  std::map<std::string, Money, std::less<>> sums;
  // The row the summary, the last footer and the report's variables see, when there is one.
  std::optional<std::vector<std::string>> summaryRow;
  // The template's font, shared by every text of every page.
  QString fontFamily;
};

// One page: the rows it prints and where they start in the table.
struct PagePlan {
  int section = 0;
  std::size_t firstRow = 0;
  std::size_t rows = 0;
  long long afterKey = std::numeric_limits<long long>::min();  // the key before the first row
  bool first = false;    // the report's title is printed on it
  bool summary = false;  // the report's summary is printed on it
  bool last = false;     // the last page of its report
};

// The printing date and time are taken once, so that every page shows the same.
struct PrintTime {
  std::string date, time;
};

// Fills in and draws the bands of one page.
struct PageDrawer {
  const Section& s;
  const PagePlan& plan;
  int pageNo;      // from 1
  int totalPages;  // known total, or 0 when every page shows its own number
  const PrintTime& when;
  // The rows of the page from its first, and the one after it when there is one.
  const std::vector<std::vector<std::string>>& window;
  PreparedPage* page = nullptr;
  std::size_t row = 0;
  std::size_t lineNo = 0;
  double y = 0;
  int depth = 0;
  const ReportTemplate& t = s.t;

  const std::vector<std::string>* currentRow() const {
    if (row >= plan.firstRow && row - plan.firstRow < window.size())
      return &window[row - plan.firstRow];
    if (s.summaryRow && row == summaryIndex(s)) return &*s.summaryRow;
    return nullptr;
  }

  static std::size_t summaryIndex(const Section& s) {
    return s.detailRows > 0 ? s.detailRows - 1 : 0;
  }

  std::optional<std::size_t> columnIndex(std::string_view name) const {
    for (std::size_t c = 0; c < s.columns.size(); ++c)
      if (s.columns[c] == name) return c;
    return std::nullopt;
  }

  [[noreturn]] void unknown(std::string_view name) const {
    throw Failure("Report template \"" + t.path + "\": the field [" + std::string(name) +
                  "] is neither a variable nor a column of its table.");
  }

  // A name: variable first, then column of the current row.  Bytes as stored (Windows-874).
  std::optional<std::string> lookup(std::string_view name) {
    for (const auto& [n, expr] : s.variables)
      if (n == name) {
        if (++depth > 16)
          throw Failure("Report template \"" + t.path + "\": the variable " + std::string(name) +
                        " refers to itself.");
        std::string v =
            evaluateExpression(expr, [this](std::string_view other) { return lookup(other); });
        --depth;
        return v;
      }
    if (s.table.empty()) return std::nullopt;
    if (auto c = columnIndex(name)) {
      const std::vector<std::string>* r = currentRow();
      return r && *c < r->size() ? (*r)[*c] : std::string();
    }
    return std::nullopt;
  }

  // An operand of DIV: a number, or a variable or column holding one.
  Money operand(std::string_view name) {
    if (isNumberLiteral(name)) return toMoney(name);
    std::optional<std::string> v = lookup(name);
    if (!v) unknown(name);
    std::string_view text = trimBlanks(*v);
    return text.empty() ? Money{} : toMoney(text);
  }

  // A field's value as bytes.
  std::string field(std::string_view expr) {
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
      value = std::to_string(pageNo);
    } else if (name == "TOTALPAGES") {
      value = std::to_string(totalPages > 0 ? totalPages : pageNo);
    } else if (name == "LINE#") {
      value = std::to_string(lineNo);
    } else if (name == "COUNT") {
      value = std::to_string(s.tableRows);
    } else if (name == "DATE") {
      value = when.date;
    } else if (name == "TIME") {
      value = when.time;
    } else if (auto column = sumColumn(name)) {
      if (s.table.empty() || !columnIndex(*column)) unknown(*column);
      auto sum = s.sums.find(*column);
      money = sum == s.sums.end() ? Money{} : sum->second;
      isMoney = true;
      value = formatGeneral(money);
    } else if (name.size() > 5 && name.substr(0, 4) == "DIV(" && name.back() == ')') {
      std::string_view args = name.substr(4, name.size() - 5);
      std::size_t comma = args.find(',');
      if (comma == std::string_view::npos)
        throw Failure("Report template \"" + t.path + "\": DIV takes two operands.");
      Money a = operand(trimBlanks(args.substr(0, comma)));
      Money b = operand(trimBlanks(args.substr(comma + 1)));
      // A quotient by zero prints nothing.
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
    return value;
  }

  // The content of a text item with its [fields] filled in; "[[" stands for "[".
  QString expand(const std::string& content) {
    QString out;
    forEachPiece(
        content, t.path, [&out](std::string_view text) { out += QString::fromUtf8(text); },
        [&](std::string_view expr) { out += decodeCp874(field(expr)); });
    return out;
  }

  // Fills in the fields of a band without drawing it: a value the band cannot print stops the
  // report before any page is shown.
  void check(BandKind kind) {
    for (const TemplateItem& item : t.band(kind).items)
      if (item.kind == TemplateItem::Kind::Text)
        forEachPiece(
            item.content, t.path, [](std::string_view) {},
            [&](std::string_view expr) { (void)field(expr); });
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
          text.family = s.fontFamily;
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

  // The page as the bands draw it: title, headers, rows, summary, footer.  A header sees the
  // row about to be printed, a footer the row after the page's last one.
  PreparedPage run() {
    PreparedPage out;
    page = &out;
    out.sizeMm = QSizeF(t.pageWidthMm, t.pageHeightMm);
    y = t.marginTop;
    lineNo = plan.firstRow;
    row = plan.rows > 0 || plan.first ? plan.firstRow : summaryIndex(s);
    if (plan.first) draw(BandKind::Title);
    draw(BandKind::PageHeader);
    draw(BandKind::ColumnHeader);
    for (std::size_t i = 0; i < plan.rows; ++i) {
      row = plan.firstRow + i;
      lineNo = row + 1;
      draw(BandKind::Detail);
    }
    if (plan.summary) {
      row = summaryIndex(s);
      draw(BandKind::Summary);
    } else if (plan.last) {
      row = summaryIndex(s);
    } else {
      row = plan.firstRow + plan.rows;
      if (row >= s.detailRows) row = summaryIndex(s);
    }
    y = bottom() - footerHeight();
    draw(BandKind::PageFooter);
    return out;
  }
};

// The pages of prepared reports, laid out from the plans when they are asked for.
class PagedReports : public ReportDocument::PageSource {
 public:
  PagedReports(std::vector<Section> sections, std::vector<PagePlan> plans, bool twoPass,
               PrintTime when, ReportTables* tables)
      : sections_(std::move(sections)),
        plans_(std::move(plans)),
        twoPass_(twoPass),
        when_(std::move(when)),
        tables_(tables) {}

  int pageCount() const override { return static_cast<int>(plans_.size()); }

  // The variables of a report as they stand after its last row, as UTF-8.
  std::vector<std::pair<std::string, std::string>> variableValues(int section, int lastPage) const {
    const Section& s = sections_[static_cast<std::size_t>(section)];
    std::vector<std::vector<std::string>> none;
    PageDrawer drawer{s, plan(lastPage), lastPage + 1, 0, when_, none};
    drawer.row = PageDrawer::summaryIndex(s);
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [name, expr] : s.variables)
      out.emplace_back(name, cp874ToUtf8(evaluateExpression(expr, [&drawer](std::string_view n) {
                         return drawer.lookup(n);
                       })));
    return out;
  }

  QSizeF pageSizeMm(int page) const override {
    const ReportTemplate& t = sections_[static_cast<std::size_t>(plan(page).section)].t;
    return QSizeF(t.pageWidthMm, t.pageHeightMm);
  }

  PreparedPage layOut(int page) const override {
    const PagePlan& p = plan(page);
    const Section& s = sections_[static_cast<std::size_t>(p.section)];
    std::vector<std::vector<std::string>> window;
    if (!s.table.empty() && p.firstRow < s.detailRows) {
      if (!tables_) throw Failure("The report tables are not connected.");
      window.reserve(p.rows + 1);
      tables_->forEachRow(
          s.table, p.afterKey, p.rows + 1,
          [&window](long long, const std::vector<std::string>& row) { window.push_back(row); });
    }
    PageDrawer drawer{s, p, page + 1, twoPass_ ? pageCount() : 0, when_, window};
    return drawer.run();
  }

 private:
  const PagePlan& plan(int page) const { return plans_[static_cast<std::size_t>(page)]; }

  std::vector<Section> sections_;
  std::vector<PagePlan> plans_;
  bool twoPass_;
  PrintTime when_;
  ReportTables* tables_;
};

// The columns a template sums.
std::vector<std::string> summedColumns(const ReportTemplate& t) {
  std::vector<std::string> out;
  for (const TemplateBand& band : t.bands)
    for (const TemplateItem& item : band.items)
      if (item.kind == TemplateItem::Kind::Text)
        forEachPiece(
            item.content, t.path, [](std::string_view) {},
            [&out](std::string_view expr) {
              std::string_view name = trimBlanks(expr);
              std::size_t colon = name.rfind(':');
              if (colon != std::string_view::npos) name = trimBlanks(name.substr(0, colon));
              if (auto column = sumColumn(name)) out.emplace_back(*column);
            });
  return out;
}

// Reads the rows of a report once, from the first to the last: counts them, sums the summed
// columns, fills in the detail band of every row (a value it cannot print stops the report
// here), and plans the pages, noting where each starts in the table.
void scanRows(Section& s, int section, ReportTables* tables, std::vector<PagePlan>& plans,
              const PrepareProgress& progress) {
  const ReportTemplate& t = s.t;
  const bool hasDetail = t.band(BandKind::Detail).present;
  for (const std::string& column : summedColumns(t)) s.sums.emplace(column, Money{});
  const double bottom = t.pageHeightMm - t.marginBottom - t.band(BandKind::PageFooter).height;
  auto height = [&t](BandKind k) { return t.band(k).present ? t.band(k).height : 0.0; };
  auto fits = [&](double y, double h) { return y + h <= bottom + 1e-9; };
  const double top = t.marginTop + height(BandKind::PageHeader) + height(BandKind::ColumnHeader);
  const double detail = height(BandKind::Detail);
  PagePlan page;
  page.section = section;
  page.first = true;
  double y = top + height(BandKind::Title);
  long long lastKey = std::numeric_limits<long long>::min();
  std::vector<std::string> firstRow, lastRow;
  std::vector<std::pair<std::size_t, Money*>> summed;

  if (!s.table.empty()) {
    for (auto& [column, sum] : s.sums)
      for (std::size_t c = 0; c < s.columns.size(); ++c)
        if (s.columns[c] == column) summed.emplace_back(c, &sum);
    const std::uint64_t total = tables->rowCount(s.table);
    std::vector<std::vector<std::string>> one(1);
    PrintTime none;
    tables->forEachRow(s.table, lastKey, 0,
                       [&](long long key, const std::vector<std::string>& row) {
                         std::size_t index = s.tableRows++;
                         if (index == 0) firstRow = row;
                         for (auto [c, sum] : summed)
                           *sum += toMoney(c < row.size() ? row[c] : std::string());
                         if (hasDetail) {
                           if (!fits(y, detail)) {
                             plans.push_back(page);
                             page = PagePlan{};
                             page.section = section;
                             page.firstRow = index;
                             page.afterKey = lastKey;
                             y = top;
                           }
                           ++page.rows;
                           y += detail;
                           one[0] = row;
                           PagePlan at{section, index, 1, key, false, false, false};
                           PageDrawer drawer{s, at, 1, 0, none, one};
                           drawer.row = index;
                           drawer.lineNo = index + 1;
                           drawer.check(BandKind::Detail);
                           lastRow = row;
                         }
                         lastKey = key;
                         if (progress && (index & 0xff) == 0) progress(index, total);
                       });
    s.detailRows = hasDetail ? s.tableRows : 0;
    if (s.detailRows > 0)
      s.summaryRow = std::move(lastRow);
    else if (s.tableRows > 0)
      s.summaryRow = std::move(firstRow);
  }
  if (t.band(BandKind::Summary).present) {
    if (!fits(y, height(BandKind::Summary))) {
      plans.push_back(page);
      page = PagePlan{};
      page.section = section;
      page.firstRow = s.detailRows;
      page.afterKey = lastKey;
    }
    page.summary = true;
  }
  page.last = true;
  plans.push_back(page);
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
  frReport1.title = "Payment report";
  frReport2.title = "Payment detail report";
  frReport3.title = "Direct-debit report";
  frReport5.title = "Tier rate fee report";
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
  PrintTime when{QDate::currentDate().toString("dd/MM/yyyy").toStdString(),
                 QTime::currentTime().toString("HH:mm").toStdString()};
  std::vector<Section> sections;
  std::vector<PagePlan> plans;
  std::vector<int> firstPages;
  for (const ReportObject* r : reports) {
    const ReportTemplate* t = r->reportTemplate();
    if (!t) continue;
    Section s{*t, r->variables(), r->dataTable, {}, 0, 0, {}, std::nullopt, {}};
    s.fontFamily = QString::fromStdString(t->fontFamily);
    if (!s.table.empty()) {
      if (!tables) throw Failure("The report tables are not connected.");
      s.columns = tables->columnNames(s.table);
    }
    firstPages.push_back(static_cast<int>(plans.size()));
    scanRows(s, static_cast<int>(sections.size()), tables, plans, progress);
    sections.push_back(std::move(s));
  }
  auto source = std::make_shared<PagedReports>(std::move(sections), std::move(plans), twoPass,
                                               std::move(when), tables);
  ReportDocument doc(source);
  // The first and last page of every report are laid out once here, so that a template that
  // cannot be filled in stops the report before anything is shown.
  for (std::size_t i = 0; i < firstPages.size(); ++i) {
    int last = i + 1 < firstPages.size() ? firstPages[i + 1] - 1 : doc.pageCount() - 1;
    (void)source->layOut(firstPages[i]);
    if (last != firstPages[i]) (void)source->layOut(last);
    for (const auto& [name, value] : source->variableValues(static_cast<int>(i), last))
      doc.addVariable(name, value);
  }
  return doc;
}

}  // namespace bs
