#include "rules/records/header_rules.h"

#include <array>

#include "rules/records/record_check_table.h"

namespace bs {

namespace {

using namespace field;

// Both channels are accepted, although the message names only BCM.
bool knownChannel(std::string_view f, const RecordLine&) {
  std::string_view c = trim(f);
  return c == "BCM" || c == "CNC";
}

// The file date and time are only tested as numbers: no calendar or clock check.
constexpr std::array<FieldCheck, 5> kHeaderChecks{{
    {"Company Id", "4-15", 4, 15, everyLine, notBlank, "This field should not be space"},
    {"Customer Reference", "16-47", 16, 47, everyLine, notBlank, "This field should not be space"},
    {"Message/File Date", "48-55", 48, 55, everyLine, number, "This field should be number"},
    {"Message/File Time", "56-61", 56, 61, everyLine, number, "This field should be number"},
    {"Channel Id", "62-64", 62, 64, everyLine, knownChannel, "This field should  be BCM"},
}};

}  // namespace

void checkHeaderRecord(Session& session, std::string_view line, long lineNo) {
  runFieldChecks(session, kHeaderChecks, RecordLine{line, {}, {}}, "001", lineNo);
}

}  // namespace bs
