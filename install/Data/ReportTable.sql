-- One row per row of the payment summary of the last successful batch run, in grid order.
-- The counts and amounts arrive as unquoted numbers; the amount keeps its two decimals exactly
-- (up to 13 whole digits fit a double's 15 significant digits).
CREATE TABLE ReportTable (
  Product      TEXT,
  Value_Date   TEXT,
  No_Of_Credit INTEGER,
  Amount       NUMERIC,
  dabit_Acc    TEXT
);
