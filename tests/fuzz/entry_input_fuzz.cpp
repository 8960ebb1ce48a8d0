// Feeds arbitrary text to the parsing of what the user types into the entry
// form, and saves what the General tab's reading accepts. The input's lines
// are the boxes CompanyID, CompanySymbol, Date, Quantity, Price and
// Commission; the next byte picks Buy or Sell. A broken invariant aborts.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "engine/db_error.h"
#include "fake_form.h"
#include "ledger/ledger_schema.h"
#include "ledger/ledger_session.h"
#include "ledger/ledger_writes.h"
#include "app/record_writes.h"
#include "app/trade_entry.h"
#include "engine/value.h"
#include "ledger/ledger_open.h"

namespace {

using namespace ledger;

void fail(const char* why, std::string_view text) {
  std::fprintf(stderr, "invariant broken: %s (text of %zu bytes)\n", why, text.size());
  std::abort();
}

class CountingPrompter final : public Prompter {
 public:
  MsgAnswer show(const std::string&, MsgIcon, MsgButtons buttons, const std::string&) override {
    ++shown;
    // Yes to the question whether to add a new symbol; Ok to anything else.
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
  int shown = 0;
};

// One ledger for the whole run, in memory-backed storage; each accepted
// trade is saved into it and removed again.
struct ScratchLedger {
  ScratchLedger() { writeLedgerFromSchema(path); }
  ~ScratchLedger() { std::filesystem::remove(path); }
  const std::string path = "/dev/shm/entry_input_fuzz-" + std::to_string(::getpid()) + ".mdb";
};

const std::string& ledgerPath() {
  static const ScratchLedger ledger;
  return ledger.path;
}

void checkNumber(std::string_view text) {
  const auto n = parseNumber(text);
  if (n) {
    if (!std::isfinite(*n)) fail("parseNumber gave inf or nan", text);
    // What the ledger shows must read back as the same shown number, so
    // that saving a shown trade again does not drift.
    const std::string shown = formatNumber(*n);
    const auto again = parseNumber(shown);
    if (!again || formatNumber(*again) != shown) fail("a shown number does not read back", text);
  }
  if (const auto whole = parseInteger(text)) {
    if (!n || *n != static_cast<double>(*whole)) fail("a whole number is not also a number", text);
    if (parseInteger(std::to_string(*whole)) != whole) fail("a whole number does not read back", text);
  }
}

void checkDate(std::string_view text) {
  if (isIsoDate(text) && normalizeDate(text) != std::string(text)) fail("an ISO date changed", text);
  if (const auto date = normalizeDate(text)) {
    if (!isIsoDate(*date)) fail("normalizeDate gave a text that is not an ISO date", text);
    if (normalizeDate(*date) != date) fail("normalizeDate is not stable", text);
  }
}

// An accepted General tab saves as exactly the trade that was checked,
// with the company its symbol names (a new symbol is added after one
// question); a refused one writes nothing.
void checkSave(const test::FakeForm& form) {
  const auto read = readGeneralTab(form);
  const Trade* typed = std::get_if<Trade>(&read);
  if (!typed) return;
  CountingPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = ledgerPath();
  const std::string text = form.general();
  if (!SaveRecord(session, prompter, form) || prompter.shown > 1) fail("an accepted trade was not saved", text);
  session.CurrentRecordset.reset();
  session.LedgerDatabase.reset();

  Database db = openLedger(ledgerPath());
  const std::optional<std::int64_t> company = findCompany(db, typed->symbol);
  if (!company) fail("the saved trade's company is not in the list", text);
  auto rs = db.openRecordset("Trade");
  const bool same = rs->value("CompanyID") == Value(*company) && rs->value("CompanySymbol") == Value(typed->symbol) &&
                    rs->value("Date") == Value(typed->date) && rs->value("Quantity") == Value(typed->quantity) &&
                    rs->value("Price") == Value(typed->price) && rs->value("Commission") == Value(typed->commission) &&
                    rs->value("Buy/Sell") == Value(std::string(sideCode(typed->side)));
  rs.reset();
  db.execute("DELETE FROM Trade");
  if (!same) fail("a saved trade reads back differently", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  while (lines.size() < 6) {
    const size_t end = input.find('\n');
    lines.emplace_back(input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }
  for (const std::string& line : lines) {
    checkNumber(line);
    checkDate(line);
  }
  test::FakeForm form;
  form.fillGeneral(lines[0], lines[1], lines[2], lines[3], lines[4], lines[5], input.empty() || input[0] & 1);
  try {
    checkSave(form);
  } catch (const DbError& e) {
    std::fprintf(stderr, "engine error %d: %s\n", e.number(), e.what());
    fail("saving an accepted trade failed", form.general());
  }
  return 0;
}
