#pragma once
// What the program itself makes in a ledger file, kept in one list: the
// template's tables, indexes and stored queries, the query definitions the
// views write, and the objects later features add. A ledger is compared
// with this list when it is opened, by the objects' names, kinds and column
// lists, never by their CREATE text. What else it holds was made by someone
// else and is never run (see Database::open).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace ledger {

// One object of a database's main schema, as the comparison sees it.
struct SchemaObject {
  // "table", "virtual table", "view", "index" (with "unique" and
  // "partial" in front where they apply) or "trigger".
  std::string kind;
  std::string name;
  // The table an index or trigger belongs to; empty for tables and views.
  std::string table;
  // Tables: every column, generated ones too. Views: the result columns
  // (empty when the view cannot be read). Indexes: the key columns, ""
  // for an expression. Empty for triggers and virtual tables, which are
  // never asked (asking a virtual table runs its module's code).
  std::vector<std::string> columns;
  // A view that cannot be read because a table or view it reads is not in
  // the file. A missing object is never an error, so such a view of one of
  // the program's names passes for the program's: it cannot run anything.
  bool readsMissingObject = false;

  // Same kind, table and columns (names compared without letter case, as
  // SQLite compares them).
  bool sameShapeAs(const SchemaObject& other) const;
};

// An object of a ledger that the program does not make.
struct ForeignObject {
  std::string kind;
  std::string name;
  // True when the program makes an object of that name, but not of that
  // kind or not with those columns.
  bool differs = false;

  // How the user is told of it: trigger "Wipe", view "Bought" (not as this
  // program makes it). Long names are cut, control characters shown as '?'.
  std::string describe() const;
};

// A list of objects, made by running the statements that make them on a
// private in-memory database and describing the result. So the list of the
// template is the template script itself, and cannot drift from it.
class LedgerObjects {
 public:
  LedgerObjects();

  // Adds what statements make: CREATE TABLE, CREATE INDEX and CREATE VIEW
  // in SQLite's dialect, one or several separated by ';'. They may refer to
  // objects added before. Throws DbError when SQLite refuses them.
  void addStatements(std::string_view sql);
  // Adds a stored query the program writes into ledgers, with its text in
  // the ledger dialect, as QueryDef stores it. Only its name and its
  // columns count, so any text that gives those columns will do.
  void addQuery(std::string_view name, std::string_view jetSql);

  // The objects, in the order they were made.
  const std::vector<SchemaObject>& objects() const { return m_objects; }
  // By name, letters compared without case; nullptr when not listed.
  const SchemaObject* find(std::string_view name) const;

 private:
  std::shared_ptr<sqlite3> m_db;
  std::vector<SchemaObject> m_objects;
};

// Every object the program makes in a ledger. A feature that adds a table,
// index or view to ledgers adds its statement in ledger_objects.cpp, in
// programObjects(), so that ledgers holding it open as the program's own.
const LedgerObjects& programLedgerObjects();

// The template alone (resources/ledger_schema.sql): what the master ledger
// must hold exactly.
const LedgerObjects& templateLedgerObjects();

// Describes every object of db's main schema. Throws DbError when the
// schema cannot be read.
std::vector<SchemaObject> describeSchema(sqlite3* db);

// The objects of db that known does not list, or lists with another shape.
// Objects known lists and db lacks are not reported: a missing object is
// never an error. SQLite's own bookkeeping tables (sqlite_sequence,
// sqlite_stat1, sqlite_stat4) are not foreign. Throws DbError when the
// schema cannot be read.
std::vector<ForeignObject> findForeignObjects(sqlite3* db, const LedgerObjects& known);

// Names of the objects known lists that db lacks.
std::vector<std::string> findMissingObjects(sqlite3* db, const LedgerObjects& known);

// The list for a message: one object a line, at most a few lines and a
// count of the rest.
std::string describeForeignObjects(const std::vector<ForeignObject>& objects);

}  // namespace ledger
