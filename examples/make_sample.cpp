// Writes the sample payment file of the README: a header, five debits of different products,
// each with its credits, payees in English and Thai (Windows-874), some with withholding tax and
// invoices, and a trailer.  Value dates lie far ahead so the file stays valid for years.
//
// With --faulty it writes the same file with one faulty field in the first record of every
// type, a direct-debit record and item added: the file the record inspector is shown on.
//
//   make_sample OUT [--faulty]

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/faulty_sample.h"
#include "support/payment_file.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace {

using namespace bs::test;

// Thai names as Windows-874 bytes.
const std::string kMalee = "\xc1\xd2\xc5\xd5\x20\xc8\xc3\xd5\xca\xd8\xa2";  // มาลี ศรีสุข
const std::string kRungruang =
    "\xba\xc3\xd4\xc9\xd1\xb7\x20\xc3\xd8\xe8\xa7\xe0\xc3\xd7\xcd\xa7\xa1\xd2\xc3\xa4\xe9\xd2"
    "\x20\xa8\xd3\xa1\xd1\xb4";  // บริษัท รุ่งเรืองการค้า จำกัด
const std::string kWichai = "\xc7\xd4\xaa\xd1\xc2\x20\xb7\xcd\xa7\xb4\xd5";  // วิชัย ทองดี
const std::string kSiamWatsadu =
    "\xcb\xe9\xd2\xa7\xcb\xd8\xe9\xb9\xca\xe8\xc7\xb9\x20\xca\xc2\xd2\xc1\xc7\xd1\xca\xb4"
    "\xd8";  // ห้างหุ้นส่วน สยามวัสดุ
const std::string kPrasert =
    "\xbb\xc3\xd0\xe0\xca\xc3\xd4\xb0\x20\xe1\xa1\xe9\xc7\xc1\xb3\xd5";  // ประเสริฐ แก้วมณี
const std::string kSomsri = "\xca\xc1\xc8\xc3\xd5\x20\xba\xd8\xad\xc1\xd2";  // สมศรี บุญมา

struct Payee {
  std::string nameEn;
  std::string nameTh;
  std::string taxId = "3100600123";
};

// Numbers the credits of the file and keeps the credit, payee and detail lines in step.
class SampleFile {
 public:
  SampleFile() : file_("ACMETRADE001") {}

  void debit(const char* product) {
    product_ = product;
    file_.debit(product);
  }

  // A credit of `amount` thousandths to `account` (at `bank`, when not the product's default),
  // with `whtAmounts` as its withholding-tax details and `invoiceAmounts` as its invoices.
  void credit(const std::string& account, long long amount, const Payee& payee,
              const std::vector<std::pair<const char*, long long>>& whtAmounts = {},
              const std::vector<long long>& invoiceAmounts = {}, const char* bank = nullptr) {
    ++sequence_;
    const std::string seq = sixDigits(sequence_);
    const std::string ref = "PV" + sixDigits(sequence_);
    CreditLine line(product_);
    line.set(credit::sequence, seq)
        .set(credit::account, account)
        .set(credit::amount, amount16(amount))
        .set(credit::internalReference, ref);
    if (bank) line.set(credit::bankCode, bank);
    long long whtTotal = 0;
    for (const auto& w : whtAmounts) whtTotal += w.second;
    if (!whtAmounts.empty()) line.withWht(static_cast<int>(whtAmounts.size()), whtTotal);
    long long invoiceTotal = 0;
    for (long long a : invoiceAmounts) invoiceTotal += a;
    if (!invoiceAmounts.empty())
      line.withInvoices(static_cast<int>(invoiceAmounts.size()), invoiceTotal);

    PayeeFields p;
    p.internalReference = ref;
    p.creditSequence = seq;
    p.nameEn = payee.nameEn;
    p.nameTh = payee.nameTh;
    p.taxId = payee.taxId;
    std::vector<std::string> details{payeeLine(p)};
    int whtSeq = 0;
    for (const auto& [incomeType, tax] : whtAmounts) {
      WhtFields w;
      w.internalReference = ref;
      w.creditSequence = seq;
      w.whtSequence = twoDigits(++whtSeq);
      w.incomeType = incomeType;
      w.description = "SERVICE FEE";
      w.whtAmount = amount16(tax);
      w.incomeAmount = amount16(tax * 100 / 3 / 10 * 10);  // income taxed at 3 percent
      details.push_back(whtLine(w));
    }
    int invoiceSeq = 0;
    for (long long a : invoiceAmounts) {
      InvoiceFields inv;
      inv.internalReference = ref;
      inv.creditSequence = seq;
      inv.invoiceSequence = sixDigits(++invoiceSeq);
      inv.invoiceNumber = "INV2030" + sixDigits(sequence_ * 10 + invoiceSeq);
      inv.invoiceAmount = amount16(a);
      inv.invoiceDate = "20301115";
      inv.vatAmount = amount16(a * 7 / 107 / 10 * 10);
      inv.whtAmount = amount16(0);
      details.push_back(invoiceLine(inv));
    }
    file_.credit(line.str(), std::move(details));
  }

