#include "reports/payment_summary.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

#include "core/error_list.h"
#include "core/failure.h"
#include "core/field_checks.h"
#include "core/text_lines.h"
#include "reports/money.h"
#include "rules/products.h"
#include "store/table_store.h"

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

// What the summary does with the lines, as steps: the same steps go straight to the grid, the
// tables and the batch state, or are kept by the gatherer to be taken there later.
class SummarySteps {
 public:
  virtual ~SummarySteps() = default;
  virtual void customerRef(std::string_view ref) = 0;
  // The debit account of the latest debit; `shown` also puts it in the grid's last row.
  virtual void debitAccount(std::string_view account, bool shown) = 0;
  virtual void summaryRow(std::string_view product, std::string date, std::string count,
                          Money amount) = 0;
  virtual void detailRow(const DetailRow& row) = 0;
  // The Total row, from the first columns of the last line.
  virtual void totalRow(std::string_view lastLine) = 0;
};

class ShownSteps : public SummarySteps {
 public:
  ShownSteps(Session& session, ReportTables& tables)
      : st_(session.state), g_(session.form.StringGrid1), tables_(tables) {}

  void customerRef(std::string_view ref) override { st_.customerRef.assign(ref); }
  void debitAccount(std::string_view account, bool shown) override {
    st_.debitAccount.assign(account);
    if (shown) g_.setCell(6, g_.rowCount() - 1, st_.debitAccount);
  }
  void summaryRow(std::string_view product, std::string date, std::string count,
                  Money amount) override {
    addSummaryRow(g_, product, std::move(date), std::move(count), amount);
  }
  void detailRow(const DetailRow& row) override { tables_.appendDetailRow(row); }
  void totalRow(std::string_view lastLine) override {
    int row = g_.rowCount() - 1;
    std::string count = countText(cut(lastLine, 10, 15));
    std::string total = formatThousands(amountAt(lastLine, 16, 28, 31));
    g_.setCells(row, {"", "", "Total", count, total});
  }

 private:
  BatchState& st_;
  Grid& g_;
  ReportTables& tables_;
};

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

// The summary of a payment batch, a line at a time: a summary row per debit, then the Total
// row; a detail row per credit.
class PaymentLines {
 public:
  // `customerRef` is the batch state's until the header line gives the batch's own.
  PaymentLines(SummarySteps& out, std::string customerRef)
      : out_(out), customerRef_(std::move(customerRef)) {}

  void line(std::string_view line) {
    std::string_view type = cut(line, 1, 3);
    if (type == "001") {
      customerRef_.assign(cut(line, 16, 27));
      out_.customerRef(customerRef_);
    }
    if (type == "002") out_.debitAccount(cut(line, 15, 39), true);
    if (pending_.active && (type == "003" || type == "002" || type == "999")) writePending();
    if (type == "002") {
      productName_ = productDisplayName(cut(line, 4, 6));
      debitOfCredits_.assign(cut(line, 15, 39));
      out_.summaryRow(cut(line, 4, 6), shownDate(line, 7), countText(cut(line, 73, 78)),
                      amountAt(line, 49, 61, 64));
      creditNo_ = 0;
    } else if (type == "003") {
      pending_.start();
      DetailRow& r = pending_.row;
      r.CreditAccount.assign(cut(line, 10, 34));
      assignAmountText(r.CreditAmount, line, 35, 47, 50);
      r.DeliveryMode.assign(cut(line, 65, 65));
      r.PickupLocation.assign(cut(line, 66, 69));
      assignAmountText(r.TotalInvoidAmount, line, 116, 128, 131);
    } else if (type == "004" && pending_.active) {
      std::string_view thai = cut(line, 33, 132);
      pending_.row.NameEng.assign(trim(thai).empty() ? cut(line, 353, 422) : thai);
    } else if (type == "005" && pending_.active) {
      pending_.whtSum += amountAt(line, 20, 32, 35);
      pending_.row.TotalWHTAmount = formatGeneral(pending_.whtSum);
    } else if (type == "006" && pending_.active) {
      pending_.vatSum += amountAt(line, 148, 160, 163);
      pending_.row.VATAmount = formatGeneral(pending_.vatSum);
    }
    lastLine_.assign(cut(line, 1, kTrailerFieldsEnd));
  }

  void finish() {
    // A credit still pending at the end of a file without trailer is kept all the same.
    writePending();
    out_.totalRow(lastLine_);
  }

