// The validation pass: one read of the payment file that hands every line to the rules of its
// record type and makes the checks that span records (debit amount against its credits, Total
// WHT Amount against the WHT details, declared detail and credit counts against the records).

#include <array>
#include <charconv>
#include <string>
#include <string_view>

#include "commands/validate_file.h"

#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/text_lines.h"
#include "rules/record_rules.h"

namespace bs {
namespace {

// The withholding-tax income types a credit may declare; each may appear once per credit,
// except type 6, which may appear up to three times.
constexpr std::array<std::string_view, 13> kIncomeTypes = {
    "1", "2", "3", "4a", "4b", "4b1.1", "4b1.2", "4b1.3", "4b1.4", "4b2", "4b3", "5", "6"};
constexpr std::size_t kTypeSix = 12;

constexpr long kProgressEvery = 4096;

// The state of one pass that no other step reads.
struct PassState {
  int creditSeen = 0;  // 0 before the first credit of the run, then 1
  std::array<int, kIncomeTypes.size()> incomeTypeCounter{};
  int whtTypeCount = 0;

  void resetIncomeTypes() {
    incomeTypeCounter.fill(0);
    whtTypeCount = 0;
  }
};

class Validator {
 public:
  Validator(Session& session, CreditContextStore& context)
      : errors_(session.form),
        rules_{session.state, errors_, context, session.clock, {}},
        st_(session.state) {}

  void line(std::string_view line, long n) {
    const std::string_view type = cut(line, 1, 3);
    rules_.product = st_.currentProduct;
    if (type == "001") {
      onHeader(line, n);
    } else if (type == "002") {
      onDebit(line, n);
    } else if (type == "003") {
      onCredit(line, n);
    } else if (type == "004") {
      checkPayeeRecord(rules_, line, n);
    } else if (type == "005") {
      onWht(line, n);
    } else if (type == "006") {
      onInvoice(line, n);
    } else if (type == "007") {
      st_.currentProduct = std::string(cut(line, 4, 6));
      rules_.product = st_.currentProduct;
      checkDirectDebitRecord(rules_, line, n);
    } else if (type == "008") {
      checkDirectDebitItemRecord(rules_, line, n);
    } else if (type == "999") {
      onTrailer(line, n);
    }

    // Once the trailer is in, the credits after the last debit must match its declared number;
    // the row is repeated after every line that follows the trailer, always on line 2.
    if (st_.trailerSeen && st_.seenCreditCount != st_.declaredCreditCount)
      fault("002", 2, 73, 78, "No.of Credit",
            "No. of Credit does not match with Total Credit Detail");
  }

 private:
  // A fault found across records; its Column text is "first-last".
  void fault(std::string_view recordType, long line, std::size_t first, std::size_t last,
             std::string_view fieldName, std::string_view message) {
    char columns[24];
    char* end = std::to_chars(columns, columns + 10, first).ptr;
    *end++ = '-';
    end = std::to_chars(end, columns + sizeof columns, last).ptr;
    reportFault(rules_, ErrorRow{recordType,
                                 line,
                                 std::string_view(columns, static_cast<std::size_t>(end - columns)),
                                 fieldName,
                                 message,
                                 {},
                                 {}});
  }

  void onHeader(std::string_view line, long n) {
    checkHeaderRecord(rules_, line, n);
    st_.companyId = std::string(trim(cut(line, 4, 15)));
  }

  void onDebit(std::string_view line, long n) {
    st_.seenCreditCount = 0;
    st_.currentProduct = std::string(cut(line, 4, 6));
    rules_.product = st_.currentProduct;
    ++st_.debitCount;
    checkDebitAmount();
    checkDebitRecord(rules_, line, n);
    st_.declaredCreditCount = toInteger(cut(line, 73, 78));
    st_.creditAmountSum = 0;
  }

  void onCredit(std::string_view line, long n) {
    ++st_.creditCount;
    ++pass_.creditSeen;
    checkWhtTotal();
    if (pass_.creditSeen == 2) checkInvoiceCount();
    st_.whtRecordCount = 0;
    st_.creditWhtCount = 0;
    checkCreditRecord(rules_, line, n);
    st_.whtDetailSum = 0;
    ++st_.seenCreditCount;
    // The count texts keep the latest numeric field, also from an earlier run.
    st_.creditWhtCount = toInteger(st_.creditWhtCountText);
    st_.creditInvoiceCount = toInteger(st_.creditInvoiceCountText);
    pass_.resetIncomeTypes();
  }

