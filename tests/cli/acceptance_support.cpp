#include "acceptance_support.h"

#include <sys/wait.h>

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

namespace bs::test {

namespace {

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string text(const QJsonValue& v) {
  return v.toString().toStdString();
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const GridRow& r) {
  return os << "{" << r.recordType << " | " << r.line << " | " << r.column << " | " << r.fieldName
            << " | \"" << r.message << "\" | " << r.account << " | " << r.payeeName << "}";
}

std::ostream& operator<<(std::ostream& os, const Message& m) {
  return os << "{" << m.kind << " | \"" << m.text << "\" | " << m.answer << "}";
}

std::string CliResult::outcome() const {
  return text(json["outcome"]);
}

std::vector<GridRow> CliResult::rows() const {
  std::vector<GridRow> out;
  const QJsonArray grid = json["grid"].toArray();
  for (qsizetype r = 1; r + 1 < grid.size(); ++r) {
    const QJsonArray c = grid[r].toArray();
    out.push_back(
        {text(c[1]), text(c[2]), text(c[3]), text(c[4]), text(c[5]), text(c[6]), text(c[7])});
  }
  return out;
}

std::vector<Message> CliResult::messages() const {
  std::vector<Message> out;
  for (const QJsonValue& m : json["messages"].toArray()) {
    const QJsonObject o = m.toObject();
    out.push_back({text(o["kind"]), text(o["text"]), text(o["answer"])});
  }
  return out;
}

CliWorkspace::CliWorkspace() : home_(makeProgramFolder(dir_)) {}

std::filesystem::path CliWorkspace::write(const std::string& name, const std::string& bytes) const {
  writeFile(dir_ / name, bytes);
  return dir_ / name;
}

CliResult CliWorkspace::run(const std::string& command,
                            const std::vector<std::string>& args) const {
  std::string cmd = shellQuote(std::string(BATCHSEAL_PROGRAM_DIR) + "/batchseal-cli") + " --home " +
                    shellQuote(home_.string()) + " " + command;
  for (const auto& a : args) cmd += " " + shellQuote(a);
  cmd += " --json 2>/dev/null";
  CliResult r;
  std::string out;
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int status = ::pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  QJsonParseError err{};
  r.json = QJsonDocument::fromJson(QByteArray::fromStdString(out), &err).object();
  EXPECT_EQ(err.error, QJsonParseError::NoError) << cmd << "\n" << out;
  return r;
}

}  // namespace bs::test
