#include "core/error_list.h"

#include <array>
#include <charconv>
#include <span>
#include <string>

#include "core/session.h"

namespace bs {

namespace {

struct Column {
  const char* header;
  int width;
};

constexpr std::array<Column, 8> kErrorColumns{{{"No.", 40},
                                               {"Record Type", 100},
                                               {"Line", 35},
                                               {"Column", 60},
                                               {"Field Name", 150},
                                               {"Message", 550},
                                               {"Account", 75},
                                               {"Payee Name", 600}}};

// Fills the last row, numbered, and adds the empty row after it.  `cells[0]` is the number's.
void appendRow(Form& form, std::span<std::string_view> cells) {
  Grid& grid = form.StringGrid1;
  int r = grid.rowCount() - 1;
  char number[16];
  auto end = std::to_chars(number, number + sizeof number, r).ptr;
  cells[0] = std::string_view(number, static_cast<std::size_t>(end - number));
  grid.setCells(r, std::span<const std::string_view>(cells));
  grid.setRowCount(grid.rowCount() + 1);
}

}  // namespace

void addError(Form& form, std::string_view recordType, std::string_view line,
              std::string_view columns, std::string_view fieldName, std::string_view message) {
  std::string_view cells[] = {{}, recordType, line, columns, fieldName, message};
  appendRow(form, cells);
}

void addErrorWithParty(Form& form, std::string_view recordType, std::string_view line,
                       std::string_view columns, std::string_view fieldName,
                       std::string_view message, std::string_view account,
                       std::string_view payeeName) {
  std::string_view cells[] = {{},        recordType, line,    columns,
                              fieldName, message,    account, payeeName};
  appendRow(form, cells);
}

void ErrorList::append(const ErrorRow& row) {
  char number[24];
  auto end = std::to_chars(number, number + sizeof number, row.line).ptr;
  std::string_view cells[] = {
      {},          row.recordType, std::string_view(number, static_cast<std::size_t>(end - number)),
      row.column,  row.fieldName,  row.message,
      row.account, row.payeeName};
  appendRow(form_, cells);
}

void ErrorList::markInvalid() {
  bs::markInvalid(form_);
}

void clearErrorList(Form& form) {
  Grid& grid = form.StringGrid1;
  for (int r = 1; r < grid.rowCount(); ++r) grid.clearRow(r);
  grid.setRowCount(2);
  grid.setColCount(2);
}

void setUpErrorList(Form& form) {
  Grid& grid = form.StringGrid1;
  grid.setRowCount(2);
  grid.setColCount(static_cast<int>(kErrorColumns.size()));
  for (std::size_t c = 0; c < kErrorColumns.size(); ++c) {
    grid.setCell(static_cast<int>(c), 0, kErrorColumns[c].header);
    grid.setColWidth(static_cast<int>(c), kErrorColumns[c].width);
  }
}

void markInvalid(Form& form) {
  form.btnSaveError.enabled = true;
  form.Label4.caption = "Invalid data fields";
}

void reportFault(Session& session, std::string_view recordType, long line, std::string_view columns,
                 std::string_view fieldName, std::string_view message) {
  session.state.batchValid = false;
  char number[24];
  auto end = std::to_chars(number, number + sizeof number, line).ptr;
  addError(session.form, recordType,
           std::string_view(number, static_cast<std::size_t>(end - number)), columns, fieldName,
           message);
  markInvalid(session.form);
}

void reportFaultWithParty(Session& session, std::string_view recordType, long line,
                          std::string_view columns, std::string_view fieldName,
                          std::string_view message, std::string_view account,
                          std::string_view payeeName) {
  session.state.batchValid = false;
  char number[24];
  auto end = std::to_chars(number, number + sizeof number, line).ptr;
  addErrorWithParty(session.form, recordType,
                    std::string_view(number, static_cast<std::size_t>(end - number)), columns,
                    fieldName, message, account, payeeName);
  markInvalid(session.form);
}

}  // namespace bs
