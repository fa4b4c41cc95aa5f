-- The current credit during validation: a single row with the credit's trimmed account and the
-- payee names of its payee record.  Texts have no length limit, so the 25-character account and
-- the 100-character payee names are kept whole.
CREATE TABLE addAccBatchError (
  ACCOUNT      TEXT,
  BENE_NAME_EN TEXT,
  BENE_NAME_TH TEXT
);
