#include "reports/payment_summary.h"

#include <array>
#include <utility>

#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/text_lines.h"
#include "reports/money.h"
#include "rules/products.h"

namespace bs {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kDisplayNames{{
    {"PAY", "Payroll"},
    {"PA2", "Payroll(Type2)"},
    {"PA3", "Payroll(Type3)"},
    {"PA4", "MCL Payroll(Type1)"},
    {"PA5", "MCL Payroll(Type2)"},
    {"PA6", "MCL Payroll(Type3)"},
    {"DCP", "Direct Credit"},
    {"MCL", "Media Clearing"},
    {"BNT", "BahtNet"},
    {"MCP", "Manager Cheque"},
    {"CCP", "Corporate Cheque"},
    {"DDP", "Demand Draft"},
    {"XMQ", "Express Manager Cheque"},
    {"XDQ", "Express Demand Draft"},
    {"DDR", "Direct Debit"},
}};

// "yyyymmdd" shown as "dd/mm/yyyy".
std::string shownDate(std::string_view line, std::size_t first) {
  std::string out(cut(line, first + 6, first + 7));
  out += '/';
  out += cut(line, first + 4, first + 5);
  out += '/';
  out += cut(line, first, first + 3);
  return out;
}

// A count field as a whole number without leading zeros.
std::string countText(std::string_view field) {
  return std::to_string(toInteger(field));
}

Money amountAt(std::string_view line, std::size_t first, std::size_t pointAfter, std::size_t last) {
  return amountFromFields(cut(line, first, pointAfter), cut(line, pointAfter + 1, last));
}

// The 17-character form of an amount field: 13 digits, ".", 3 digits, as in the file.
void assignAmountText(std::string& out, std::string_view line, std::size_t first,
                      std::size_t pointAfter, std::size_t last) {
  out.assign(cut(line, first, pointAfter));
  out += '.';
  out += cut(line, pointAfter + 1, last);
}

void setUpSummaryGrid(Session& session) {
  Form& f = session.form;
  session.state.reportReady = true;
  f.Label5.caption = "PAYMENT DETAIL";
  f.Label4.caption = "Company ID : " + session.state.companyId;
  clearErrorList(f);
  Grid& g = f.StringGrid1;
  g.setRowCount(2);
  g.setColCount(6);
  g.setCell(0, 0, "No.");
  g.setCell(1, 0, "Product Type");
  g.setCell(2, 0, "Value Date");
  g.setCell(3, 0, "No. of Credit");
  g.setCell(4, 0, "Amount");
  g.setCell(6, 0, "dabit_Account_NO");
  constexpr std::array<int, 6> widths{40, 200, 100, 120, 200, 0};
  for (int c = 0; c < 6; ++c) g.setColWidth(c, widths[static_cast<std::size_t>(c)]);
}

// Fills the grid's last row as a summary row and adds the empty row after it.
void addSummaryRow(Grid& g, std::string_view product, std::string date, std::string count,
                   Money amount) {
  int row = g.rowCount() - 1;
  std::string number = std::to_string(row);
  std::string name = productDisplayName(product);
  std::string shown = formatThousands(amount);
  std::string plain = formatPlain(amount);
  g.setCells(row, {number, name, date, count, shown, plain});
  g.setRowCount(g.rowCount() + 1);
}

// The credit whose detail row is being gathered.  One object serves every credit of the pass,
// so that its texts keep their buffers from one credit to the next.
struct PendingCredit {
  bool active = false;
  DetailRow row;
  Money whtSum;
  Money vatSum;

