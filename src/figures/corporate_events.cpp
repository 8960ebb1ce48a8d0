#include "figures/corporate_events.h"

namespace ledger {

namespace {

void noteKind(std::vector<std::string>& notes, const std::vector<SkippedEvent>& skipped, SkippedEvent::Kind kind,
              const char* one, const char* many) {
  std::vector<const SkippedEvent*> ofKind;
  for (const SkippedEvent& event : skipped)
    if (event.kind == kind) ofKind.push_back(&event);
  if (ofKind.empty()) return;
  notes.push_back(std::to_string(ofKind.size()) + " " + (ofKind.size() == 1 ? one : many) +
                  " left out of the report:");
  // Name a few so they can be found; the rest are counted.
  constexpr std::size_t kNamed = 5;
  for (std::size_t i = 0; i < ofKind.size() && i < kNamed; ++i) {
    const SkippedEvent& e = *ofKind[i];
    notes.push_back("  " + (e.symbol.empty() ? std::string("(no symbol)") : e.symbol) + " " +
                    (e.date.empty() ? std::string("(no date)") : e.date) + ": " + e.reason + ".");
  }
  if (ofKind.size() > kNamed) notes.push_back("  and " + std::to_string(ofKind.size() - kNamed) + " more.");
}

}  // namespace

std::vector<std::string> skippedEventNotes(const std::vector<SkippedEvent>& skipped) {
  std::vector<std::string> notes;
  noteKind(notes, skipped, SkippedEvent::Kind::Split, "split is", "splits are");
  noteKind(notes, skipped, SkippedEvent::Kind::Dividend, "dividend is", "dividends are");
  return notes;
}

}  // namespace ledger
