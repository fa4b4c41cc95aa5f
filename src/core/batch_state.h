#pragma once

#include <string>

#include "core/platform_file.h"

namespace bs {

// The answer of a message dialog.  `Closed` is a dialog closed through its frame (or with Escape
// where the dialog has no button that Escape presses); `None` is "never asked".
enum class Answer { None, Ok, Yes, No, Cancel, Abort, Ignore, Closed };

// The one record, alive as long as the program, that carries the totals, counters, flags and
// report values of a run.  Amounts are plain values of the 16-character fields (thousandths of a
// baht) held in double precision and compared for exact equality, as the bank's rules do.
struct BatchState {
  bool batchValid = false;
  int invalidAccountCount = 0;
  Answer invalidAccountAction = Answer::None;
  std::string currentProduct;  // columns 4-6 of the latest 002 or 007 line
  std::string companyId;       // columns 4-15 of the 001 line, trimmed

  double debitAmount = 0;
  long debitLine = 0;
  double creditAmountSum = 0;
  double debitAmountTotal = 0;
  long debitCount = 0;
  long creditCount = 0;
  double creditWhtTotal = 0;
  long creditLine = 0;
  double whtDetailSum = 0;

  // The two count texts survive runs: the credit rules overwrite them only when the field passes
  // isNumber, and nothing ever clears them.
  std::string creditWhtCountText;
  int creditWhtCount = 0;
  long whtRecordCount = 0;
  std::string creditInvoiceCountText;
  int creditInvoiceCount = 0;
  long invoiceRecordCount = 0;
  int declaredCreditCount = 0;
  long seenCreditCount = 0;
  bool trailerSeen = false;

  bool recordTypesValid = false;
  bool recordLengthsValid = false;
  bool faxRequired = false;
  bool whtPresent = false;
  bool reportReady = false;
  bool beneChargeFlag = false;

  std::string debitAccount;
  std::string customerRef;

  // The payment file the rows of the grid were found in, and its fingerprint just before the
  // pass that found them, so that a record shown later is known to be the one that was checked.
  std::string checkedPath;
  FileFingerprint checkedFingerprint;
  bool checkedFingerprintKnown = false;
};

}  // namespace bs
