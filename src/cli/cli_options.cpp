#include "cli/cli_options.h"

#include <charconv>
#include <initializer_list>

namespace bs::cli {

const char* const kUsageText =
    "usage: batchseal-cli [--home DIR] COMMAND ...\n"
    "  seal INPUT --zip ZIP [--new-file OUT] [--invalid-accounts abort|ignore|close] [--json]\n"
    "       [--errors-out FILE] [--report-pdf FILE]\n"
    "  check INPUT [--json | --explain]\n"
    "  show FILE LINE [--json]\n"
    "  fee INPUT [--invalid-accounts abort|ignore|close] [--json] [--pdf FILE]\n"
    "  verify FILE|ZIP\n"
    "batchseal-cli --version\n";

Options parse(int argc, char** argv) {
  Options o;
  std::vector<std::string> args(argv + 1, argv + argc);
  auto value = [&](std::size_t& i, const std::string& flag, std::string inlineValue,
                   bool hasInline) -> std::string {
    if (hasInline) return inlineValue;
    if (i + 1 >= args.size()) throw UsageError{flag + " needs a value"};
    return args[++i];
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    if (a.rfind("--", 0) != 0 || a == "--") {
      if (o.command.empty())
        o.command = a;
      else
        o.positional.push_back(a);
      continue;
    }
    std::string flag = a, inlineValue;
    bool hasInline = false;
    if (auto eq = a.find('='); eq != std::string::npos) {
      flag = a.substr(0, eq);
      inlineValue = a.substr(eq + 1);
      hasInline = true;
    }
    if (flag == "--json" && !hasInline) {
      o.json = true;
    } else if (flag == "--explain" && !hasInline) {
      o.explain = true;
    } else if (flag == "--help" && !hasInline) {
      o.command = "help";
    } else if (flag == "--version" && !hasInline) {
      o.command = "version";
    } else if (flag == "--home") {
      o.home = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--zip") {
      o.zip = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--new-file") {
      o.newFile = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--errors-out") {
      o.errorsOut = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--report-pdf") {
      o.reportPdf = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--pdf") {
      o.pdf = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--invalid-accounts") {
      std::string v = value(i, flag, inlineValue, hasInline);
      if (v == "abort")
        o.invalidAccounts = InvalidAccounts::Abort;
      else if (v == "ignore")
        o.invalidAccounts = InvalidAccounts::Ignore;
      else if (v == "close")
        o.invalidAccounts = InvalidAccounts::Close;
      else
        throw UsageError{"--invalid-accounts takes abort, ignore or close"};
    } else {
      throw UsageError{"unknown option " + flag};
    }
  }
  auto allow = [&](std::initializer_list<bool> forbidden, const char* what) {
    for (bool f : forbidden)
      if (f) throw UsageError{std::string("an option given is not one of ") + what};
  };
  if (o.explain && o.command != "check") throw UsageError{"--explain is an option of check"};
  if (o.command == "seal") {
    if (o.positional.size() != 1) throw UsageError{"seal takes one INPUT"};
    if (!o.zip) throw UsageError{"seal needs --zip ZIP"};
    allow({o.pdf.has_value()}, "seal's");
  } else if (o.command == "show") {
    if (o.positional.size() != 2) throw UsageError{"show takes one FILE and one LINE"};
    const std::string& n = o.positional[1];
    auto r = std::from_chars(n.data(), n.data() + n.size(), o.line);
    if (r.ec != std::errc() || r.ptr != n.data() + n.size() || o.line < 1)
      throw UsageError{"LINE is a line number from 1"};
    allow({o.zip.has_value(), o.newFile.has_value(), o.errorsOut.has_value(),
           o.reportPdf.has_value(), o.pdf.has_value()},
          "show's");
  } else if (o.command == "check") {
    if (o.positional.size() != 1) throw UsageError{"check takes one INPUT"};
    // The explanations are text under the rows; the JSON rows keep their shape.
    if (o.explain && o.json) throw UsageError{"--explain prints text; leave out --json"};
    allow({o.zip.has_value(), o.newFile.has_value(), o.errorsOut.has_value(),
           o.reportPdf.has_value(), o.pdf.has_value()},
          "check's");
  } else if (o.command == "fee") {
    if (o.positional.size() != 1) throw UsageError{"fee takes one INPUT"};
    allow({o.zip.has_value(), o.newFile.has_value(), o.errorsOut.has_value(),
           o.reportPdf.has_value()},
          "fee's");
  } else if (o.command == "verify") {
    if (o.positional.size() != 1) throw UsageError{"verify takes one FILE"};
  } else if (o.command != "help" && o.command != "version") {
    throw UsageError{o.command.empty() ? "no command given" : "unknown command " + o.command};
  }
  return o;
}

}  // namespace bs::cli
