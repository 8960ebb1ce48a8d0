#include "transfer/column_names.h"

#include <algorithm>
#include <cctype>

namespace ledger {

std::string squeezedName(std::string_view name) {
  std::string out;
  for (const char c : name)
    if (std::isalnum(static_cast<unsigned char>(c))) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string lowerCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

}  // namespace ledger
