#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "store_fixture.h"

namespace bs::test {
namespace {

// Runs `check` in a child process under the ordinary user "nobody"; 0 when it held.
template <class F>
int asOrdinaryUser(F&& check) {
  pid_t pid = ::fork();
  if (pid == 0) {
    bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
    ::_exit(ok ? 0 : 1);
  }
  int status = -1;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr const char* kReportInsert =
    "Insert into ReportTable(Product,Value_Date,No_Of_Credit,Amount,dabit_Acc) Values(";

TEST_F(StoreTest, ReportTableStatementsReplaceRowsInGridOrder) {
  store->execSql("Delete From ReportTable");
  store->execSql(std::string(kReportInsert) + "'Payroll','31/01/2024',12,1500.00,'1234567890')");
  store->execSql(std::string(kReportInsert) + "'BahtNet','01/02/2024',3,1234567.89,'99')");
  store->execSql(std::string(kReportInsert) + "'Direct Debit','02/02/2024',1,0.50,'')");
  auto all = store->readAll("ReportTable.DAT");
  EXPECT_EQ(all.columns, (std::vector<std::string>{"Product", "Value_Date", "No_Of_Credit",
                                                   "Amount", "dabit_Acc"}));
  EXPECT_EQ(rows("ReportTable.DAT"),
            (std::vector<std::string>{"Payroll|31/01/2024|12|1500|1234567890",
                                      "BahtNet|01/02/2024|3|1234567.89|99",
                                      "Direct Debit|02/02/2024|1|0.5|"}));
  // A report reads a few rows at a time: those after a row's key, at most a limit of them.
  EXPECT_EQ(store->rowCount("ReportTable.DAT"), 3u);
  std::vector<long long> keys;
  std::vector<std::string> products;
  auto collect = [&](long long key, const std::vector<std::string>& row) {
    keys.push_back(key);
    products.push_back(row.at(0));
  };
  store->forEachRow("ReportTable.DAT", std::numeric_limits<long long>::min(), 0, collect);
  ASSERT_EQ(keys.size(), 3u);
  store->forEachRow("ReportTable.DAT", keys[0], 1, collect);
  EXPECT_EQ(products, (std::vector<std::string>{"Payroll", "BahtNet", "Direct Debit", "BahtNet"}));

  // A second run leaves only its own rows.
  store->execSql("Delete From ReportTable");
  store->execSql(std::string(kReportInsert) + "'Media Clearing','03/02/2024',1,10.00,'7')");
  EXPECT_EQ(rows("ReportTable.DAT"),
            (std::vector<std::string>{"Media Clearing|03/02/2024|1|10|7"}));
}

TEST_F(StoreTest, QuotedLiteralsKeepQuotesBlanksAndThaiBytes) {
  // A doubled quote arrives as one; blanks of a padded account stay; Windows-874 bytes are kept.
  const std::string account = "1234567890               ";
  const std::string thai = "\xbb\xc3\xd0\xa8\xd3";
  store->execSql(std::string(kReportInsert) + "'O''Brien " + thai + "','31/01/2024',1,1.00,'" +
                 account + "')");
  auto all = store->readAll("ReportTable.DAT");
  ASSERT_EQ(all.rows.size(), 1u);
  EXPECT_EQ(all.rows[0][0], "O'Brien " + thai);
  EXPECT_EQ(all.rows[0][4], account);
}

TEST_F(StoreTest, StatementsTheStoreRefuses) {
  struct Case {
    const char* name;
    std::string sql;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"two statements", "Delete From ReportTable; Delete From ReportTableDetail",
       "more than one statement"},
      {"zero byte", std::string("Delete From ReportTable\0 x", 25), "zero byte"},
      {"syntax", "Delete Frm ReportTable", "syntax error"},
      {"unknown table", "Delete From NoSuchTable", "no such table"},
  };
  store->execSql(std::string(kReportInsert) + "'Payroll','31/01/2024',1,1.00,'1')");
  for (const auto& c : cases) {
    std::string message = failureOf([&] { store->execSql(c.sql); });
    EXPECT_CONTAINS(message, c.message) << c.name;
    EXPECT_CONTAINS(message, data.string()) << c.name;
  }
  // None of them removed a row.
  EXPECT_EQ(rows("ReportTable.DAT").size(), 1u);
  EXPECT_TRUE(rows("ReportTableDetail.DAT").empty());
}

TEST_F(StoreTest, TableObjectAppendsEditsAndReadsByColumnName) {
  auto detail = store->openTable("ReportTableDetail.DAT");
  for (int no = 1; no <= 3; ++no) {
    detail.append();
    detail.setInteger("No", no);
    detail.setText("Credit Amount", "0000000000150.000");
    detail.setText("NameEng", std::string("Payee ") + char('0' + no));
    detail.post();
  }
  EXPECT_EQ(detail.text("NameEng"), "Payee 3");  // the row posted last is current
  detail.edit();                                 // the last row
  EXPECT_EQ(detail.text("No"), "3");
  detail.setText("nameeng", "Changed");  // names as the table spells them, in any case
  detail.post();

  auto all = store->readAll("ReportTableDetail.DAT");
  ASSERT_EQ(all.rows.size(), 3u);
  EXPECT_EQ(all.columns[3], "Credit Amount");
  std::vector<std::string> names, numbers;
  for (const auto& r : all.rows) {
    numbers.push_back(r[0]);
    names.push_back(r[2]);
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(names, (std::vector<std::string>{"Payee 1", "Payee 2", "Changed"}));
  EXPECT_EQ(all.rows[0][3], "0000000000150.000");  // a text column keeps its text
  EXPECT_EQ(all.rows[0][4], "");                   // never set

  // A table opened anew starts on its first row.
  EXPECT_EQ(store->openTable("ReportTableDetail.DAT").text("NameEng"), "Payee 1");
}

// A table object keeps the statement of its last insert and update for the next row with the
// same columns; a row with other columns, or set in another order, must still land in its own
// columns, and no value of one row may stay behind in the next.
TEST_F(StoreTest, RowsSetWithDifferentColumnsKeepEachValueInItsColumn) {
  auto detail = store->openTable("ReportTableDetail.DAT");
  auto appendRow = [&](const std::vector<std::pair<std::string, std::string>>& fields) {
    detail.append();
    for (const auto& [column, value] : fields) {
      if (column == "No")
        detail.setInteger(column, std::stoll(value));
      else
        detail.setText(column, value);
    }
    detail.post();
  };
  appendRow({{"No", "1"}, {"Product", "Payroll"}, {"NameEng", "A"}});
  appendRow({{"No", "2"}, {"CreditAccount", "111"}});
  appendRow({{"NameEng", "C"}, {"Product", "BahtNet"}, {"No", "3"}});  // another order
  appendRow({{"No", "4"}, {"Product", "Direct Credit"}, {"NameEng", ""}});
  appendRow({});
  appendRow({{"No", "6"}, {"CreditAccount", "666"}});
  // Updates of the last row with two sets of columns, one after the other.
  detail.edit();
  detail.setText("Product", "Changed");
  detail.post();
  detail.edit();
  detail.setText("dabit_Acc", "999");
  detail.post();
  EXPECT_EQ(rows("ReportTableDetail.DAT"),
            (std::vector<std::string>{"1|Payroll|A|||||||||", "2||||111|||||||",
                                      "3|BahtNet|C|||||||||", "4|Direct Credit||||||||||",
                                      "|||||||||||", "6|Changed|||666|||||||999"}));
}

// A row refused by the database leaves the kept insert ready for the rows after it, and the
// failure names the statement.
TEST_F(StoreTest, ARefusedRowLeavesTheKeptStatementUsable) {
  store->beginCommand();
  auto detail = store->openTable("ReportTableDetail.DAT");
  auto appendRow = [&](long long no, std::string_view product) {
    detail.append();
    detail.setInteger("No", no);
    detail.setText("Product", product);
    detail.post();
  };
  appendRow(1, "Payroll");
  // Changing the schema also makes SQLite prepare the kept statement again.
  store->execSql(
      "CREATE TEMP TRIGGER refuse BEFORE INSERT ON ReportTableDetail WHEN NEW.Product = 'bad' "
      "BEGIN SELECT RAISE(ABORT, 'row refused'); END");
  std::string message = failureOf([&] { appendRow(2, "bad"); });
  EXPECT_CONTAINS(message, "row refused");
  EXPECT_CONTAINS(message, "INSERT INTO \"ReportTableDetail\".\"ReportTableDetail\"(\"No\",");
  appendRow(3, "BahtNet");
  store->endCommand();
  EXPECT_EQ(rows("ReportTableDetail.DAT"),
            (std::vector<std::string>{"1|Payroll||||||||||", "3|BahtNet||||||||||"}));
}

// Kept statements and column positions belong to one connection: after the store is closed, or
// pointed at a data folder whose table has its columns in another order, rows still go where
// their names say.
TEST_F(StoreTest, KeptStatementsDoNotOutliveTheirConnection) {
  auto detail = store->openTable("ReportTableDetail.DAT");
  auto appendRow = [](TableStore::Table& table, long long no, std::string_view name) {
    table.append();
    table.setInteger("No", no);
    table.setText("NameEng", name);
    table.post();
  };
  appendRow(detail, 1, "before close");
  store->close();
  appendRow(detail, 2, "after close");
  EXPECT_EQ(rows("ReportTableDetail.DAT"),
            (std::vector<std::string>{"1||before close|||||||||", "2||after close|||||||||"}));

  TempDir otherDir;
  auto other = makeProgramFolder(otherDir) / "Data";
  {
    TableStore setUp;
    setUp.setDirectory(other);
    setUp.execSql("DROP TABLE ReportTableDetail");
    setUp.execSql(
        "CREATE TABLE ReportTableDetail.ReportTableDetail(NameEng TEXT, Extra TEXT, No INTEGER)");
  }
  store->setDirectory(other);
  appendRow(detail, 3, "other folder");
  EXPECT_EQ(rows("ReportTableDetail.DAT"), (std::vector<std::string>{"other folder||3"}));
}

TEST_F(StoreTest, EveryByteRoundTripsThroughATableObject) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  auto table = store->openTable("addAccBatchError.DAT");
  table.append();
  table.setText("ACCOUNT", bytes);
  table.setText("BENE_NAME_EN", "'); Delete From ReportTable; --");
  table.post();
  auto again = store->openTable("addAccBatchError.DAT");
  EXPECT_EQ(again.text("ACCOUNT"), bytes);
  EXPECT_EQ(again.text("BENE_NAME_EN"), "'); Delete From ReportTable; --");
  EXPECT_EQ(store->readAll("addAccBatchError.DAT").rows.at(0).at(0), bytes);
}

TEST_F(StoreTest, EmptyTableNeedsExclusiveUse) {
  auto detail = store->openTable("ReportTableDetail.DAT");
  detail.append();
  detail.setInteger("No", 1);
  detail.post();
  EXPECT_CONTAINS(failureOf([&] { detail.emptyTable(); }), "exclusively");
  EXPECT_EQ(rows("ReportTableDetail.DAT").size(), 1u);
  detail.setExclusive(true);
  detail.emptyTable();
  detail.setExclusive(false);
  EXPECT_TRUE(rows("ReportTableDetail.DAT").empty());
  // Appending goes on after emptying.
  detail.append();
  detail.setInteger("No", 7);
  detail.post();
  EXPECT_EQ(rows("ReportTableDetail.DAT").at(0).substr(0, 2), "7|");
}

TEST_F(StoreTest, MisusesOfTableObjectsAreFailuresNamingTheFile) {
  auto table = store->openTable("addAccBatchError.DAT");
  EXPECT_CONTAINS(failureOf([&] { table.setText("ACCOUNT", "1"); }), "appended or edited");
  table.append();
  std::string message = failureOf([&] { table.setText("NoSuchColumn", "1"); });
  EXPECT_CONTAINS(message, "no column \"NoSuchColumn\"");
  EXPECT_CONTAINS(message, (data / "addAccBatchError.DAT").string());
  EXPECT_CONTAINS(failureOf([&] { store->openTable("Other.DAT"); }), "Other.DAT");
  // Editing an empty table starts its first row.
  auto empty = store->openTable("ReportTableDetail.DAT");
  empty.edit();
  empty.setText("Product", "Payroll");
  empty.post();
  EXPECT_EQ(rows("ReportTableDetail.DAT").size(), 1u);
  // Rows appended many at a time name their columns and give one value for each.
  EXPECT_CONTAINS(failureOf([&] {
                    store->appendRows("ReportTableDetail.DAT", {"No", "Nope"});
                  }),
                  "ReportTableDetail.DAT\" has no column \"Nope\"");
  auto rowsOf = store->appendRows("ReportTableDetail.DAT", {"No", "Product"});
  rowsOf.integer(1);
  EXPECT_CONTAINS(failureOf([&] { rowsOf.endRow(); }), "one value per column");
}

// Rows appended many at a time are stored in order, every one of them, whether or not they fill
// the last statement; rows given after a finish() follow those before it.
TEST_F(StoreTest, RowsAppendedManyAtATimeAreStoredInOrder) {
  for (int count : {0, 1, 31, 32, 33, 64, 70}) {
    store->execSql("Delete From ReportTableDetail");
    auto appender = store->appendRows("ReportTableDetail.DAT", {"Product", "No", "NameEng"});
    std::vector<std::string> expected;
    for (int i = 1; i <= count; ++i) {
      const std::string name = std::string(static_cast<std::size_t>(i % 3), '\xA1') + "'";
      appender.text("P" + std::to_string(i));
      appender.integer(i);
      appender.text(name);
      appender.endRow();
      if (i == 40) appender.finish();
      expected.push_back(std::to_string(i) + "|P" + std::to_string(i) + "|" + name + "|||||||||");
    }
    appender.finish();
    EXPECT_EQ(rows("ReportTableDetail.DAT"), expected) << count << " rows";
  }
}

// A table file that is missing, not a database, without its table or read-only stops the first
// use of the store with a message that names the file; nothing is created.
TEST_F(StoreTest, BrokenTableFilesAreNamedInTheFailure) {
  struct Case {
    const char* name;
    const char* file;
    void (*breakIt)(const std::filesystem::path&);
    const char* message;
  };
  const std::vector<Case> cases = {
      {"missing main file", "ReportTable.DAT",
       [](const std::filesystem::path& p) { std::filesystem::remove(p); }, "does not exist"},
      {"missing attached file", "addAccBatchError.DAT",
       [](const std::filesystem::path& p) { std::filesystem::remove(p); }, "does not exist"},
      {"garbage", "ReportTableDetail.DAT",
       [](const std::filesystem::path& p) {
         writeFile(p, std::string(4096, 'x') + "not a table file");
       },
       "is damaged"},
      {"garbage main file", "ReportTable.DAT",
       [](const std::filesystem::path& p) { writeFile(p, std::string(2048, '\x55')); },
       "is damaged"},
      {"empty file", "addAccBatchError.DAT",
       [](const std::filesystem::path& p) { writeFile(p, ""); }, "holds no table addAccBatchError"},
      {"a folder", "ReportTableDetail.DAT",
       [](const std::filesystem::path& p) {
         std::filesystem::remove(p);
         std::filesystem::create_directory(p);
       },
       "not a file"},
      {"read-only", "addAccBatchError.DAT",
       [](const std::filesystem::path& p) { ::chmod(p.c_str(), 0444); }, "is read-only"},
      {"a pipe", "ReportTableDetail.DAT",
       [](const std::filesystem::path& p) {
         std::filesystem::remove(p);
         ::mkfifo(p.c_str(), 0600);
       },
       "not a file"},
      {"a link out of the program folder", "ReportTable.DAT",
       [](const std::filesystem::path& p) {
         const auto outside = p.parent_path().parent_path().parent_path() / "elsewhere.DAT";
         std::filesystem::rename(p, outside);
         std::filesystem::create_symlink(outside, p);
       },
       "outside the program folder"},
  };
  for (const auto& c : cases) {
    TempDir caseDir;
    auto folder = makeProgramFolder(caseDir) / "Data";
    c.breakIt(folder / c.file);
    auto firstFailure = [&] {
      TableStore broken;
      broken.setDirectory(folder);
      return failureOf([&] { broken.execSql("Delete From addAccBatchError"); });
    };
    std::string expectedName = "\"" + (folder / c.file).string() + "\"";
    if (std::string(c.message) == "is read-only" && ::geteuid() == 0) {
      // root may write any file: the check runs as an ordinary user, to whom only the broken
      // file is read-only.
      for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != c.file) ::chmod(entry.path().c_str(), 0666);
      EXPECT_EQ(asOrdinaryUser([&] {
                  std::string m = firstFailure();
                  return m.find(expectedName) != std::string::npos &&
                         m.find(c.message) != std::string::npos;
                }),
                0)
          << c.name;
      continue;
    }
    std::string message = firstFailure();
    EXPECT_CONTAINS(message, expectedName) << c.name;
    EXPECT_CONTAINS(message, c.message) << c.name;
    // Every use fails the same way, and no table file is made in its place.
    TableStore again;
    again.setDirectory(folder);
    EXPECT_EQ(failureOf([&] { again.openTable("ReportTable.DAT"); }), message) << c.name;
    EXPECT_EQ(failureOf([&] { again.readAll("ReportTable.DAT"); }), message) << c.name;
    if (std::string(c.message) == "does not exist") {
      EXPECT_FALSE(std::filesystem::exists(folder / c.file)) << c.name;
    }
  }
}

TEST_F(StoreTest, AStoreWithoutFolderSaysSo) {
  TableStore unset;
  EXPECT_CONTAINS(failureOf([&] { unset.readAll("ReportTable.DAT"); }), "data folder");
}

}  // namespace
}  // namespace bs::test
