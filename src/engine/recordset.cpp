#include "engine/recordset.h"

#include <cctype>

#include "engine/db_error.h"
#include "engine/row_source.h"

namespace ledger {

namespace {

[[noreturn]] void noCurrentRow() {
  throw DbError(dberr::kNoCurrentRow, "No current record.");
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

Recordset::Recordset(std::unique_ptr<detail::RowSource> source, std::string sourceName)
    : m_source(std::move(source)), m_sourceName(std::move(sourceName)) {
  land(m_source->first());
  m_bof = m_eof = !m_row.has_value();
}

Recordset::~Recordset() = default;

int Recordset::fieldCount() const { return static_cast<int>(m_source->names().size()); }

const std::string& Recordset::fieldName(int index) const {
  if (index < 0 || index >= fieldCount())
    throw DbError(dberr::kItemNotFound, "Item not found in this collection.");
  return m_source->names()[static_cast<size_t>(index)];
}

FieldKind Recordset::fieldKind(int index) const {
  fieldName(index);  // checks the position
  return m_source->kinds()[static_cast<size_t>(index)];
}

std::optional<int> Recordset::findField(std::string_view name) const {
  const auto& names = m_source->names();
  for (size_t i = 0; i < names.size(); ++i)
    if (sameNameIgnoringCase(names[i], name)) return static_cast<int>(i);
  return std::nullopt;
}

int Recordset::fieldIndex(std::string_view name) const {
  if (auto i = findField(name)) return *i;
  throw DbError(dberr::kItemNotFound, "Item not found in this collection: '" + std::string(name) + "'.");
}

const Value& Recordset::value(int index) const {
  fieldName(index);
  if (!m_row) noCurrentRow();
  return m_row->values[static_cast<size_t>(index)];
}

const Value& Recordset::value(std::string_view name) const { return value(fieldIndex(name)); }

std::int64_t Recordset::recordCount() { return m_source->count(); }

void Recordset::knowRecordCount(std::int64_t n) { m_source->knowCount(n); }

void Recordset::land(std::optional<detail::SourceRow> row) {
  m_row = std::move(row);
  if (m_row) m_bof = m_eof = false;
}

void Recordset::moveFirst() {
  auto row = m_source->first();
  if (!row) noCurrentRow();
  land(std::move(row));
}

void Recordset::moveLast() {
  auto row = m_source->last();
  if (!row) noCurrentRow();
  land(std::move(row));
}

void Recordset::moveNext() {
  if (m_eof) noCurrentRow();
  land(m_row ? m_source->after(m_row->key) : m_source->first());
  if (!m_row) m_eof = true;
}

void Recordset::movePrevious() {
  if (m_bof) noCurrentRow();
  land(m_row ? m_source->before(m_row->key) : m_source->last());
  if (!m_row) m_bof = true;
}

bool Recordset::moveToPosition(std::int64_t position) {
  auto row = m_source->nth(position);
  if (!row) return false;
  land(std::move(row));
  return true;
}

std::optional<std::int64_t> Recordset::findFirst(int field, const std::string& text) {
  fieldName(field);
  return m_source->findFirst(field, text);
}

std::int64_t Recordset::bookmark() const {
  if (!m_row) noCurrentRow();
  return m_row->key;
}

void Recordset::moveToBookmark(std::int64_t bookmark) {
  auto row = m_source->at(bookmark);
  if (!row) throw DbError(dberr::kRowDeleted, "The record has been deleted.");
  land(std::move(row));
}

}  // namespace ledger
