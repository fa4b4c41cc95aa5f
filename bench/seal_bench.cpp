// Times the output side of a batch run on one payment file: the notification fill, the
// normalised output with its hash line and the archive, in Replace mode.
//   seal_bench make FILE MEGABYTES   writes a payment-like file of about that size
//   seal_bench run FILE ZIP          fills, seals and archives FILE; prints the seconds taken
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/failure.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "output/hashed_output.h"
#include "output/notification_fill.h"

namespace {

std::string line(const char* type, std::size_t length) {
  std::string l(length, ' ');
  l.replace(0, 3, type);
  return l;
}

int make(const char* path, long megabytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string credit = line("003", 355);
  std::string payee = line("004", 816);
  payee.replace(17, 10, "1234567890");
  out << line("001", 96) << "\r\n" << line("002", 109) << "\r\n";
  const long target = megabytes * 1024 * 1024;
  for (long written = 0, i = 0; written < target; ++i) {
    std::string account = std::to_string(1000000000 + i);
    credit.replace(3, account.size(), account);
    credit[258] = i % 3 ? 'F' : ' ';
    credit[353] = i % 2 ? 'B' : ' ';
    out << credit << "\r\n" << payee << "\r\n";
    written += static_cast<long>(credit.size() + payee.size() + 4);
  }
  out << line("999", 31) << "\r\n";
  return out ? 0 : 1;
}

int run(const char* path, const char* zip) {
  bs::ScriptedUi ui;
  bs::Session session(ui, bs::ProgramPaths{"."}, bs::Clock::system());
  session.form.edtFileInput.text = path;
  session.form.edtZip.text = zip;
  session.state.beneChargeFlag = true;
  auto start = std::chrono::steady_clock::now();
  try {
    bs::fillNotificationFlags(session);
    bs::writeHashedOutput(session);
  } catch (const bs::Failure& f) {
    std::fprintf(stderr, "%s\n", f.what());
    return 1;
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.3f\n", took.count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "make") return make(argv[2], std::atol(argv[3]));
  if (argc == 4 && std::string(argv[1]) == "run") return run(argv[2], argv[3]);
  std::fprintf(stderr, "usage: seal_bench make FILE MEGABYTES | run FILE ZIP\n");
  return 2;
}
