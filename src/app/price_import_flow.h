#pragma once
// An import of closing prices, the same from the window and from the
// command line: the columns and the date format guessed as the trade
// import guesses them, the comma of numbers such as 1,250 settled, the plan
// made against the ledger, and the plan written as one undo step. The
// texts both show are here, so the window and the command line say the
// same.

#include <optional>
#include <string>
#include <vector>

#include "app/import_flow.h"
#include "transfer/price_import_run.h"

namespace ledger {

class AppContext;

// What a file's header and dates suggest.
struct PriceGuess {
  PriceMapping mapping;
  // The formats that read the date column best: one when the dates settle
  // it, several when they fit each alike (03/04/2024), none without dates.
  std::vector<DateFormat> dateFormats;
};

class PriceImportFlow {
 public:
  using LedgerConnection = ImportFlow::LedgerConnection;

  // The ledger is read at once, for the companies and the prices held.
  // Throws DbError.
  PriceImportFlow(LedgerConnection ledger, ImportTable table);
  // An import into the session's open ledger; the table comes with
  // useTable().
  explicit PriceImportFlow(AppContext& app);

  const ImportTable& table() const { return m_table; }
  void useTable(ImportTable table) {
    m_table = std::move(table);
    m_preview.reset();
  }

  // The columns the header suggests (none without a header) and the date
  // formats the date column fits.
  PriceGuess guess() const;
  std::vector<DateFormat> dateFormatsOf(const PriceMapping& mapping) const;

  // Sets options.decimalComma where the closes could be read either way:
  // as the file settles it, else as ask answers.
  CommaSettling settleComma(PriceImportOptions& options, const CommaQuestion& ask) const;

  // The ledger's companies, sorted, for a file without a symbol column.
  std::vector<std::string> companies() const;

  // The plan against the ledger as last read. REQUIRES:
  // missingPriceFields(options) is empty.
  const PricePlan& preview(const PriceImportOptions& options);
  void dropPreview() { m_preview.reset(); }
  const PricePlan& shownPlan() const { return m_preview ? *m_preview : kNoPlan; }

  // Plans again inside one writing transaction and writes that plan, all
  // or nothing; after a preview only when the plan is still the preview.
  // Throws DbError.
  PriceImportRun write(const PriceImportOptions& options);
  // The plan as the ledger stands, nothing written. Throws DbError.
  PriceImportRun tryOut(const PriceImportOptions& options) const;

 private:
  static inline const PricePlan kNoPlan{};

  LedgerConnection m_ledger;
  ImportTable m_table;
  PriceLedgerIndex m_index;
  std::optional<PricePlan> m_preview;
};

// The texts of a price import, the window's and the command line's.
namespace price_import_text {

// A date column that fits several formats alike.
std::string ambiguousDates(const ImportTable& table, std::size_t column, const std::vector<DateFormat>& formats);
// A date column in which no format reads a date.
std::string noDates(const ImportTable& table, std::size_t column);
// The question, and the command line's refusal, for a comma the file
// leaves open.
std::string commaQuestion(const CommaGuess& guess);
std::string commaUnsettled(const CommaGuess& guess);
// "250 prices were imported."
std::string imported(std::size_t count);
std::string failed(const std::string& why);
inline constexpr const char* kNothingImported = "Nothing was imported.";
inline constexpr const char* kNothingNew = "Every price of the file is already in the ledger; nothing was written.";
inline constexpr const char* kLedgerChanged =
    "The ledger was changed since the preview (by another copy of the program, say); the preview now shows it "
    "as it is.";

}  // namespace price_import_text

}  // namespace ledger