  // A credit line starts a new row: every field empty, the sums zero.
  void start() {
    active = true;
    row.No = 0;
    for (std::string* field :
         {&row.Product, &row.NameEng, &row.CreditAmount, &row.CreditAccount, &row.TotalInvoidAmount,
          &row.TotalWHTAmount, &row.DeliveryMode, &row.PickupLocation, &row.VATAmount,
          &row.Customer_Ref, &row.dabit_Acc})
      field->clear();
    whtSum = Money{};
    vatSum = Money{};
  }
};

// Of the last line the Total row reads only columns 10-31 (the count and the total amount).
constexpr std::size_t kTrailerFieldsEnd = 31;

void paymentPass(Session& session, LineReader& reader, ReportTables& tables) {
  BatchState& st = session.state;
  Grid& g = session.form.StringGrid1;
  PendingCredit pending;
  long long creditNo = 0;
  std::string productName;
  std::string debitOfCredits;
  std::string lastLine;

  auto writePending = [&] {
    if (!pending.active) return;
    DetailRow& r = pending.row;
    r.No = ++creditNo;
    r.Product = productName;
    r.dabit_Acc = debitOfCredits;
    r.Customer_Ref = st.customerRef;
    tables.appendDetailRow(r);
    pending.active = false;
  };

  std::string_view line;
  std::uint64_t lines = 0;
  while (reader.next(line)) {
    std::string_view type = cut(line, 1, 3);
    if (type == "001") st.customerRef = std::string(cut(line, 16, 27));
    if (type == "002") {
      st.debitAccount = std::string(cut(line, 15, 39));
      g.setCell(6, g.rowCount() - 1, st.debitAccount);
    }
    if (pending.active && (type == "003" || type == "002" || type == "999")) writePending();
    if (type == "002") {
      productName = productDisplayName(cut(line, 4, 6));
      debitOfCredits = std::string(cut(line, 15, 39));
      addSummaryRow(g, cut(line, 4, 6), shownDate(line, 7), countText(cut(line, 73, 78)),
                    amountAt(line, 49, 61, 64));
      creditNo = 0;
    } else if (type == "003") {
      pending.start();
      DetailRow& r = pending.row;
      r.CreditAccount.assign(cut(line, 10, 34));
      assignAmountText(r.CreditAmount, line, 35, 47, 50);
      r.DeliveryMode.assign(cut(line, 65, 65));
      r.PickupLocation.assign(cut(line, 66, 69));
      assignAmountText(r.TotalInvoidAmount, line, 116, 128, 131);
    } else if (type == "004" && pending.active) {
      std::string_view thai = cut(line, 33, 132);
      pending.row.NameEng.assign(trim(thai).empty() ? cut(line, 353, 422) : thai);
    } else if (type == "005" && pending.active) {
      pending.whtSum += amountAt(line, 20, 32, 35);
      pending.row.TotalWHTAmount = formatGeneral(pending.whtSum);
    } else if (type == "006" && pending.active) {
      pending.vatSum += amountAt(line, 148, 160, 163);
      pending.row.VATAmount = formatGeneral(pending.vatSum);
    }
    lastLine.assign(cut(line, 1, kTrailerFieldsEnd));
    if ((++lines & 0x3ff) == 0)
      session.ui.progress("Payment summary", reader.bytesRead(), reader.fileSize());
  }
  // A credit still pending at the end of a file without trailer is kept all the same.
  writePending();

  int row = g.rowCount() - 1;
  std::string count = countText(cut(lastLine, 10, 15));
  std::string total = formatThousands(amountAt(lastLine, 16, 28, 31));
  g.setCells(row, {"", "", "Total", count, total});
}

void directDebitPass(Session& session, LineReader& reader) {
  BatchState& st = session.state;
  Grid& g = session.form.StringGrid1;
  std::string_view line;
  while (reader.next(line)) {
    std::string_view type = cut(line, 1, 3);
    if (type == "001") {
      st.customerRef = std::string(cut(line, 16, 27));
    } else if (type == "002") {
      st.debitAccount = std::string(cut(line, 15, 39));
    } else if (type == "007") {
      addSummaryRow(g, cut(line, 4, 6), shownDate(line, 15), countText(cut(line, 112, 117)),
                    amountAt(line, 96, 108, 111));
    }
  }
}

}  // namespace

std::string sqlQuoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

std::string productDisplayName(std::string_view code) {
  for (const auto& [c, name] : kDisplayNames)
    if (c == code) return std::string(name);
  return std::string(code);
}

namespace {

// The summary's passes, once the grid is set up.
void summarise(Session& session, ReportTables& tables) {
  LineReader reader(session.form.edtFileInput.text);
  tables.emptyTable(kReportTableFile);
  tables.emptyTable(kReportTableDetailFile);
  if (session.state.currentProduct == directDebitProduct)
    directDebitPass(session, reader);
  else
    paymentPass(session, reader, tables);
}

}  // namespace

void fillPaymentSummary(Session& session, ReportTables& tables) {
  setUpSummaryGrid(session);
  summarise(session, tables);
}

void fillPaymentSummary(Session& session) {
  setUpSummaryGrid(session);
  summarise(session, *storeReportTables(session.store));
}

void fillReportTable(Session& session) {
  fillReportTable(session, *storeReportTables(session.store));
}

void fillReportTable(Session& session, ReportTables& tables) {
  tables.execSql("Delete From ReportTable");
  const Grid& g = session.form.StringGrid1;
  int n = g.rowCount() - 2;
  for (int r = 1; r <= n; ++r) {
    std::string sql =
        "Insert into ReportTable(Product,Value_Date,No_Of_Credit,Amount,dabit_Acc) Values(";
    sql += sqlQuoted(g.cell(1, r));
    sql += ',';
    sql += sqlQuoted(g.cell(2, r));
    sql += ',';
    sql += g.cell(3, r);
    sql += ',';
    sql += g.cell(5, r);
    sql += ',';
    sql += sqlQuoted(g.cell(6, r));
    sql += ')';
    tables.execSql(sql);
  }
}

}  // namespace bs
