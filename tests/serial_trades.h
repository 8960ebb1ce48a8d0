#pragma once
// The trades that the crash and two-writer helpers save. Each is known from
// its writer and serial number alone, so a checker can tell exactly what a
// saved trade must hold and which trade a stray row would be.

#include <string>
#include <vector>

namespace ledger::test {

struct SerialTrade {
  std::string companyId, symbol, date, quantity, price, commission;
  bool buy;

  // The row as "SELECT * FROM Trade" shows it, values as display text.
  std::vector<std::string> row() const {
    return {companyId, symbol, quantity, buy ? "B" : "S", date, price, commission};
  }
};

inline SerialTrade serialTrade(int writer, long serial) {
  auto two = [](long n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return {std::to_string(writer),
          "W" + std::to_string(writer),
          "2024-" + two(1 + serial % 12) + "-" + two(1 + serial % 28),
          std::to_string(serial),
          std::to_string(serial) + ".25",
          std::to_string(writer) + ".5",
          serial % 2 == 0};
}

}  // namespace ledger::test
