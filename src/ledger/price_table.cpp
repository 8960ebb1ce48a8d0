#include "ledger/price_table.h"

namespace ledger {

const char* const kPriceTableSchema =
    "CREATE TABLE IF NOT EXISTS Price (\n"
    "  PriceID       INTEGER PRIMARY KEY,\n"
    "  CompanySymbol TEXT NOT NULL,\n"
    "  Date          TEXT NOT NULL CHECK (Date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),\n"
    "  Close         NOT NULL CHECK (Close > 0)\n"
    ");\n"
    "CREATE UNIQUE INDEX IF NOT EXISTS PriceBySymbolDate ON Price (CompanySymbol, Date);\n";

}  // namespace ledger
