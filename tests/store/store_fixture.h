#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/failure.h"
#include "store/table_store.h"
#include "support/test_support.h"

namespace bs::test {

// A program folder with a fresh copy of the installation's table files, and a store on it.
class StoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path program = makeProgramFolder(dir);
  std::filesystem::path data = program / "Data";
  std::shared_ptr<TableStore> store = std::make_shared<TableStore>();

  StoreTest() { store->setDirectory(data); }

  // The table's rows as "a|b|c" lines, for compact comparisons.
  std::vector<std::string> rows(std::string_view file) {
    std::vector<std::string> out;
    for (const auto& row : store->readAll(file).rows) {
      std::string line;
      for (std::size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i];
      out.push_back(line);
    }
    return out;
  }
};

// The message of the Failure that `f` throws ("" when it throws none).
template <class F>
std::string failureOf(F&& f) {
  try {
    f();
  } catch (const Failure& e) {
    return e.what();
  }
  return "";
}

// Expects `needle` inside `haystack`.
#define EXPECT_CONTAINS(haystack, needle) \
  EXPECT_PRED_FORMAT2(::testing::IsSubstring, std::string(needle), std::string(haystack))

}  // namespace bs::test
