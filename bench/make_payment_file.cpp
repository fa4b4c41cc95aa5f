// Writes a realistic payment file of any size for the benchmarks: a header, N debits of mixed
// products with M credits each, every credit followed by its payee and, for a share of them,
// withholding-tax and invoice details, then the trailer.  Amounts, totals, counts and check
// digits add up, so the file passes every rule; names are Thai and English.
//
// With --faulty every credit and payee line carries the same handful of field faults (the
// lengths stay right), so that the validation lists about ten error rows per credit.
//
//   make_payment_file OUT --credits N [--per-debit M] [--faulty] [--value-date YYYYMMDD]

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "rules/products.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace {

using bs::test::CreditLine;
namespace credit = bs::test::credit;

// Products in the order the batches cycle through them.  The express cheque products are
// limited to 20 credits per file, so they get one small batch each at the end.
constexpr std::string_view kProducts[] = {"PAY", "DCP", "PA2", "PA3", "MCL", "PA4",
                                          "PA5", "PA6", "MCP", "DDP", "CCP", "BNT"};
constexpr int kExpressCredits = 10;

// Windows-874 bytes of Thai given and family names.
const std::vector<std::string> kThaiGiven = {
    "\xCA\xC1\xAA\xD2\xC2",      // สมชาย
    "\xCA\xC1\xCB\xD4\xA7",      // สมหญิง
    "\xC7\xD4\xC3\xD1\xAA",      // วิรัช
    "\xBA\xD8\xBB\xBC\xD2",      // บุปผา
    "\xB9\xC3\xD2\xBB\xC3\xD0",  // นราประ
    "\xCD\xC3\xE0\xB7\xBE",      // อรเทพ
};
const std::vector<std::string> kThaiFamily = {
    "\xE3\xA8\xB4\xD5",                          // ใจดี
    "\xC3\xD1\xA1\xC9\xD2",                      // รักษา
    "\xCA\xD8\xA2\xCA\xC7\xD1\xCA\xB4\xD4\xEC",  // สุขสวัสดิ์
    "\xC1\xD5\xB7\xC3\xD1\xBE\xC2\xEC",          // มีทรัพย์
};
const std::vector<std::string> kEnglishGiven = {"SOMCHAI", "SOMYING", "WIRAT",
                                                "BUPPHA",  "NARA",    "ORATHEP"};
const std::vector<std::string> kEnglishFamily = {"JAIDEE", "RAKSA", "SUKSAWAT", "MEESAP"};
const std::vector<std::string> kIncomeTypes = {"1", "2", "3", "4a", "5", "6"};

// A small deterministic generator, so that two runs write the same bytes.
struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  std::uint64_t below(std::uint64_t n) { return next() % n; }
};

std::string digits(std::uint64_t value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text.substr(text.size() - width);
}

std::string tomorrow() {
  using namespace std::chrono;
  const year_month_day d{floor<days>(system_clock::now()) + days{1}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(d.year()),
                static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
  return text;
}

class Writer {
 public:
  explicit Writer(const char* path) : out_(std::fopen(path, "wb")) {
    if (!out_) {
      std::perror(path);
      std::exit(2);
    }
    std::setvbuf(out_, nullptr, _IOFBF, 1 << 20);
  }
  ~Writer() {
    if (std::fclose(out_) != 0) {
      std::perror("close");
      std::exit(2);
    }
  }
  void line(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fwrite("\r\n", 1, 2, out_);
    if (std::ferror(out_)) {
      std::perror("write");
      std::exit(2);
    }
  }

 private:
  std::FILE* out_;
};

struct Options {
  const char* out = nullptr;
  long credits = 10000;
  long perDebit = 500;
  bool faulty = false;
  std::string valueDate = tomorrow();
};

[[noreturn]] void usage() {
  std::fputs(
      "usage: make_payment_file OUT --credits N [--per-debit M] [--faulty] "
      "[--value-date YYYYMMDD]\n",
      stderr);
  std::exit(2);
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage();
      return argv[++i];
    };
    if (a == "--credits")
      o.credits = std::atol(value());
    else if (a == "--per-debit")
      o.perDebit = std::atol(value());
    else if (a == "--faulty")
      o.faulty = true;
    else if (a == "--value-date")
      o.valueDate = value();
    else if (!a.empty() && a[0] != '-' && !o.out)
      o.out = argv[i];
    else
      usage();
  }
  if (!o.out || o.credits < 1 || o.perDebit < 1) usage();
  return o;
}

// The lines of one credit and its details, and the amount it adds to its debit.
struct CreditBlock {
  std::vector<std::string> lines;
  long long amount = 0;
};

std::string otherBankAccount(Random& rnd) {
  return digits(rnd.next(), 10);
}

