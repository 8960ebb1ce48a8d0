#pragma once
// One object of a database's main schema, and one a file holds that a list
// of expected objects does not (schema_objects.h compares them).

#include <string>
#include <vector>

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

}  // namespace ledger
