#include "app/import_flow.h"

#include "app/app_context.h"

namespace ledger {

ImportFlow::ImportFlow(AppContext& app) : m_ledger([&app] { return app.session().ledgerConnection(); }) {
  readLedger();
}

CommaSettling ImportFlow::settleComma(ImportOptions& options, const CommaQuestion& ask) const {
  CommaSettling settling;
  settling.guess = guessDecimalComma(m_table.records, options, m_table.delimiter);
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

void ImportFlow::readLedger() {
  Database db = m_ledger();
  m_index = LedgerIndex::read(db);
}

const ImportPlan& ImportFlow::preview(const ImportOptions& options) {
  m_preview = planImport(m_table.records, options, m_index);
  return *m_preview;
}

ImportRun ImportFlow::write(const ImportOptions& options, const ImportProgress& progress) {
  Database db = m_ledger();
  ImportRun run = importRecords(db, m_table.records, options, m_preview ? &*m_preview : nullptr, progress);
  if (run.outcome == ImportOutcome::LedgerChanged) m_index = LedgerIndex::read(db);
  return run;
}

ImportRun ImportFlow::tryOut(const ImportOptions& options) const {
  Database db = m_ledger();
  ImportRun run;
  run.plan = planImport(m_table.records, options, LedgerIndex::read(db));
  if (run.plan.blocked()) run.outcome = ImportOutcome::Blocked;
  return run;
}

}  // namespace ledger
