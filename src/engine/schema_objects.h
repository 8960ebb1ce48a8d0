#pragma once
// The objects of a database's main schema (tables, views, indexes,
// triggers), described so that two files can be compared by the objects'
// names, kinds and column lists, never by their CREATE text; and lists of
// the objects a file is expected to hold, made by running the statements
// that make them.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "engine/schema_object.h"

namespace ledger {

// A list of objects, made by running the statements that make them on a
// private in-memory database and describing the result. So the list of the
// template is the template script itself, and cannot drift from it.
class KnownObjects {
 public:
  KnownObjects();

  // Adds what statements make: CREATE TABLE, CREATE INDEX and CREATE VIEW
  // in SQLite's dialect, one or several separated by ';'. They may refer to
  // objects added before. Throws DbError when SQLite refuses them.
  void addStatements(std::string_view sql);
  // Adds a stored query the program writes into ledgers, with its text in
  // the ledger dialect, as QueryDef stores it. Only its name and its
  // columns count, so any text that gives those columns will do.
  void addQuery(std::string_view name, std::string_view jetSql);
  // The newest file format (SQLite's user_version) the program can write;
  // a file of a newer one opens for reading only. Unlimited until set.
  void setNewestFormat(std::int64_t userVersion) { m_newestFormat = userVersion; }
  std::int64_t newestFormat() const { return m_newestFormat; }

  // The objects, in the order they were made.
  const std::vector<SchemaObject>& objects() const { return m_objects; }
  // By name, letters compared without case; nullptr when not listed.
  const SchemaObject* find(std::string_view name) const;

 private:
  friend std::vector<ForeignObject> findForeignObjectsOnce(Database&, const KnownObjects&);
  // What findForeignObjects found, by the schema it found it in; a list
  // changed by addStatements or addQuery starts afresh.
  struct Checked {
    std::mutex mutex;
    std::map<std::string, std::vector<ForeignObject>> bySchema;
  };

  Database m_db;
  std::vector<SchemaObject> m_objects;
  std::shared_ptr<Checked> m_checked = std::make_shared<Checked>();
  std::int64_t m_newestFormat = INT64_MAX;
};

// Describes every object of db's main schema. Throws DbError when the
// schema cannot be read.
std::vector<SchemaObject> describeSchema(Database& db);

// The objects of db that known does not list, or lists with another shape.
// Objects known lists and db lacks are not reported: a missing object is
// never an error. SQLite's own bookkeeping tables (sqlite_sequence,
// sqlite_stat1, sqlite_stat4) are not foreign. Throws DbError when the
// schema cannot be read.
std::vector<ForeignObject> findForeignObjects(Database& db, const KnownObjects& known);

// findForeignObjects, answered without describing the schema again when
// an earlier check saw the same schema, word for word: what the answer
// depends on (the objects, their CREATE statements, which tables are
// virtual) is all in it. Opening a ledger again, unchanged, is then cheap;
// a file whose schema changed in any way is checked afresh.
std::vector<ForeignObject> findForeignObjectsOnce(Database& db, const KnownObjects& known);

// Names of the objects known lists that db lacks.
std::vector<std::string> findMissingObjects(Database& db, const KnownObjects& known);

}  // namespace ledger
