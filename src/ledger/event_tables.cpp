#include "ledger/event_tables.h"

namespace ledger {

const char* const kEventTablesSchema =
    "CREATE TABLE IF NOT EXISTS Split (\n"
    "  SplitID       INTEGER PRIMARY KEY,\n"
    "  CompanySymbol TEXT NOT NULL,\n"
    "  Date          TEXT NOT NULL CHECK (Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),\n"
    "  NewShares     INTEGER NOT NULL CHECK (NewShares > 0),\n"
    "  OldShares     INTEGER NOT NULL CHECK (OldShares > 0)\n"
    ");\n"
    "CREATE UNIQUE INDEX IF NOT EXISTS SplitBySymbolDate ON Split (CompanySymbol, Date);\n"
    "CREATE TABLE IF NOT EXISTS Dividend (\n"
    "  DividendID       INTEGER PRIMARY KEY,\n"
    "  CompanySymbol    TEXT NOT NULL,\n"
    "  Date             TEXT NOT NULL CHECK (Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),\n"
    "  Gross            NOT NULL CHECK (Gross >= 0),\n"
    "  Withholding      NOT NULL DEFAULT 0 CHECK (Withholding >= 0 AND Withholding <= Gross),\n"
    "  ReinvestQuantity CHECK (ReinvestQuantity IS NULL OR ReinvestQuantity > 0),\n"
    "  ReinvestPrice    CHECK (ReinvestPrice IS NULL OR ReinvestPrice >= 0)\n"
    ");\n"
    "CREATE UNIQUE INDEX IF NOT EXISTS DividendBySymbolDate ON Dividend (CompanySymbol, Date);\n";

}  // namespace ledger
