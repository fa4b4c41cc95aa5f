#pragma once

#include <string_view>

#include "core/form.h"

namespace bs {

class Session;

// One row of the error list, in the grid's columns; "No." is given by the list.  Line is the
// line number (1-based); Column is "first-last".
struct ErrorRow {
  std::string_view recordType;
  long line = 0;
  std::string_view column;
  std::string_view fieldName;
  std::string_view message;
  std::string_view account;
  std::string_view payeeName;
};

// The error list as the rules and checks see it: rows appended in order, and the invalid mark.
class ErrorList {
 public:
  explicit ErrorList(Form& form) : form_(form) {}
  // The row, numbered, and the empty row after it.
  void append(const ErrorRow& row);
  // Enables the Save button and sets the status line to "Invalid data fields".
  void markInvalid();

 private:
  Form& form_;
};

// The error list: the grid in its eight-column layout.  Row 0 holds the headers, data rows start
// at row 1, and there is always exactly one empty row after the last data row.
void addError(Form& form, std::string_view recordType, std::string_view line,
              std::string_view columns, std::string_view fieldName, std::string_view message);
void addErrorWithParty(Form& form, std::string_view recordType, std::string_view line,
                       std::string_view columns, std::string_view fieldName,
                       std::string_view message, std::string_view account,
                       std::string_view payeeName);
// Clears every row but the header row and sets the grid to 2 rows and 2 columns.
void clearErrorList(Form& form);
// The error-list layout with no data rows: 2 rows, 8 columns, the headers and their widths.
void setUpErrorList(Form& form);
// Enables the Save button and sets the status line to "Invalid data fields".
void markInvalid(Form& form);

// The reporting convention of every rule that finds a fault: batchValid false, the row, then
// markInvalid.  `line` is a line number.
void reportFault(Session& session, std::string_view recordType, long line, std::string_view columns,
                 std::string_view fieldName, std::string_view message);
void reportFaultWithParty(Session& session, std::string_view recordType, long line,
                          std::string_view columns, std::string_view fieldName,
                          std::string_view message, std::string_view account,
                          std::string_view payeeName);

}  // namespace bs
