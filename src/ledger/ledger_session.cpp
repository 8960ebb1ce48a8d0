#include "ledger/ledger_session.h"

#include "engine/db_error.h"
#include "engine/transaction.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_open.h"

namespace ledger {

std::string openFailureMessage(std::string_view path, std::string_view name) {
  std::string text = "There was an error in opening the database or finding the recordset.";
  text += kNewLine;
  text += "Make sure that it and the recordset exist.";
  text += kNewLine;
  text += kNewLine;
  text += "DB Path : " + std::string(path) + ".";
  text += kNewLine;
  text += "Recordset : " + std::string(name) + ".";
  return text;
}

std::string openFailureText(std::string_view path, std::string_view name, std::string_view reason) {
  std::string text = openFailureMessage(path, name);
  text += kNewLine;
  text += kNewLine;
  text += reason;
  return text;
}

std::string readFailureMessage(std::string_view path, std::string_view reason) {
  std::string text = "The ledger could not be read.";
  text += kNewLine;
  text += "DB Path : " + std::string(path) + ".";
  text += kNewLine;
  text += kNewLine;
  text += reason;
  return text;
}

// The session's connection, used again, is the one read after every
// command: its pages stay cached from then on (a ledger opened once, for a
// report, say, does not pay to fill a large cache).
void LedgerSession::keepReading(Database& db) {
  if (!m_watch || m_watch->pagesKept) return;
  db.keepPagesCached();
  m_watch->pagesKept = true;
}

bool LedgerSession::OpenLedgerTable(std::string_view name, const std::optional<std::string>& path) {
  if (path)
    m_checked.reset();  // a file named anew is read afresh
  else if (checkLedgerFile() != LedgerFileState::Unchanged)
    return false;
  const std::string file = path.value_or(LedgerPath);
  try {
    if (connectionCurrent(file)) {
      keepReading(*LedgerDatabase);
    } else {
      LedgerDatabase = openLedger(file);
      watch(file, *LedgerDatabase);
    }
    tellForeignOnce(*LedgerDatabase);
    // The source's kind and its first row in one read.
    const ReadSnapshot snapshot(*LedgerDatabase);
    CurrentRecordset = LedgerDatabase->openRecordset(name);
    // Counting a million trades reads every page of an index; the count
    // kept with the figures is read in a moment.
    if (name == "Trade")
      if (const auto trades = readKeptTradeCount(*LedgerDatabase)) CurrentRecordset->knowRecordCount(*trades);
    return true;
  } catch (const DbError& e) {
    tell(openFailureText(file, name, e.what()), MsgIcon::Critical);
    return false;
  }
}

Database LedgerSession::ledgerConnection() {
  if (connectionCurrent(LedgerPath)) {
    keepReading(*LedgerDatabase);
    return *LedgerDatabase;
  }
  Database db = openLedger(LedgerPath);
  // The first connection to the ledger starts the watch, as an open does.
  if (!m_watch || watching(LedgerPath)) {
    LedgerDatabase = db;
    watch(LedgerPath, db);
    // A ledger that cannot be written is told of before anything is tried.
    tellForeignOnce(db);
  }
  return db;
}

void LedgerSession::tell(const std::string& text, MsgIcon icon) {
  for (SessionRead* read = m_read; read; read = read->m_outer) read->m_snapshot.reset();
  m_notifier.notify(text, icon);
}

SessionRead::SessionRead(LedgerSession& session) : m_session(session), m_outer(session.m_read) {
  if (session.LedgerDatabase) m_snapshot.emplace(*session.LedgerDatabase);
  session.m_read = this;
}

SessionRead::~SessionRead() { m_session.m_read = m_outer; }

}  // namespace ledger
