// The header line (001): company, customer reference, file date and time, channel.  One row per
// failing field; keeps no state of its own.

#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace f = fields::header;

// Both channels are accepted, although the message names only BCM.
bool knownChannel(std::string_view field, const RecordLine&) {
  std::string_view c = trim(field);
  return c == "BCM" || c == "CNC";
}

// The file date and time are only tested as numbers: no calendar or clock check.
// clang-format off
constexpr Rule kHeaderRules[] = {
    {f::companyId, nullptr, notBlank, "This field should not be space"},
    {f::customerReference, nullptr, notBlank, "This field should not be space"},
    {f::fileDate, nullptr, number, "This field should be number"},
    {f::fileTime, nullptr, number, "This field should be number"},
    {f::channelId, nullptr, knownChannel, "This field should  be BCM"},
};
// clang-format on

}  // namespace

const std::span<const Rule> tables::header = kHeaderRules;

void checkHeaderRecord(RuleContext& context, std::string_view line, long lineNo) {
  RecordCheck(context, "001", line, lineNo).run(kHeaderRules);
}

}  // namespace bs
