#pragma once
// An import of trades, the same from the window and from the command line:
// the comma of numbers such as 1,250 settled, the plan made against the
// ledger, and the plan written in one transaction. The window and the
// command line supply only how they ask the user and what they show.

#include <functional>
#include <optional>
#include <string>

#include "engine/database.h"
#include "transfer/comma_guess.h"
#include "transfer/import_run.h"
#include "transfer/import_source.h"

namespace ledger {

class AppContext;

// How the comma of numbers such as 1,250 came to be read.
enum class CommaSettled {
  Unasked,     // no number of the mapped columns could be read either way
  ByFile,      // the file's other numbers or its delimiter say
  ByAnswer,    // the user said
  Unanswered,  // nobody said: nothing may be imported
};

struct CommaSettling {
  CommaSettled how = CommaSettled::Unasked;
  CommaGuess guess;
};

// The user's answer to whether guess.example has a decimal comma; nullopt
// where there is no one to ask.
using CommaQuestion = std::function<std::optional<bool>(const CommaGuess& guess)>;

class ImportFlow {
 public:
  // The connection each step reads and writes the ledger through: the
  // window's session's, or a new one for the command line. Throws DbError.
  using LedgerConnection = std::function<Database()>;

  ImportFlow(LedgerConnection ledger, ImportTable table) : m_ledger(std::move(ledger)), m_table(std::move(table)) {}
  // An import into the session's open ledger, which is read at once for
  // preview(); the table comes with useTable(). Throws DbError.
  explicit ImportFlow(AppContext& app);

  const ImportTable& table() const { return m_table; }
  // Another reading of the file (other delimiter, header or table); the
  // preview goes with the old one.
  void useTable(ImportTable table) {
    m_table = std::move(table);
    m_preview.reset();
  }

  // Sets options.decimalComma where the mapped numbers could be read either
  // way: as the file settles it, else as ask answers.
  CommaSettling settleComma(ImportOptions& options, const CommaQuestion& ask) const;

  // The plan against the ledger as last read: what the user sees before
  // anything is written, and what write() holds the ledger to.
  // REQUIRES: missingFields(options) is empty.
  const ImportPlan& preview(const ImportOptions& options);
  void dropPreview() { m_preview.reset(); }
  // The last preview; an empty plan when there is none.
  const ImportPlan& shownPlan() const { return m_preview ? *m_preview : kNoPlan; }

  // Plans again as the ledger stands inside one writing transaction and
  // writes that plan, all or nothing. After a preview, writes only when the
  // plan is still the preview; else LedgerChanged, with the ledger read
  // again for the next preview. Throws DbError.
  ImportRun write(const ImportOptions& options, const ImportProgress& progress = {});
  // The plan as the ledger stands, nothing written. Throws DbError.
  ImportRun tryOut(const ImportOptions& options) const;

 private:
  static inline const ImportPlan kNoPlan{};

  // Reads the ledger's companies and trades for preview(). Throws DbError.
  void readLedger();

  LedgerConnection m_ledger;
  ImportTable m_table;
  LedgerIndex m_index;
  std::optional<ImportPlan> m_preview;
};

}  // namespace ledger