 private:
  void writePending() {
    if (!pending_.active) return;
    DetailRow& r = pending_.row;
    r.No = ++creditNo_;
    r.Product = productName_;
    r.dabit_Acc = debitOfCredits_;
    r.Customer_Ref = customerRef_;
    out_.detailRow(r);
    pending_.active = false;
  }

  SummarySteps& out_;
  PendingCredit pending_;
  long long creditNo_ = 0;
  std::string customerRef_;
  std::string productName_;
  std::string debitOfCredits_;
  std::string lastLine_;
};

// The summary of a direct-debit batch: a summary row per direct-debit record.
class DirectDebitLines {
 public:
  explicit DirectDebitLines(SummarySteps& out) : out_(out) {}

  void line(std::string_view line) {
    std::string_view type = cut(line, 1, 3);
    if (type == "001") {
      out_.customerRef(cut(line, 16, 27));
    } else if (type == "002") {
      out_.debitAccount(cut(line, 15, 39), false);
    } else if (type == "007") {
      out_.summaryRow(cut(line, 4, 6), shownDate(line, 15), countText(cut(line, 112, 117)),
                      amountAt(line, 96, 108, 111));
    }
  }
  void finish() {}

 private:
  SummarySteps& out_;
};

constexpr const char* kStage = "Payment summary";

template <typename Lines>
void summaryPass(Session& session, LineReader& reader, Lines& lines, bool showProgress) {
  std::string_view line;
  std::uint64_t n = 0;
  while (reader.next(line)) {
    lines.line(line);
    if (showProgress && (++n & 0x3ff) == 0)
      session.ui.progress(kStage, reader.bytesRead(), reader.fileSize());
  }
  lines.finish();
}

