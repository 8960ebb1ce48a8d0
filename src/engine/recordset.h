#pragma once
// The rows of one table or stored query, with a cursor.
//
// Cursor rules: a new recordset stands on its first row. An empty one has
// bof() and eof() both true. moveNext() from the last row sets eof() and
// leaves no current row; movePrevious() from the first row sets bof() the
// same way. moveNext() at eof(), movePrevious() at bof(), moveFirst() or
// moveLast() without rows, and reading a field without a current row throw
// DbError(kNoCurrentRow).
//
// Rows are read on demand; opening a recordset and reading its first row
// never reads the whole table.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/value.h"

namespace ledger {

namespace detail {
class RowSource;
// One row as a row source delivers it: a key that orders the rows (the
// row id of a table, the position in a stored query) and the values.
struct SourceRow {
  std::int64_t key;
  std::vector<Value> values;
};
}  // namespace detail

enum class FieldKind { Integer, Real, Date, Text };

class Recordset {
 public:
  Recordset(std::unique_ptr<detail::RowSource> source, std::string sourceName);
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // The table or stored query the rows come from, without brackets.
  const std::string& sourceName() const { return m_sourceName; }

  int fieldCount() const;
  const std::string& fieldName(int index) const;
  FieldKind fieldKind(int index) const;
  // Position of a field by name, letters compared without case; nullopt if none.
  std::optional<int> findField(std::string_view name) const;
  // Throws kItemNotFound for an unknown name.
  int fieldIndex(std::string_view name) const;

  // Value of a field of the current row.
  // Throws kNoCurrentRow, or kItemNotFound for a bad position or name.
  const Value& value(int index) const;
  const Value& value(std::string_view name) const;

  // Number of rows; 0 exactly when there are none.
  std::int64_t recordCount();
  // Gives a table's number of rows, known without counting them (a ledger
  // keeps its count of trades), so that recordCount() reads none.
  // REQUIRES: n is the table's number of rows in the read transaction the
  // recordset was opened in, and that transaction is still the one open.
  void knowRecordCount(std::int64_t n);
  bool bof() const { return m_bof; }
  bool eof() const { return m_eof; }

  void moveFirst();
  void moveLast();
  void moveNext();
  void movePrevious();
  // Moves to the row at 0-based position in the recordset's order. Returns
  // false, leaving the cursor where it was, when there is no such row. For
  // lazy grids that read pages by position.
  bool moveToPosition(std::int64_t position);

  // The 0-based position of the first row whose field (by position) equals
  // text exactly, letter case included; a Null field never matches. The
  // cursor does not move. Throws kItemNotFound for a bad field position.
  std::optional<std::int64_t> findFirst(int field, const std::string& text);

  // A key for the current row that stays valid while the recordset is
  // open; moveToBookmark goes back to it. Throws kNoCurrentRow.
  std::int64_t bookmark() const;
  // Throws kRowDeleted when that row is gone.
  void moveToBookmark(std::int64_t bookmark);

 private:
  void land(std::optional<detail::SourceRow> row);

  std::unique_ptr<detail::RowSource> m_source;
  std::string m_sourceName;
  std::optional<detail::SourceRow> m_row;
  bool m_bof = true;
  bool m_eof = true;
};

}  // namespace ledger
