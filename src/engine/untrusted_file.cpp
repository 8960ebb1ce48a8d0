#include "engine/untrusted_file.h"

#include <sqlite3.h>

#include <string>

#include "engine/db_error.h"
#include "engine/sqlite_util.h"

namespace ledger {

const std::array<EngineLimit, 11>& untrustedFileLimits() {
  static const std::array<EngineLimit, 11> limits = {{
      // A text or row of a megabyte is a thousand times the longest symbol
      // anyone types; a longer one is refused rather than copied around.
      {SQLITE_LIMIT_LENGTH, 1'000'000, "length of a text, blob or row"},
      // A history query holding a ten-thousand-letter symbol is 10 kB.
      {SQLITE_LIMIT_SQL_LENGTH, 100'000, "length of a statement"},
      {SQLITE_LIMIT_COLUMN, 100, "columns of a table, index or query"},
      // Bounds the parser's and the code generator's recursion.
      {SQLITE_LIMIT_EXPR_DEPTH, 100, "depth of an expression"},
      {SQLITE_LIMIT_COMPOUND_SELECT, 20, "terms of a compound SELECT"},
      {SQLITE_LIMIT_VDBE_OP, 50'000, "instructions of one statement"},
      {SQLITE_LIMIT_FUNCTION_ARG, 32, "arguments of a function"},
      // The program never attaches another database to a ledger's connection.
      {SQLITE_LIMIT_ATTACHED, 0, "attached databases"},
      // Long LIKE patterns are what makes LIKE slow.
      {SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 50, "length of a LIKE or GLOB pattern"},
      {SQLITE_LIMIT_VARIABLE_NUMBER, 999, "parameters of a statement"},
      {SQLITE_LIMIT_TRIGGER_DEPTH, 10, "depth of nested triggers"},
  }};
  return limits;
}

namespace {

void configure(sqlite3* db, int option, int value, const char* what) {
  int now = -1;
  const int rc = sqlite3_db_config(db, option, value, &now);
  if (rc != SQLITE_OK || now != value)
    throw DbError(dberr::kCannotOpen, std::string("The database engine refused a safety setting (") + what + ").");
}

}  // namespace

void guardAgainstUntrustedFile(sqlite3* db) {
  // No statement may change the schema behind the engine's back or write
  // the shadow tables of a virtual table.
  configure(db, SQLITE_DBCONFIG_DEFENSIVE, 1, "defensive");
  // Functions with side effects stay out of views, triggers, CHECK
  // constraints, defaults and indexes that the file brings along.
  configure(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, "trusted_schema");
  // Triggers stored in the file never fire. TEMP triggers, which live on
  // this connection only and are made by the program, still do.
  configure(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, "enable_trigger");
  // Neither the C call nor the SQL function load_extension() can load code.
  configure(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, "load_extension");
  for (const EngineLimit& limit : untrustedFileLimits()) sqlite3_limit(db, limit.id, limit.value);
  // These two pragmas neither read the schema nor touch the file: a file
  // that is not a database fails later, at its first read.
  //  - cell_size_check: a page whose cells overlap or run past its end is
  //    reported as damage when it is read, not followed.
  //  - mmap_size = 0: the file is read with read(), so another program
  //    cutting it short gives an error instead of a crash (SIGBUS).
  detail::exec(db, "PRAGMA trusted_schema = OFF; PRAGMA cell_size_check = ON; PRAGMA mmap_size = 0;");
}

}  // namespace ledger
