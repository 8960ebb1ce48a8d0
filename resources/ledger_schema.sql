-- The share ledger: tables, stored queries, indexes and the starting list
-- of companies. The build turns this script into the master ledger
-- Zuvivev.mdb; the program also carries it compiled in, so that a missing
-- master can be made again.

CREATE TABLE Trade (
  CompanyID     INTEGER,
  CompanySymbol TEXT,
  Quantity      REAL CHECK (typeof(Quantity) IN ('real', 'integer', 'null')),
  [Buy/Sell]    TEXT CHECK ([Buy/Sell] IN ('B', 'S')),
  Date          DATE CHECK (Date IS NULL OR (typeof(Date) = 'text' AND date(Date, '+0 days') IS Date)),
  Price         REAL CHECK (typeof(Price) IN ('real', 'integer', 'null')),
  Commission    REAL CHECK (typeof(Commission) IN ('real', 'integer', 'null'))
);

CREATE TABLE Companies (
  CompanyID     INTEGER PRIMARY KEY,
  CompanySymbol TEXT
);

-- Datasheet order and the per-company history.
CREATE INDEX TradeByCompanyID ON Trade (CompanyID);
CREATE INDEX TradeBySymbolAndSide ON Trade (CompanySymbol, [Buy/Sell]);

-- Purchases and sales keep the order in which the trades were entered.
-- A purchase costs quantity x price plus the commission; a sale brings in
-- quantity x price less the commission.
CREATE VIEW Bought AS
  SELECT CompanySymbol, Date, Quantity, Price, Commission,
         Quantity * Price + Commission AS TotalPurchase
  FROM Trade WHERE [Buy/Sell] = 'B' ORDER BY Trade.rowid;

CREATE VIEW Sold AS
  SELECT CompanySymbol, Date, Quantity, Price, Commission,
         Quantity * Price - Commission AS TotalSell
  FROM Trade WHERE [Buy/Sell] = 'S' ORDER BY Trade.rowid;

-- Sums over no rows are Null, and so is everything computed from them.
CREATE VIEW [Total Buy] AS
  SELECT SUM(TotalPurchase) AS [Total Buy] FROM Bought;

CREATE VIEW [Total Sell] AS
  SELECT SUM(TotalSell) AS [Total Sell] FROM Sold;

CREATE VIEW [Profit/Loss] AS
  SELECT s.[Total Sell] - b.[Total Buy] AS [Profit/Loss],
         (s.[Total Sell] - b.[Total Buy]) * 100.0 / b.[Total Buy] AS Percentage
  FROM [Total Sell] AS s, [Total Buy] AS b;

INSERT INTO Companies (CompanySymbol) VALUES
  ('AAPL'), ('MSFT'), ('IBM'), ('INTC'), ('ORCL'),
  ('KO'), ('GE'), ('XOM'), ('JNJ'), ('WMT');
