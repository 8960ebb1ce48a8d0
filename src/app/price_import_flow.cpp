#include "app/price_import_flow.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/prompter.h"
#include "engine/value.h"

namespace ledger {

PriceImportFlow::PriceImportFlow(LedgerConnection ledger, ImportTable table)
    : m_ledger(std::move(ledger)), m_table(std::move(table)) {
  Database db = m_ledger();
  m_index = PriceLedgerIndex::read(db);
}

PriceImportFlow::PriceImportFlow(AppContext& app)
    : PriceImportFlow([&app] { return app.session().ledgerConnection(); }, ImportTable{}) {}

PriceGuess PriceImportFlow::guess() const {
  PriceGuess guess;
  if (const CsvRecord* header = m_table.header()) guess.mapping = guessPriceMapping(*header);
  guess.dateFormats = dateFormatsOf(guess.mapping);
  return guess;
}

std::vector<DateFormat> PriceImportFlow::dateFormatsOf(const PriceMapping& mapping) const {
  if (!mapping.date) return {};
  return likeliestColumnDateFormats(m_table, *mapping.date);
}

CommaSettling PriceImportFlow::settleComma(PriceImportOptions& options, const CommaQuestion& ask) const {
  CommaSettling settling;
  settling.guess = guessDecimalComma(m_table.records, commaGuessOptions(options), m_table.delimiter);
  if (!settling.guess.ambiguous) return settling;
  std::optional<bool> decimal = settling.guess.decimalComma;
  settling.how = CommaSettled::ByFile;
  if (!decimal) {
    decimal = ask(settling.guess);
    settling.how = decimal ? CommaSettled::ByAnswer : CommaSettled::Unanswered;
  }
  if (decimal) options.decimalComma = *decimal;
  return settling;
}

std::vector<std::string> PriceImportFlow::companies() const {
  std::vector<std::string> symbols(m_index.companies.begin(), m_index.companies.end());
  std::sort(symbols.begin(), symbols.end());
  return symbols;
}

const PricePlan& PriceImportFlow::preview(const PriceImportOptions& options) {
  m_preview = planPriceImport(m_table.records, options, m_index);
  return *m_preview;
}

PriceImportRun PriceImportFlow::write(const PriceImportOptions& options) {
  Database db = m_ledger();
  PriceImportRun run = importPriceRecords(db, m_table.records, options, m_preview ? &*m_preview : nullptr);
  if (run.outcome == ImportOutcome::LedgerChanged) m_index = PriceLedgerIndex::read(db);
  return run;
}

PriceImportRun PriceImportFlow::tryOut(const PriceImportOptions& options) const {
  Database db = m_ledger();
  PriceImportRun run;
  run.plan = planPriceImport(m_table.records, options, PriceLedgerIndex::read(db));
  if (run.plan.blocked()) run.outcome = ImportOutcome::Blocked;
  return run;
}

namespace price_import_text {

namespace {

std::string columnName(const ImportTable& table, std::size_t column) {
  const CsvRecord* header = table.header();
  if (header && column < header->size()) return "\"" + (*header)[column] + "\"";
  return "column " + std::to_string(column + 1);
}

}  // namespace

std::string ambiguousDates(const ImportTable& table, std::size_t column, const std::vector<DateFormat>& formats) {
  std::string names;
  for (std::size_t i = 0; i < formats.size(); ++i)
    names += (i == 0 ? "" : i + 1 == formats.size() ? " and " : ", ") + std::string(dateFormatName(formats[i]));
  return "The dates of " + columnName(table, column) + " can be read as " + names +
         " alike; say which date format they are written in.";
}

std::string noDates(const ImportTable& table, std::size_t column) {
  return "No cell of " + columnName(table, column) + " is a date in any format the import reads.";
}

std::string commaQuestion(const CommaGuess& guess) {
  const auto reading = [&](bool decimalComma) {
    const std::optional<double> value = readAmount(guess.example, decimalComma);
    return value ? formatNumber(*value) : std::string("?");
  };
  return "The column \"" + guess.column + "\" holds numbers such as " + guess.example +
         ", and the file does not say whether its comma is a decimal comma (" + reading(true) +
         ") or a thousands separator (" + reading(false) + ")." + kNewLine + kNewLine + "Is it a decimal comma?";
}

std::string commaUnsettled(const CommaGuess& guess) {
  return "The column \"" + guess.column + "\" holds numbers such as " + guess.example +
         " whose comma may be a decimal comma or a thousands separator, and the file does not say which.";
}

std::string imported(std::size_t count) { return priceCountText(count) + (count == 1 ? " was" : " were") + " imported."; }

std::string failed(const std::string& why) {
  return "The prices could not be imported; nothing was written." + std::string(kNewLine) + kNewLine + why;
}

}  // namespace price_import_text

}  // namespace ledger
