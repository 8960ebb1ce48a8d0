#pragma once
// Errors raised by the ledger's database engine layer.
//
// Every failure of the engine is a DbError carrying a number. Callers test
// the numbers below; the numbers follow the old desktop engine where one
// existed so that messages stay recognisable.

#include <stdexcept>
#include <string>

namespace ledger {

namespace dberr {
constexpr int kNoCurrentRow = 3021;      // no current record
constexpr int kItemNotFound = 3265;      // no item of that name in a collection
constexpr int kFileNotFound = 3024;      // the database file does not exist
constexpr int kCannotOpen = 3044;        // the path cannot be opened (folder, no access)
constexpr int kNotADatabase = 3343;      // unrecognised or damaged database format
constexpr int kNotALedger = 3078;        // table or query missing or wrong shape
constexpr int kSyntax = 3075;            // statement the engine cannot read
constexpr int kTypeMismatch = 3421;      // text a column does not accept
constexpr int kReadOnly = 3027;          // database or object is read-only
constexpr int kDiskFull = 3026;          // not enough space on disk
constexpr int kLocked = 3260;            // locked by another program
constexpr int kConstraint = 3022;        // the row breaks a rule of the table
constexpr int kRowDeleted = 3167;        // the row was deleted meanwhile
constexpr int kIo = 3043;                // disk or file system error
constexpr int kObjectExists = 3012;      // a query of that name already exists
constexpr int kTooLong = 3059;           // a statement ran past its time limit
constexpr int kChangedElsewhere = 3197; // the row changed since it was read
constexpr int kGeneral = 3000;           // any other engine failure
}  // namespace dberr

class DbError : public std::runtime_error {
 public:
  DbError(int number, const std::string& message)
      : std::runtime_error(message), m_number(number) {}
  int number() const { return m_number; }

 private:
  int m_number;
};

// Runs f and swallows a DbError only: the explicit form of "pass over a
// failing statement". Returns the number of the swallowed error, 0 if none.
template <typename F>
int passOver(F&& f) {
  try {
    f();
    return 0;
  } catch (const DbError& e) {
    return e.number();
  }
}

}  // namespace ledger
