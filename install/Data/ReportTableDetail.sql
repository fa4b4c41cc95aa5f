-- Pages of 16 KiB: each batch run replaces every row, up to some hundred thousand of them, and the
-- old pages go to the rollback journal first; a quarter as many pages is a quarter as many writes.
PRAGMA page_size = 16384;
-- One row per credit of the last successful batch run, in file order.  Every field but No holds
-- the text as it stands in the payment file (blanks and Thai bytes kept).
CREATE TABLE ReportTableDetail (
  No                INTEGER,
  Product           TEXT,
  NameEng           TEXT,
  "Credit Amount"   TEXT,
  CreditAccount     TEXT,
  TotalInvoidAmount TEXT,
  TotalWHTAmount    TEXT,
  DeliveryMode      TEXT,
  PickupLocation    TEXT,
  VATAmount         TEXT,
  Customer_Ref      TEXT,
  dabit_Acc         TEXT
);