bool isDirectDebitBatch(const Session& session) {
  return session.state.currentProduct == directDebitProduct;
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

// The steps as the gatherer keeps them: in order, in an unnamed scratch file, so that the memory
// stays the same whatever the number of credits.  A step is its kind, the kind of batch whose
// summary takes it, and its fields, texts as their length and bytes.
class KeptSteps : public SummarySteps {
 public:
  enum Kind : char { CustomerRef = 'C', DebitAccount = 'A', Row = 'S', Detail = 'D', Total = 'T' };

  KeptSteps(SummarySpill& spill, char batch) : spill_(spill), batch_(batch) {}

  void customerRef(std::string_view ref) override {
    begin(CustomerRef);
    text(ref);
  }
  void debitAccount(std::string_view account, bool shown) override {
    begin(DebitAccount);
    text(account);
    spill_.bytes.push_back(shown ? '1' : '0');
  }
  void summaryRow(std::string_view product, std::string date, std::string count,
                  Money amount) override {
    begin(Row);
    text(product);
    text(date);
    text(count);
    number(amount.tenThousandths);
  }
  // A detail row, one for each credit, is kept as one text that holds its fields, so that the
  // replay takes it from the scratch file at once.
  void detailRow(const DetailRow& r) override {
    const auto fields = {&r.Product,       &r.NameEng,           &r.CreditAmount,
                         &r.CreditAccount, &r.TotalInvoidAmount, &r.TotalWHTAmount,
                         &r.DeliveryMode,  &r.PickupLocation,    &r.VATAmount,
                         &r.Customer_Ref,  &r.dabit_Acc};
    std::size_t size = sizeof(std::int64_t);
    for (const std::string* field : fields) size += sizeof(std::int64_t) + field->size();
    begin(Detail);
    number(static_cast<std::int64_t>(size));
    number(r.No);
    for (const std::string* field : fields) text(*field);
  }
  void totalRow(std::string_view lastLine) override {
    begin(Total);
    text(lastLine);
  }

 private:
  void begin(Kind kind) {
    spill_.flushIfFull();
    spill_.bytes.push_back(batch_);
    spill_.bytes.push_back(kind);
  }
  void number(std::int64_t value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    spill_.bytes.append(bytes, sizeof value);
  }
  void text(std::string_view t) {
    number(static_cast<std::int64_t>(t.size()));
    spill_.bytes.append(t);
  }

  SummarySpill& spill_;
  char batch_;
};

// Reads numbers and texts kept one after the other in `bytes`, as KeptSteps writes them.
class KeptFields {
 public:
  KeptFields(std::string_view bytes, const std::string& folder) : rest_(bytes), folder_(folder) {}
  std::int64_t number() {
    std::int64_t value = 0;
    std::memcpy(&value, take(sizeof value).data(), sizeof value);
    return value;
  }
  std::string_view text() { return take(static_cast<std::size_t>(number())); }

 private:
  std::string_view take(std::size_t n) {
    if (n > rest_.size())
      throw Failure("The payment summary's scratch file in \"" + folder_ + "\" is damaged.");
    std::string_view taken = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return taken;
  }

  std::string_view rest_;
  const std::string& folder_;
};

// Reads the kept steps back in order.
class KeptStepReader {
 public:
  explicit KeptStepReader(const SummarySpill& spill)
      : fd_(spill.fd.get()), size_(spill.written), folder_(spill.folder) {}

  bool atEnd() const { return offset_ >= size_; }
  std::uint64_t offset() const { return offset_; }
  char byte() { return *take(1); }
  std::int64_t number() {
    std::int64_t value = 0;
    std::memcpy(&value, take(sizeof value), sizeof value);
    return value;
  }
  std::string_view text() {
    const auto n = static_cast<std::size_t>(number());
    return {take(n), n};
  }

 private:
  // The next n bytes, kept in the buffer until the next call.
  const char* take(std::size_t n) {
    if (n > size_ - offset_) damaged();
    if (pos_ + n > held_) {
      // The bytes not taken yet move to the front, and at least a quarter megabyte more is read
      // after them (into memory that is not cleared first: every byte read is written).
      const std::size_t left = held_ - pos_;
      const std::size_t want = std::max<std::size_t>(n - left, 1 << 18);
      if (left + want > capacity_) {
        // Room for a step left over as well: the buffer is made once.
        capacity_ = std::max<std::size_t>(left + want, 1 << 19);
        auto larger = std::make_unique_for_overwrite<char[]>(capacity_);
        if (left > 0) std::memcpy(larger.get(), buffer_.get() + pos_, left);
        buffer_ = std::move(larger);
      } else {
        std::memmove(buffer_.get(), buffer_.get() + pos_, left);
      }
      pos_ = 0;
      held_ = left;
      const std::uint64_t from = offset_ + left;
      std::size_t got = 0;
      while (got < want && from + got < size_) {
        long long r = readAt(fd_, buffer_.get() + left + got, want - got, from + got);
        if (r < 0)
          throwIoFailure("Read error on the payment summary's scratch file in", folder_,
                         static_cast<int>(-r));
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
      }
      held_ = left + got;
      if (held_ < n) damaged();
    }
    const char* at = buffer_.get() + pos_;
    pos_ += n;
    offset_ += n;
    return at;
  }

  [[noreturn]] void damaged() const {
    throw Failure("The payment summary's scratch file in \"" + folder_ + "\" is damaged.");
  }

  int fd_;
  std::uint64_t size_;
  const std::string& folder_;
  std::uint64_t offset_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t held_ = 0;
  std::size_t pos_ = 0;
};

// Takes the kept steps of one kind of batch to the grid, the tables and the batch state.
void replayKeptSteps(Session& session, const SummarySpill& spill, char batch, SummarySteps& out) {
  KeptStepReader in(spill);
  DetailRow r;
  std::uint64_t steps = 0;
  while (!in.atEnd()) {
    const char stepBatch = in.byte();
    const char kind = in.byte();
    const bool wanted = stepBatch == batch;
    switch (kind) {
      case KeptSteps::CustomerRef: {
        std::string_view ref = in.text();
        if (wanted) out.customerRef(ref);
        break;
      }
      case KeptSteps::DebitAccount: {
        std::string_view account = in.text();
        const bool shown = in.byte() == '1';
        if (wanted) out.debitAccount(account, shown);
        break;
      }
      case KeptSteps::Row: {
        std::string product(in.text());
        std::string date(in.text());
        std::string count(in.text());
        const Money amount{in.number()};
        if (wanted) out.summaryRow(product, std::move(date), std::move(count), amount);
        break;
      }
      case KeptSteps::Detail: {
        KeptFields fields(in.text(), spill.folder);
        r.No = fields.number();
        for (std::string* field : {&r.Product, &r.NameEng, &r.CreditAmount, &r.CreditAccount,
                                   &r.TotalInvoidAmount, &r.TotalWHTAmount, &r.DeliveryMode,
                                   &r.PickupLocation, &r.VATAmount, &r.Customer_Ref, &r.dabit_Acc})
          field->assign(fields.text());
        if (wanted) out.detailRow(r);
        break;
      }
      case KeptSteps::Total: {
        std::string_view lastLine = in.text();
        if (wanted) out.totalRow(lastLine);
        break;
      }
      default:
        throw Failure("The payment summary's scratch file in \"" + spill.folder + "\" is damaged.");
    }
    if (wanted && batch == 'P' && (++steps & 0x3ff) == 0)
      session.ui.progress(kStage, in.offset(), spill.written);
  }
}

constexpr char kPaymentBatch = 'P';
constexpr char kDirectDebitBatch = 'D';

// The summary's passes, once the grid is set up: from the gathered steps when there are any for
// this kind of batch, else from the payment file.
void summarise(Session& session, ReportTables& tables, SummaryGatherer* gathered) {
  const bool directDebit = isDirectDebitBatch(session);
  ShownSteps shown(session, tables);
  if (gathered && gathered->usableFor(directDebit)) {
    tables.emptyTable(kReportTableFile);
    tables.emptyTable(kReportTableDetailFile);
    replayKeptSteps(session, gathered->spill(), directDebit ? kDirectDebitBatch : kPaymentBatch,
                    shown);
    tables.endDetailRows();
    return;
  }
  LineReader reader(session.form.edtFileInput.text);
  tables.emptyTable(kReportTableFile);
  tables.emptyTable(kReportTableDetailFile);
  if (directDebit) {
    DirectDebitLines lines(shown);
    summaryPass(session, reader, lines, false);
  } else {
    PaymentLines lines(shown, session.state.customerRef);
    summaryPass(session, reader, lines, true);
  }
  tables.endDetailRows();
}

}  // namespace

