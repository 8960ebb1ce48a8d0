#include "engine/sqlite_util.h"

#include <chrono>
#include <string>

#include "engine/db_error.h"
#include "engine/engine_settings.h"

namespace ledger::detail {

namespace {

using Clock = std::chrono::steady_clock;

// How many virtual machine steps run between two looks at the clock.
constexpr int kProgressSteps = 100000;

// The deadline of the statement running now on this thread; none (max)
// outside step() and exec(), not yet set (min) while a statement runs.
thread_local Clock::time_point t_deadline = Clock::time_point::max();
constexpr Clock::time_point kNotYetSet = Clock::time_point::min();

// The clock is read only here, once the statement has run a while: most
// steps (one row of a scan) end long before, and reading the clock for
// each of them would cost as much as the step. The limit therefore counts
// from the first look, kProgressSteps engine steps (milliseconds) in.
int stopWhenLate(void*) {
  const Clock::time_point now = Clock::now();
  if (t_deadline == kNotYetSet) t_deadline = now + engineSettings().statementTimeLimit;
  return now > t_deadline ? 1 : 0;
}

// Sets the deadline for one statement and clears it afterwards.
class Deadline {
 public:
  Deadline() : m_outer(t_deadline) {
    if (m_outer == Clock::time_point::max()) t_deadline = kNotYetSet;
  }
  ~Deadline() { t_deadline = m_outer; }
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

 private:
  Clock::time_point m_outer;
};

}  // namespace

void limitStatementTime(sqlite3* db) { sqlite3_progress_handler(db, kProgressSteps, stopWhenLate, nullptr); }

void throwSqlite(sqlite3* db, int rc, std::string_view context) {
  const std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  std::string where = context.empty() ? std::string() : std::string(context) + ": ";
  switch (rc & 0xff) {
    case SQLITE_FULL:
      throw DbError(dberr::kDiskFull, "The disk is full; the change was not written.");
    case SQLITE_READONLY:
      throw DbError(dberr::kReadOnly, "The ledger file is read-only; the change was not written.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      throw DbError(dberr::kLocked,
                    "The ledger is locked by another program; try again in a moment.");
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      throw DbError(dberr::kNotADatabase,
                    "The file is not a ledger database or it is damaged (" + detail + ").");
    case SQLITE_CANTOPEN:
      throw DbError(dberr::kCannotOpen, where + "the file cannot be opened (" + detail + ").");
    case SQLITE_IOERR:
    case SQLITE_PROTOCOL:
      throw DbError(dberr::kIo, where + "the disk could not be read or written (" + detail + ").");
    case SQLITE_CONSTRAINT:
      throw DbError(dberr::kConstraint, where + "the row breaks a rule of the table (" + detail + ").");
    case SQLITE_MISMATCH:
      throw DbError(dberr::kTypeMismatch, where + detail);
    case SQLITE_INTERRUPT:
      throw DbError(dberr::kTooLong,
                    "The ledger took too long to answer and the request was stopped; the file may be damaged.");
    case SQLITE_ERROR:
      throw DbError(dberr::kSyntax, where + detail);
    default:
      throw DbError(dberr::kGeneral, where + detail);
  }
}

namespace {

// A statement on an open ledger that cannot open a file needed a journal
// beside the ledger and the folder refused it: say so, rather than that
// the ledger itself cannot be opened.
[[noreturn]] void throwStatementFailure(sqlite3* db, int rc) {
  if ((rc & 0xff) == SQLITE_CANTOPEN || rc == SQLITE_READONLY_DIRECTORY)
    throw DbError(dberr::kReadOnly,
                  "The ledger's folder cannot be written (a change needs a journal file beside the ledger); "
                  "the change was not written.");
  throwSqlite(db, rc, "");
}

}  // namespace

StmtPtr prepare(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
  StmtPtr stmt(raw);
  if (rc != SQLITE_OK) throwSqlite(db, rc, "");
  return stmt;
}

void bindAll(sqlite3* db, sqlite3_stmt* stmt, std::span<const Value> params) {
  int i = 1;
  for (const Value& v : params) {
    int rc = SQLITE_OK;
    if (const auto* n = std::get_if<std::int64_t>(&v))
      rc = sqlite3_bind_int64(stmt, i, *n);
    else if (const auto* d = std::get_if<double>(&v))
      rc = sqlite3_bind_double(stmt, i, *d);
    else if (const auto* s = std::get_if<std::string>(&v))
      rc = sqlite3_bind_text64(stmt, i, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    else
      rc = sqlite3_bind_null(stmt, i);
    if (rc != SQLITE_OK) throwSqlite(db, rc, "");
    ++i;
  }
}

Value columnValue(sqlite3_stmt* stmt, int col) {
  switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
      return static_cast<std::int64_t>(sqlite3_column_int64(stmt, col));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt, col);
    case SQLITE_NULL:
      return std::monostate{};
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
      return std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, col)));
    }
  }
}

bool step(sqlite3* db, sqlite3_stmt* stmt) {
  Deadline deadline;
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt);
  throwStatementFailure(db, rc);
}

void exec(sqlite3* db, std::string_view sql) {
  const std::string text(sql);
  char* err = nullptr;
  Deadline deadline;
  const int rc = sqlite3_exec(db, text.c_str(), nullptr, nullptr, &err);
  sqlite3_free(err);
  if (rc != SQLITE_OK) throwStatementFailure(db, rc);
}

}  // namespace ledger::detail