CreditBlock makeCredit(std::string_view product, long sequence, Random& rnd, bool faulty) {
  CreditBlock block;
  const std::string seq = digits(static_cast<std::uint64_t>(sequence % 1000000), 6);
  const std::string ref = "R" + digits(static_cast<std::uint64_t>(sequence), 7);
  // 500.00 to 49,999.99 baht in whole satang; the thousandths digit is always 0.
  block.amount = (50000 + static_cast<long long>(rnd.below(4950000))) * 10;
  if (faulty) block.amount += 5;  // the thousandths digit must be 0

  CreditLine c(product);
  c.set(credit::sequence, seq);
  c.set(credit::amount, bs::test::amount16(block.amount));
  c.set(credit::internalReference, ref);
  const bool toHomeBank = c.str().substr(180, 3) == bs::homeBankCode;
  c.set(credit::account, toHomeBank ? bs::test::homeAccountWithCheckDigit(digits(rnd.next(), 9))
                                    : otherBankAccount(rnd));

  // A quarter of the credits withhold tax (one to three details), a fifth carry invoices.
  const int whtCount = rnd.below(4) == 0 ? 1 + static_cast<int>(rnd.below(3)) : 0;
  const int invoiceCount = rnd.below(5) == 0 ? 1 + static_cast<int>(rnd.below(3)) : 0;
  std::vector<long long> wht;
  long long whtTotal = 0;
  for (int k = 0; k < whtCount; ++k) {
    wht.push_back((100 + static_cast<long long>(rnd.below(100000))) * 10);
    whtTotal += wht.back();
  }
  std::vector<long long> invoices;
  long long invoiceTotal = 0;
  for (int k = 0; k < invoiceCount; ++k) {
    invoices.push_back((1000 + static_cast<long long>(rnd.below(1000000))) * 10);
    invoiceTotal += invoices.back();
  }
  if (whtCount > 0) c.withWht(whtCount, whtTotal);
  if (invoiceCount > 0) c.withInvoices(invoiceCount, invoiceTotal);
  if (faulty) {
    // Every one of these is a separate error row of the credit line.
    c.set(credit::currency, "USD");
    c.set(credit::adviceRequired, "X");
    c.set(credit::deliveryMode, "Z");
    c.set(credit::branchCode, "AB12");
    c.set(credit::notification, "Q");
    c.set(credit::sequence, "00A001");
    c.set(credit::whtPresent, "X");
    c.set(credit::invoicePresent, "X");
    c.set(credit::pickupLocation, "!!!!");
    c.set(credit::bankName, "");
  }
  block.lines.push_back(c.str());

  bs::test::PayeeFields payee;
  payee.internalReference = ref;
  payee.creditSequence = seq;
  const std::size_t g = rnd.below(kThaiGiven.size());
  const std::size_t f = rnd.below(kThaiFamily.size());
  switch (rnd.below(3)) {
    case 0:  // Thai name only
      payee.nameTh = kThaiGiven[g] + " " + kThaiFamily[f];
      payee.nameEn.clear();
      break;
    case 1:  // English name only
      payee.nameTh.clear();
      payee.nameEn = kEnglishGiven[g] + " " + kEnglishFamily[f];
      break;
    default:
      payee.nameTh = kThaiGiven[g] + " " + kThaiFamily[f];
      payee.nameEn = kEnglishGiven[g] + " " + kEnglishFamily[f];
  }
  payee.taxId = digits(rnd.next(), 10);
  if (faulty) {
    payee.taxId = "TAX-ID-XX1";
    payee.fax = "FAX-NUMBER";
    payee.idCard = "ID-CARD-NUMBER";
    payee.nameTh.clear();
    payee.nameEn.clear();
  }
  block.lines.push_back(bs::test::payeeLine(payee));

  for (int k = 0; k < whtCount; ++k) {
    bs::test::WhtFields w;
    w.internalReference = ref;
    w.creditSequence = seq;
    w.whtSequence = digits(static_cast<std::uint64_t>(k + 1), 2);
    w.whtAmount = bs::test::amount16(wht[static_cast<std::size_t>(k)]);
    w.incomeType = kIncomeTypes[static_cast<std::size_t>(k) % kIncomeTypes.size()];
    w.incomeAmount = bs::test::amount16(wht[static_cast<std::size_t>(k)] * 100 / 3 / 10 * 10);
    block.lines.push_back(bs::test::whtLine(w));
  }
  for (int k = 0; k < invoiceCount; ++k) {
    bs::test::InvoiceFields inv;
    inv.internalReference = ref;
    inv.creditSequence = seq;
    inv.invoiceSequence = digits(static_cast<std::uint64_t>(k + 1), 6);
    inv.invoiceNumber = "INV" + digits(static_cast<std::uint64_t>(sequence * 10 + k), 12);
    inv.invoiceAmount = bs::test::amount16(invoices[static_cast<std::size_t>(k)]);
    block.lines.push_back(bs::test::invoiceLine(inv));
  }
  return block;
}

// One debit with its credits; the debit line comes first, so the block is built, then written.
long long writeBatch(Writer& out, std::string_view product, long credits, long& sequence,
                     Random& rnd, const Options& o) {
  std::vector<CreditBlock> blocks;
  blocks.reserve(static_cast<std::size_t>(credits));
  long long total = 0;
  for (long k = 0; k < credits; ++k) {
    blocks.push_back(makeCredit(product, ++sequence, rnd, o.faulty));
    total += blocks.back().amount;
  }
  out.line(bs::test::debitLine(product, total, credits, o.valueDate));
  for (const auto& b : blocks)
    for (const auto& l : b.lines) out.line(l);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  Random rnd{0x9E3779B97F4A7C15ull};
  Writer out(o.out);
  out.line(bs::test::headerLine());

  long debits = 0;
  long sequence = 0;
  long long total = 0;
  long remaining = o.credits;
  // The express cheque batches, when the file is large enough for them.
  const bool express = o.credits >= 4 * kExpressCredits;
  if (express) remaining -= 2 * kExpressCredits;
  for (std::size_t p = 0; remaining > 0; ++p) {
    const long n = remaining < o.perDebit ? remaining : o.perDebit;
    const std::string_view product = kProducts[p % std::size(kProducts)];
    total += writeBatch(out, product, n, sequence, rnd, o);
    ++debits;
    remaining -= n;
  }
  if (express) {
    for (std::string_view product : bs::expressChequeProducts) {
      total += writeBatch(out, product, kExpressCredits, sequence, rnd, o);
      ++debits;
    }
  }
  out.line(bs::test::trailerLine(debits, o.credits, total));
  return 0;
}
