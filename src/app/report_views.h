#pragma once
// The report views, listed once: the form each is, its number on the View
// menus, the tag Refresh goes by, whether its place is kept between runs,
// and whether after a change it reads again where it stands (keeping what
// the user chose in it) rather than being made afresh. The list's order is
// the order in which views are read again.

#include <optional>

#include "app/window_state.h"

namespace ledger {

struct ReportView {
  const char* form;
  int menuIndex;
  ViewTag tag;
  bool placeKept;
  bool readsInPlace = false;
};

inline constexpr ReportView kReportViews[] = {
    {"frmDatasheet", 2, ViewTag::Datasheet, true}, {"frmHistory", 3, ViewTag::History, true},
    {"frmChart", 1, ViewTag::Chart, true},         {"frmPL", 4, ViewTag::ProfitLoss, true},
    {"frmGains", 5, ViewTag::Gains, false, true},
};

// The view on the View menus' item index, if any.
inline std::optional<ReportView> reportViewAt(int menuIndex) {
  for (const ReportView& v : kReportViews)
    if (v.menuIndex == menuIndex) return v;
  return std::nullopt;
}

// The view that Refresh reloads for tag, if any.
inline std::optional<ReportView> reportViewTagged(ViewTag tag) {
  for (const ReportView& v : kReportViews)
    if (v.tag == tag) return v;
  return std::nullopt;
}

}  // namespace ledger
