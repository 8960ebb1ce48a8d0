#pragma once
// The trades that the crash and two-writer helpers save. Each is known from
// its writer and serial number alone, so a checker can tell exactly what a
// saved trade must hold and which trade a stray row would be.

#include <string>

#include <vector>

#include "engine/database.h"
#include "ledger/ledger_open.h"

namespace ledger::test {

struct SerialTrade {
  std::string companyId, symbol, date, quantity, price, commission;
  bool buy;

  // The row as "SELECT * FROM Trade" shows it, values as display text.
  std::vector<std::string> row() const {
    return {companyId, symbol, quantity, buy ? "B" : "S", date, price, commission};
  }
};

// Writers save under the symbols W1, W2, ... with these company numbers.
inline constexpr int kFirstWriterCompany = 100;

// Adds the writers' companies to the ledger at path, so that their saves
// find their symbols in the company list.
inline void addWriterCompanies(const std::string& path, int writers = 2) {
  Database db = openLedger(path);
  for (int w = 1; w <= writers; ++w) {
    const Value row[] = {std::int64_t{kFirstWriterCompany + w}, "W" + std::to_string(w)};
    db.execute("INSERT INTO Companies (CompanyID, CompanySymbol) VALUES (?, ?)", row);
  }
}

inline SerialTrade serialTrade(int writer, long serial) {
  auto two = [](long n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return {std::to_string(kFirstWriterCompany + writer),
          "W" + std::to_string(writer),
          "2024-" + two(1 + serial % 12) + "-" + two(1 + serial % 28),
          std::to_string(serial),
          std::to_string(serial) + ".25",
          std::to_string(writer) + ".5",
          serial % 2 == 0};
}

}  // namespace ledger::test
