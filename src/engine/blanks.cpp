#include "engine/blanks.h"

namespace ledger {

std::string_view trimBlanks(std::string_view text, Blanks kind) {
  for (;;) {
    const std::size_t before = text.size();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (kind == Blanks::SpacesAndTabs) return text;
    for (const std::string_view nb : {kNoBreakSpace, kNarrowNoBreakSpace}) {
      if (text.starts_with(nb)) text.remove_prefix(nb.size());
      if (text.ends_with(nb)) text.remove_suffix(nb.size());
    }
    if (text.size() == before) return text;
  }
}

}  // namespace ledger