  std::string bytes() const { return file_.bytes(); }

 private:
  static std::string sixDigits(long n) {
    char text[16];
    std::snprintf(text, sizeof text, "%06ld", n);
    return text;
  }
  static std::string twoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
  }

  PaymentFile file_;
  std::string product_;
  long sequence_ = 0;
};

std::string buildSample() {
  SampleFile f;
  // Salaries and supplier payments to accounts at the home bank.
  f.debit("PAY");
  f.credit(homeAccountWithCheckDigit("101234567"), 25'500'000, {"MALEE SRISUK", kMalee});
  f.credit(homeAccountWithCheckDigit("101234568"), 31'250'000, {"WICHAI THONGDEE", kWichai});
  f.credit(homeAccountWithCheckDigit("205550001"), 103'000'000,
           {"RUNGRUANG TRADING CO LTD", kRungruang, "0105536000123"},
           {{"1", 1'500'000}, {"2", 1'590'000}}, {53'500'000, 52'590'000});
  // Direct credits to home-bank accounts.
  f.debit("DCP");
  f.credit(homeAccountWithCheckDigit("300987654"), 8'750'250, {"PRASERT KAEWMANEE", kPrasert});
  f.credit(homeAccountWithCheckDigit("300987655"), 12'000'000, {"SOMSRI BOONMA", ""});
  // Media clearing to other banks, next-day value.
  f.debit("MCL");
  f.credit("0012345678", 1'999'999'990, {"SIAM WATSADU PARTNERSHIP", kSiamWatsadu, "0103555012345"},
           {{"4b1.1", 3'000'000}}, {2'002'999'990}, "002");
  f.credit("0029876543", 45'678'900, {"", kMalee}, {}, {}, "004");
  // BahtNet transfer.
  f.debit("BNT");
  f.credit("0109988776", 2'500'000'000, {"RUNGRUANG TRADING CO LTD", kRungruang}, {}, {}, "002");
  // Cheques drawn on the customer's account.
  f.debit("MCP");
  f.credit(homeAccountWithCheckDigit("101234567"), 15'000'000, {"WICHAI THONGDEE", kWichai});
  f.credit(homeAccountWithCheckDigit("101234568"), 7'320'000, {"SOMSRI BOONMA", kSomsri},
           {{"2", 226'400}}, {7'546'400});
  return f.bytes();
}

}  // namespace

int main(int argc, char** argv) {
  const bool faulty = argc == 3 && std::string(argv[2]) == "--faulty";
  if (argc != 2 && !faulty) {
    std::fprintf(stderr, "usage: make_sample OUT [--faulty]\n");
    return 2;
  }
  try {
    writeFile(argv[1], faulty ? withPlantedFaults(buildSample()) : buildSample());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
