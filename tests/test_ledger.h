#pragma once
// Helpers that make ledgers for tests.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/database.h"

namespace ledger::test {

// A fresh folder for a test's files, removed afterwards: under /dev/shm
// where there is one and TMPDIR is not set, else under the system's
// temporary folder.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return m_path; }
  std::string file(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

struct TradeRow {
  std::int64_t companyId;
  std::string symbol;
  double quantity;
  std::string side;  // "B" or "S"
  std::string date;
  double price;
  double commission;
};

// Makes a ledger from the schema at path and adds the trades.
void makeLedger(const std::string& path, const std::vector<TradeRow>& trades = {});
void addTrades(Database& db, const std::vector<TradeRow>& trades);

// Every row of a query, each value shown as text ("" for Null).
std::vector<std::vector<std::string>> readAll(const std::string& path, const std::string& sql);

std::string readBytes(const std::string& path);

}  // namespace ledger::test
