#pragma once

#include <string>
#include <string_view>

namespace bs {

// The current credit's account and payee names: the single row of the table addAccBatchError.
// The credit rule starts it, the payee rule adds the names, and the payee, withholding-tax and
// invoice rules read it to identify their error rows.
struct CreditContext {
  std::string account;     // ACCOUNT
  std::string beneNameEn;  // BENE_NAME_EN
  std::string beneNameTh;  // BENE_NAME_TH
};

class CreditContextStore {
 public:
  virtual ~CreditContextStore() = default;
  // "Delete From addAccBatchError", then append one row with ACCOUNT = account and post it.
  virtual void reset(std::string_view account) = 0;
  // Edit the current row: set BENE_NAME_EN and BENE_NAME_TH, post it.
  virtual void writeNames(std::string_view nameEn, std::string_view nameTh) = 0;
  // The row as the table holds it (all empty when the table has no row).
  virtual CreditContext read() = 0;
};

// A context held in memory only, for tests and tools that have no table store.
class MemoryCreditContext : public CreditContextStore {
 public:
  void reset(std::string_view account) override {
    row_ = CreditContext{std::string(account), {}, {}};
  }
  void writeNames(std::string_view nameEn, std::string_view nameTh) override {
    row_.beneNameEn = nameEn;
    row_.beneNameTh = nameTh;
  }
  CreditContext read() override { return row_; }

 private:
  CreditContext row_;
};

// The current-credit row of a validation whose file may still fail its structure checks: the
// first use reads the real row (a table that cannot be read fails there, as the real one's first
// use would), the changes stay in memory, and commit() hands them to the real row.
class DeferredCreditContext : public CreditContextStore {
 public:
  explicit DeferredCreditContext(CreditContextStore& real) : real_(real) {}
  void reset(std::string_view account) override {
    touch();
    row_ = CreditContext{std::string(account), {}, {}};
    reset_ = true;
    named_ = false;
  }
  void writeNames(std::string_view nameEn, std::string_view nameTh) override {
    touch();
    row_.beneNameEn = nameEn;
    row_.beneNameTh = nameTh;
    named_ = true;
  }
  CreditContext read() override {
    touch();
    return row_;
  }
  // The real row ends as the same calls on it would have left it.
  void commit() {
    if (reset_) real_.reset(row_.account);
    if (named_) real_.writeNames(row_.beneNameEn, row_.beneNameTh);
    reset_ = named_ = false;
  }

 private:
  void touch() {
    if (touched_) return;
    row_ = real_.read();
    touched_ = true;
  }

  CreditContextStore& real_;
  CreditContext row_;
  bool touched_ = false;
  bool reset_ = false;
  bool named_ = false;
};

}  // namespace bs