  void onWht(std::string_view line, long n) {
    ++st_.whtRecordCount;
    st_.invoiceRecordCount = 0;
    if (st_.whtRecordCount > 5)
      fault("005", n, 36, 40, "WHT Income Type", "Witholding Tax Number should not be more five");

    const std::string_view incomeType = trim(cut(line, 36, 40));
    for (std::size_t t = 0; t < kIncomeTypes.size(); ++t) {
      if (kIncomeTypes[t] != incomeType) continue;
      const int count = ++pass_.incomeTypeCounter[t];
      if (t != kTypeSix) {
        if (count == 2)
          fault("005", n, 36, 40, "WHT Income Type",
                "should not be Repeat 1-6 or 4a,4b,4b1,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3");
        if (count == 1) ++pass_.whtTypeCount;
      } else {
        if (count > 3) {
          fault("005", n, 36, 40, "WHT Income Type", "Type 6 should not be more than three ");
          ++pass_.whtTypeCount;
        }
        if (count == 1) ++pass_.whtTypeCount;
      }
      break;
    }

    checkWhtRecord(rules_, line, n, pass_.whtTypeCount);
  }

  void onInvoice(std::string_view line, long n) {
    // Compared at the first invoice after the credit or after its latest WHT detail.
    if (st_.creditWhtCount != st_.whtRecordCount && st_.invoiceRecordCount == 0)
      fault("003", st_.creditLine, 92, 94, "No of WHT Detail",
            "No. of Withoding Tax does not match with Total Withoding Tax");
    ++st_.invoiceRecordCount;
    checkInvoiceRecord(rules_, line, n);
  }

  void onTrailer(std::string_view line, long n) {
    checkDebitAmount();
    checkWhtTotal();
    checkTrailerRecord(rules_, line, n);
    st_.whtDetailSum = 0;
    st_.creditAmountSum = 0;
    st_.trailerSeen = true;
    checkInvoiceCount();
  }

  // Amounts are compared exactly, as the bank does.
  void checkDebitAmount() {
    if (st_.debitAmount != st_.creditAmountSum)
      fault("002", st_.debitLine, 49, 64, "Debit Amount",
            "Debit amount does not match with credit detail");
  }

  void checkWhtTotal() {
    if (st_.whtDetailSum != st_.creditWhtTotal)
      fault("003", st_.creditLine, 94, 109, "Total WHT Amount",
            "Total WHT Amount does not match with WHT detail");
  }

  // The previous credit's declared number of invoices against the invoices that followed it.
  void checkInvoiceCount() {
    if (st_.creditInvoiceCount != st_.invoiceRecordCount)
      fault("003", st_.creditLine, 110, 115, "No of Invoice Detail",
            "No. of Invoice does not match with Total Invoice");
    st_.invoiceRecordCount = 0;
    st_.creditInvoiceCount = 0;
    pass_.creditSeen = 1;
  }

  ErrorList errors_;
  RuleContext rules_;
  BatchState& st_;
  PassState pass_;
};

void resetForRun(Session& session) {
  BatchState& st = session.state;
  st.batchValid = true;
  st.debitAmount = 0;
  st.creditAmountSum = 0;
  st.debitAmountTotal = 0;
  st.debitCount = 0;
  st.creditCount = 0;
  st.creditWhtTotal = 0;
  st.whtDetailSum = 0;
  st.creditWhtCount = 0;
  st.whtRecordCount = 0;
  st.creditInvoiceCount = 0;
  st.invoiceRecordCount = 0;
  st.declaredCreditCount = 0;
  st.seenCreditCount = 0;
  st.trailerSeen = false;
  clearErrorList(session.form);
  setUpErrorList(session.form);
}

// The pass itself; false when `accept` refused a line.
bool validateLines(Session& session, LineReader& reader, CreditContextStore& context,
                   SummaryGatherer* summary, const LineFilter& accept) {
  Validator validator(session, context);
  std::string_view line;
  while (reader.next(line)) {
    if (accept && !accept(reader, line)) return false;
    validator.line(line, reader.lineNumber());
    if (summary) summary->line(line);
    if (reader.lineNumber() % kProgressEvery == 0)
      session.ui.progress("Validating", reader.bytesRead(), reader.fileSize());
  }
  if (summary) summary->finish();
  session.ui.progress("Validating", reader.bytesRead(), reader.fileSize());
  return true;
}

}  // namespace

void validateFile(Session& session, const std::string& path, SummaryGatherer* summary) {
  resetForRun(session);
  LineReader reader(path);
  validateLines(session, reader, *session.creditContext, summary, {});
}

bool validateFile(Session& session, LineReader& reader, CreditContextStore& context,
                  const LineFilter& accept, SummaryGatherer* summary) {
  resetForRun(session);
  return validateLines(session, reader, context, summary, accept);
}

}  // namespace bs
