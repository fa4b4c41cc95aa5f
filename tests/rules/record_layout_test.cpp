#include "rules/record_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "rules/record_check.h"

namespace bs {
namespace {

TEST(RecordLayout, FieldsRunInColumnOrderFromColumnOneToTheRecordsLength) {
  const std::pair<std::string_view, std::size_t> lengths[] = {
      {"001", 96},  {"002", 109}, {"003", 355}, {"004", 816}, {"005", 138},
      {"006", 196}, {"007", 300}, {"008", 200}, {"999", 31},
  };
  for (const auto& [type, length] : lengths) {
    EXPECT_FALSE(recordTypeName(type).empty()) << type;
    std::size_t next = 1;
    for (const FieldSpec& field : recordFields(type)) {
      EXPECT_EQ(field.first, next) << type << " " << field.name;
      EXPECT_LE(field.first, field.last) << type << " " << field.name;
      next = field.last + 1;
    }
    EXPECT_EQ(next - 1, length) << type;
  }
  EXPECT_TRUE(recordFields("009").empty());
  EXPECT_EQ(recordTypeName("009"), "");
}

TEST(RecordLayout, EveryRuleJudgesColumnsInsideAFieldOfItsRecord) {
  for (const RuleTable& table : ruleTables()) {
    const std::span<const FieldSpec> fields = recordFields(table.recordType);
    for (const Rule& rule : table.rules) {
      const FieldSpec& field = *rule.field.layout;
      SCOPED_TRACE(std::string(table.recordType) + " " + std::string(rule.field.name));
      EXPECT_NE(std::find(fields.begin(), fields.end(), field), fields.end());
      EXPECT_GE(rule.field.first, field.first);
      EXPECT_LE(rule.field.last, field.last);
    }
  }
}

}  // namespace
}  // namespace bs