void SummarySpill::flushIfFull() {
  if (bytes.size() >= kFlushAt) flush();
}

void SummarySpill::flush() {
  if (bytes.empty()) return;
  if (int e = writeAllAt(fd.get(), bytes.data(), bytes.size(), written))
    throwIoFailure("Write error on the payment summary's scratch file in", folder, e);
  written += bytes.size();
  bytes.clear();
}

struct SummaryGatherer::Lines {
  KeptSteps paymentSteps;
  KeptSteps directDebitSteps;
  PaymentLines payment;
  DirectDebitLines directDebit;

  Lines(SummarySpill& spill, const std::string& customerRef)
      : paymentSteps(spill, kPaymentBatch),
        directDebitSteps(spill, kDirectDebitBatch),
        payment(paymentSteps, customerRef),
        directDebit(directDebitSteps) {}
};

SummaryGatherer::SummaryGatherer(const std::string& scratchFolder, const BatchState& state) {
  int error = 0;
  spill_.folder = scratchFolder;
  spill_.fd = createScratch(scratchFolder, error);
  if (!spill_.fd) {
    paymentUsable_ = directDebitUsable_ = false;
    return;
  }
  spill_.bytes.reserve(SummarySpill::kFlushAt + 4096);
  lines_ = std::make_unique<Lines>(spill_, state.customerRef);
}

SummaryGatherer::~SummaryGatherer() = default;

void SummaryGatherer::line(std::string_view line) {
  // A step that fails here leaves the summary to read the file, where it fails the same way at
  // the same line.
  if (paymentUsable_) {
    try {
      lines_->payment.line(line);
    } catch (...) {
      paymentUsable_ = false;
    }
  }
  if (directDebitUsable_) {
    try {
      lines_->directDebit.line(line);
    } catch (...) {
      directDebitUsable_ = false;
    }
  }
}

void SummaryGatherer::finish() {
  try {
    if (paymentUsable_) lines_->payment.finish();
  } catch (...) {
    paymentUsable_ = false;
  }
  try {
    spill_.flush();
    finished_ = true;
  } catch (...) {
    paymentUsable_ = directDebitUsable_ = false;
  }
}

bool SummaryGatherer::usableFor(bool directDebit) const {
  return finished_ && (directDebit ? directDebitUsable_ : paymentUsable_);
}

void fillPaymentSummary(Session& session, ReportTables& tables, SummaryGatherer* gathered) {
  setUpSummaryGrid(session);
  summarise(session, tables, gathered);
}

void fillPaymentSummary(Session& session, SummaryGatherer* gathered) {
  setUpSummaryGrid(session);
  summarise(session, *storeReportTables(session.store), gathered);
}

void clearReportTablesAhead(Session& session) {
  if (session.store) session.store->clearAhead({kReportTableFile, kReportTableDetailFile});
}

void keepReportTablesCleared(Session& session) {
  if (session.store) session.store->keepCleared();
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
