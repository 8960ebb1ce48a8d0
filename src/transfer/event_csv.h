#pragma once
// A ledger's splits and dividends as CSV, for other programs: RFC 4180,
// UTF-8, ISO dates, numbers in plain decimal text with '.', rows ending in
// CR LF, by symbol and date.
//
//   Date,Symbol,New,Old
//   Date,Symbol,Gross,Withholding,ReinvestQuantity,ReinvestPrice
//
// (the last two empty for a dividend without shares bought).

#include <cstddef>
#include <ostream>

#include "engine/database.h"

namespace ledger {

// Each returns the rows written, the header not counted. Throws DbError as
// the engine does.
std::size_t writeSplitsCsv(Database& db, std::ostream& out);
std::size_t writeDividendsCsv(Database& db, std::ostream& out);

}  // namespace ledger
