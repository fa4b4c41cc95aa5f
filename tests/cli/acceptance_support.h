#pragma once

// Runs the built batchseal-cli on payment files in a fresh program folder and reads back its
// JSON answer.

#include <QJsonObject>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace bs::test {

// One row of the error grid, columns 1 to 7 (Record Type to Payee Name), as UTF-8.
struct GridRow {
  std::string recordType, line, column, fieldName, message, account, payeeName;
  bool operator==(const GridRow&) const = default;
};
std::ostream& operator<<(std::ostream& os, const GridRow& r);

struct Message {
  std::string kind, text, answer;
  bool operator==(const Message&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Message& m);

struct CliResult {
  int code = -1;
  QJsonObject json;
  std::string outcome() const;
  // The data rows of the grid: without the header row and the empty last row.
  std::vector<GridRow> rows() const;
  std::vector<Message> messages() const;
};

// A program folder copied from the build and a place for the payment files.
class CliWorkspace {
 public:
  CliWorkspace();
  std::filesystem::path write(const std::string& name, const std::string& bytes) const;
  std::filesystem::path path(const std::string& name) const { return dir_ / name; }
  // batchseal-cli --home HOME <command> <args...> --json
  CliResult run(const std::string& command, const std::vector<std::string>& args) const;
  CliResult check(const std::filesystem::path& input) const { return run("check", {input}); }

 private:
  TempDir dir_;
  std::filesystem::path home_;
};

}  // namespace bs::test
