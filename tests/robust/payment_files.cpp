#include "payment_files.h"

#include <fstream>
#include <iterator>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace bs::test {

std::string cleanPaymentFile(std::size_t credits, std::string_view product) {
  constexpr long long kCreditAmount = 1000000;  // 1,000.000 baht, the credit builder's amount
  const long long total = kCreditAmount * static_cast<long long>(credits);
  std::string file = headerLine() + "\r\n";
  file += debitLine(product, total, static_cast<long>(credits)) + "\r\n";
  const std::string payee = payeeLine() + "\r\n";
  for (std::size_t i = 1; i <= credits; ++i) {
    CreditLine credit(product);
    credit.set(credit::notification, " ");
    file += credit.str() + "\r\n";
    file += payee;
  }
  file += trailerLine(1, static_cast<long>(credits), total) + "\r\n";
  return file;
}

WiredSession::WiredSession(const std::filesystem::path& program)
    : session(ui, ProgramPaths{program}, Clock::fixed(std::string(kToday))) {
  setUpSession(session);
  runCommand(session, FormCreate);
}

bool WiredSession::runBatch(const std::string& payment, const std::string& zip,
                            const std::string& newFile) {
  Form& f = session.form;
  f.edtFileInput.text = payment;
  f.edtZip.text = zip;
  f.rdoNew.checked = !newFile.empty();
  f.rdoReplace.checked = newFile.empty();
  f.edtNewFile.text = newFile;
  return runCommand(session, ToolButton3Click).isCompleted();
}

std::string WiredSession::lastMessage() const {
  return ui.shown.empty() ? std::string() : ui.shown.back().text;
}

std::string WiredSession::lastKind() const {
  return ui.shown.empty() ? std::string() : ui.shown.back().kind;
}

bool holds(const std::filesystem::path& path, std::string_view bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string content{std::istreambuf_iterator<char>(in), {}};
  return content == bytes;
}

}  // namespace bs::test
