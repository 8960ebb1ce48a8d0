#include "access/access_file.h"

// mdbtools.h includes <glib.h> inside its extern "C" block, which C++ does
// not accept; with glib (and iconv) included first, its include does
// nothing.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace ledger {

namespace {

struct HandleCloser {
  void operator()(MdbHandle* h) const { mdb_close(h); }
};
struct TableFreer {
  void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

// Text libmdb made with g_malloc.
std::string takeText(char* text) {
  std::string out = text ? text : "";
  g_free(text);
  return out;
}

Value numberFromText(const std::string& text) {
  double d = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
  if (ec != std::errc() || end != text.data() + text.size()) return text;
  return d;
}

// The value of col in the row libmdb has just fetched.
Value columnValue(MdbHandle* mdb, MdbColumn* col) {
  if (col->col_type == MDB_BOOL) return std::int64_t{col->cur_value_len == 0 ? 1 : 0};
  if (col->cur_value_len == 0) return std::monostate{};
  const int start = col->cur_value_start;
  unsigned char* row = mdb->pg_buf;
  switch (col->col_type) {
    case MDB_BYTE: return std::int64_t{row[start]};
    case MDB_INT: return std::int64_t{static_cast<std::int16_t>(mdb_get_int16(row, start))};
    case MDB_LONGINT:
    case MDB_COMPLEX: return std::int64_t{static_cast<std::int32_t>(mdb_get_int32(row, start))};
    case MDB_FLOAT: return static_cast<double>(mdb_get_single(row, start));
    case MDB_DOUBLE: return mdb_get_double(row, start);
    // Currency is a whole number of ten-thousandths; libmdb spells it out
    // exactly, and its text reads as the nearest double.
    case MDB_MONEY: return numberFromText(takeText(mdb_money_to_string(mdb, start)));
    case MDB_NUMERIC:
      return numberFromText(takeText(mdb_numeric_to_string(mdb, start, col->col_scale, col->col_prec)));
    case MDB_DATETIME: {
      const std::optional<std::string> text = accessDateText(mdb_get_double(row, start));
      return text ? Value(*text) : Value(std::monostate{});
    }
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_REPID:
      return takeText(mdb_col_to_string(mdb, row, start, col->col_type, col->cur_value_len));
    default: return std::monostate{};  // OLE objects and binary data have no text
  }
}

class MdbSource final : public TableSource {
 public:
  explicit MdbSource(MdbHandle* mdb) : m_mdb(mdb) {}

  std::vector<std::string> tableNames() override {
    std::vector<std::string> names;
    for (MdbCatalogEntry* entry : userTables()) names.emplace_back(entry->object_name);
    return names;
  }

  SourceTable readTable(const std::string& name) override {
    MdbCatalogEntry* found = nullptr;
    for (MdbCatalogEntry* entry : userTables())
      if (name == entry->object_name) found = entry;
    if (!found) throw SourceError("The file has no table named " + name + ".");
    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(found));
    if (!table) throw SourceError("The table " + name + " cannot be read.");
    if (!mdb_read_columns(table.get())) throw SourceError("The columns of " + name + " cannot be read.");
    SourceTable out;
    std::vector<MdbColumn*> columns;
    for (unsigned i = 0; i < table->num_cols; ++i) {
      auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
      columns.push_back(col);
      out.columns.emplace_back(col->name);
    }
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
      std::vector<Value> row;
      row.reserve(columns.size());
      for (MdbColumn* col : columns) row.push_back(columnValue(m_mdb.get(), col));
      out.rows.push_back(std::move(row));
    }
    return out;
  }

 private:
  std::vector<MdbCatalogEntry*> userTables() {
    std::vector<MdbCatalogEntry*> tables;
    GPtrArray* catalog = mdb_read_catalog(m_mdb.get(), MDB_TABLE);
    if (!catalog) throw SourceError("The list of tables cannot be read.");
    for (guint i = 0; i < catalog->len; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
      if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) tables.push_back(entry);
    }
    return tables;
  }

  std::unique_ptr<MdbHandle, HandleCloser> m_mdb;
};

// Days since 0001-01-01 of year-month-day in the proleptic Gregorian
// calendar, and back.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;  // days since 1970-01-01
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

void putDigits(std::string& out, std::int64_t value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) out.append(static_cast<std::size_t>(width) - digits.size(), '0');
  out += digits;
}

}  // namespace

std::optional<AccessFormat> accessFormatOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[0x18] = {};
  if (!in.read(head, sizeof head)) return std::nullopt;
  if (std::memcmp(head, "\x00\x01\x00\x00", 4) != 0) return std::nullopt;
  const bool jet = std::memcmp(head + 4, "Standard Jet DB\0", 16) == 0;
  const bool ace = std::memcmp(head + 4, "Standard ACE DB\0", 16) == 0;
  if (!jet && !ace) return std::nullopt;
  const auto version = static_cast<unsigned char>(head[0x14]);
  if (version == 0) return AccessFormat::Jet3;
  if (version == 1) return AccessFormat::Jet4;
  return AccessFormat::Ace;
}

const char* accessFormatName(AccessFormat format) {
  switch (format) {
    case AccessFormat::Jet3: return "Jet 3 (Access 97)";
    case AccessFormat::Jet4: return "Jet 4 (Access 2000-2003)";
    case AccessFormat::Ace: return "ACE (Access 2007 or later)";
  }
  return "";
}

std::unique_ptr<TableSource> openAccessFile(const std::string& path) {
  if (!accessFormatOf(path)) throw SourceError("The file is not in the Access format.");
  MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (!mdb) throw SourceError("The file cannot be read.");
  return std::make_unique<MdbSource>(mdb);
}

std::optional<std::string> accessDateText(double days) {
  if (!std::isfinite(days) || std::fabs(days) > 4.0e6) return std::nullopt;
  // The whole part counts days from 1899-12-30 (negative before it); the
  // fraction, whatever the sign, is the time of day after that day began.
  std::int64_t day = static_cast<std::int64_t>(std::trunc(days));
  std::int64_t seconds = std::llround(std::fabs(days - static_cast<double>(day)) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
  }
  std::int64_t y;
  unsigned m, d;
  civilFromDays(daysFromCivil(1899, 12, 30) + day, y, m, d);
  if (y < 1 || y > 9999) return std::nullopt;
  std::string text;
  putDigits(text, y, 4);
  text += '-';
  putDigits(text, m, 2);
  text += '-';
  putDigits(text, d, 2);
  if (seconds != 0) {
    text += ' ';
    putDigits(text, seconds / 3600, 2);
    text += ':';
    putDigits(text, seconds / 60 % 60, 2);
    text += ':';
    putDigits(text, seconds % 60, 2);
  }
  return text;
}

}  // namespace ledger
