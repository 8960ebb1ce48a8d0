#include "engine/sql_translate.h"

#include <cctype>

#include "engine/db_error.h"
#include "engine/value.h"

namespace ledger {

namespace {

bool isWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Matches a keyword (case-insensitive) at s[i] standing as a whole word.
bool keywordAt(std::string_view s, size_t i, std::string_view word) {
  if (i + word.size() > s.size()) return false;
  if (i > 0 && isWordChar(s[i - 1])) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (std::toupper(static_cast<unsigned char>(s[i + k])) != word[k]) return false;
  return i + word.size() == s.size() || !isWordChar(s[i + word.size()]);
}

size_t skipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  return i;
}

// Copies a quoted run (string literal or bracketed name) starting at s[i]
// into out and returns the index after it. An unclosed run copies to the end.
size_t copyQuoted(std::string_view s, size_t i, std::string& out) {
  const char open = s[i];
  const char close = open == '[' ? ']' : open;
  size_t j = i + 1;
  while (j < s.size()) {
    if (s[j] == close) {
      // '' and "" inside a literal are an escaped quote, not the end.
      if (close != ']' && j + 1 < s.size() && s[j + 1] == close) {
        j += 2;
        continue;
      }
      ++j;
      out.append(s.substr(i, j - i));
      return j;
    }
    ++j;
  }
  out.append(s.substr(i));
  return s.size();
}

}  // namespace

std::string translateJetSql(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\'' || c == '"' || c == '[') {
      i = copyQuoted(s, i, out);
    } else if (c == '#') {
      const size_t end = s.find('#', i + 1);
      if (end == std::string_view::npos)
        throw DbError(dberr::kSyntax, "A date in the statement is not closed by '#'.");
      const auto date = normalizeDate(s.substr(i + 1, end - i - 1));
      if (!date)
        throw DbError(dberr::kSyntax,
                      "'" + std::string(s.substr(i + 1, end - i - 1)) + "' is not a valid date.");
      out += quoteSqlString(*date);
      i = end + 1;
    } else if (keywordAt(s, i, "DELETE")) {
      // DELETE * FROM -> DELETE FROM
      out.append(s.substr(i, 6));
      size_t j = skipBlanks(s, i + 6);
      if (j < s.size() && s[j] == '*') {
        const size_t k = skipBlanks(s, j + 1);
        if (keywordAt(s, k, "FROM")) {
          out += ' ';
          i = k;
          continue;
        }
      }
      i += 6;
    } else if (isWordChar(c)) {
      // Copy a whole word so that keywordAt never matches inside one.
      size_t j = i;
      while (j < s.size() && isWordChar(s[j])) ++j;
      out.append(s.substr(i, j - i));
      i = j;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::string quoteSqlString(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

std::string quoteSqlIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string unquoteSourceName(std::string_view source) {
  while (!source.empty() && std::isspace(static_cast<unsigned char>(source.front())))
    source.remove_prefix(1);
  while (!source.empty() && std::isspace(static_cast<unsigned char>(source.back())))
    source.remove_suffix(1);
  if (source.size() >= 2 && source.front() == '[' && source.back() == ']')
    return std::string(source.substr(1, source.size() - 2));
  if (source.size() >= 2 && (source.front() == '"' || source.front() == '`') &&
      source.back() == source.front()) {
    const char q = source.front();
    std::string out;
    for (size_t i = 1; i + 1 < source.size(); ++i) {
      out += source[i];
      if (source[i] == q && i + 2 < source.size() && source[i + 1] == q) ++i;
    }
    return out;
  }
  return std::string(source);
}

}  // namespace ledger
