#include "figures/returns.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace ledger {

namespace {

// Places kept by shares a split changed, as the gains keep them.
constexpr int kShareDecimals = 6;

Decimal exact(const StoredNumber& n) { return n.isWhole ? Decimal::fromInt(n.whole) : Decimal::fromDouble(n.real); }

// A company's shares walked through its trades and splits in date order,
// the days observed in increasing order.
class CompanyWalk {
 public:
  // With trackNet, netInvested() follows the money put in net.
  explicit CompanyWalk(const CompanyHistory& company, bool trackNet = false)
      : m_company(company), m_trackNet(trackNet) {}

  // Applies everything dated before day, and the splits of day (a split
  // acts before the trades of its date). Returns the shares held then.
  const Decimal& startDay(CalendarDay day) {
    const auto& trades = m_company.trades;
    const auto& splits = m_company.splits;
    while (true) {
      const bool tradeNext = m_trade < trades.size() && trades[m_trade].day < day;
      const bool splitNext = m_split < splits.size() && splits[m_split].day <= day;
      if (!tradeNext && !splitNext) break;
      // A split goes before the trades of its date.
      if (splitNext && (!tradeNext || splits[m_split].day <= trades[m_trade].day))
        split(splits[m_split++]);
      else
        trade(trades[m_trade++], nullptr);
    }
    for (; m_dividend < m_company.dividends.size() && m_company.dividends[m_dividend].day < day; ++m_dividend)
      if (m_trackNet) m_net -= m_company.dividends[m_dividend].gross;
    return m_shares;
  }

  // Applies the trades of day, after startDay(day), adding their flows to
  // flows when given; returns the gross dividends of day, added the same way.
  Decimal finishDay(CalendarDay day, std::vector<ReturnFlow>* flows) {
    const auto& trades = m_company.trades;
    while (m_trade < trades.size() && trades[m_trade].day == day) trade(trades[m_trade++], flows);
    Decimal dividends;
    const auto& paid = m_company.dividends;
    for (; m_dividend < paid.size() && paid[m_dividend].day == day; ++m_dividend) {
      dividends += paid[m_dividend].gross;
      if (m_trackNet) m_net -= paid[m_dividend].gross;
      if (flows) flows->push_back({day, FlowKind::Dividend, paid[m_dividend].gross});
    }
    return dividends;
  }

  const Decimal& shares() const { return m_shares; }
  // Purchases − sales − dividends so far.
  const Decimal& netInvested() const { return m_net; }

 private:
  void trade(const HistoryTrade& t, std::vector<ReturnFlow>* flows) {
    Decimal quantity = exact(t.quantity);
    if (flows || m_trackNet) {
      const Decimal amount = quantity * exact(t.price);
      const Decimal commission = exact(t.commission);
      const ReturnFlow flow = t.side == TradeSide::Buy ? ReturnFlow{t.day, FlowKind::Purchase, amount + commission}
                                                       : ReturnFlow{t.day, FlowKind::Sale, amount - commission};
      if (m_trackNet) m_net += flow.kind == FlowKind::Purchase ? flow.amount : -flow.amount;
      if (flows) flows->push_back(flow);
    }
    if (t.side == TradeSide::Buy) {
      // A purchase first makes up what earlier sales were short of.
      if (m_missing.sign() > 0) {
        const Decimal cover = quantity < m_missing ? quantity : m_missing;
        m_missing -= cover;
        quantity -= cover;
      }
      m_shares += quantity;
    } else if (quantity <= m_shares) {
      m_shares -= quantity;
    } else {
      m_missing += quantity - m_shares;
      m_shares = Decimal();
    }
  }

  void split(const SplitStep& s) {
    const Decimal newShares = Decimal::fromInt(s.newShares), oldShares = Decimal::fromInt(s.oldShares);
    if (!m_shares.isZero()) m_shares = (m_shares * newShares).dividedBy(oldShares, kShareDecimals);
    if (!m_missing.isZero()) m_missing = (m_missing * newShares).dividedBy(oldShares, kShareDecimals);
  }

  const CompanyHistory& m_company;
  bool m_trackNet;
  std::size_t m_trade = 0, m_split = 0, m_dividend = 0;
  Decimal m_shares, m_missing, m_net;
};

// The value of shares at the end of day; none, noted as missing the first
// time, when they need a price the company lacks.
std::optional<Decimal> valueAt(const CompanyHistory& company, const Decimal& shares, CalendarDay day,
                               std::optional<CalendarDay>& firstMissing, std::optional<DatedClose>* price = nullptr) {
  if (shares.isZero()) return Decimal();
  const std::optional<SharesValue> value = valueOfShares(shares, day, company.prices, company.splits);
  if (!value) {
    if (!firstMissing || day < *firstMissing) firstMissing = day;
    return std::nullopt;
  }
  if (price) *price = value->price;
  return value->value;
}

// A company's closes looked up on days that only increase: the last one on
// or before each day, found by stepping on, its decimal made once.
class CloseCursor {
 public:
  explicit CloseCursor(const CompanyHistory& company) : m_company(company) {}

  // As valueAt.
  std::optional<Decimal> valueAt(const Decimal& shares, CalendarDay day, std::optional<CalendarDay>& firstMissing) {
    if (shares.isZero()) return Decimal();
    const std::span<const PricePoint> prices = m_company.prices;
    while (m_next < prices.size() && prices[m_next].day <= day) ++m_next;
    if (m_next == 0) {
      if (!firstMissing) firstMissing = day;
      return std::nullopt;
    }
    const std::size_t at = m_next - 1;
    for (const SplitStep& split : m_company.splits)
      if (split.day > prices[at].day && split.day <= day)
        return ledger::valueOfShares(shares, day, prices, m_company.splits)->value;
    if (at != m_closeOf) {
      m_close = prices[at].close();
      m_closeOf = at;
    }
    return shares * m_close;
  }

 private:
  const CompanyHistory& m_company;
  std::size_t m_next = 0;
  std::size_t m_closeOf = static_cast<std::size_t>(-1);
  Decimal m_close;
};

// The money-weighted rate from S, the flows and E.
void solveIrr(ReturnFigures& figures) {
  if (!figures.start.value || !figures.end.value) {
    figures.irrOutcome = RateOutcome::NotUnique;
    return;
  }
  std::vector<RateFlow> flows;
  flows.reserve(figures.flows.size() + 2);
  const auto add = [&](CalendarDay day, double amount) {
    const std::int32_t days = figures.to - day;
    if (!flows.empty() && flows.back().daysToEnd == days)
      flows.back().amount += amount;
    else
      flows.push_back({days, amount});
  };
  add(figures.from - 1, figures.start.value->toDouble());
  for (const ReturnFlow& flow : figures.flows)
    add(flow.day, flow.kind == FlowKind::Purchase ? flow.amount.toDouble() : -flow.amount.toDouble());
  add(figures.to, -figures.end.value->toDouble());
  const RateResult result = solveAnnualRate(flows);
  figures.irrOutcome = result.outcome;
  figures.irr = result.rate;
}

// The product of the pieces, when every value was had.
void finishTwr(ReturnFigures& figures) {
  if (!figures.missingPrices.empty()) return;
  double product = 1;
  bool any = false;
  for (const TwrPiece& piece : figures.twrPieces) {
    if (piece.leftOut()) continue;
    product *= piece.before.toDouble() / piece.previous.toDouble();
    any = true;
  }
  if (any) figures.twr = product - 1;
}

void sumFlows(ReturnFigures& figures) {
  for (const ReturnFlow& flow : figures.flows) {
    switch (flow.kind) {
      case FlowKind::Purchase: figures.invested += flow.amount; break;
      case FlowKind::Sale: figures.returned += flow.amount; break;
      case FlowKind::Dividend: figures.income += flow.amount; break;
    }
  }
}

ReturnFigures companyReturns(const CompanyHistory& company, CalendarDay from, CalendarDay to) {
  ReturnFigures figures;
  figures.symbol = company.symbol;
  figures.from = from;
  figures.to = to;
  std::optional<CalendarDay> firstMissing;
  CompanyWalk walk(company);

  // S: the shares at the end of the day before From.
  figures.start.day = from - 1;
  walk.startDay(from - 1);
  walk.finishDay(from - 1, nullptr);
  figures.start.shares = walk.shares();
  figures.start.value = valueAt(company, figures.start.shares, from - 1, firstMissing, &figures.start.price);

  // The days with a flow, then To.
  Decimal previous = figures.start.value.value_or(Decimal());
  const auto nextFlowDay = [&](std::size_t trade, std::size_t dividend) {
    CalendarDay next = to + 1;
    if (trade < company.trades.size()) next = std::min(next, company.trades[trade].day);
    if (dividend < company.dividends.size()) next = std::min(next, company.dividends[dividend].day);
    return next;
  };
  std::size_t trade = 0, dividend = 0;
  while (trade < company.trades.size() && company.trades[trade].day < from) ++trade;
  while (dividend < company.dividends.size() && company.dividends[dividend].day < from) ++dividend;
  bool endSeen = false;
  while (!endSeen) {
    const CalendarDay day = nextFlowDay(trade, dividend);
    const CalendarDay t = std::min(day, to);
    endSeen = t == to;
    const Decimal sharesBefore = walk.startDay(t);
    const std::size_t flowsBefore = figures.flows.size();
    const Decimal dividends = walk.finishDay(t, &figures.flows);
    for (std::size_t i = flowsBefore; i < figures.flows.size(); ++i)
      (figures.flows[i].kind == FlowKind::Dividend ? dividend : trade)++;
    const Decimal& sharesAfter = walk.shares();
    std::optional<DatedClose> price;
    const std::optional<Decimal> before = valueAt(company, sharesBefore, t, firstMissing, &price);
    const std::optional<Decimal> after = valueAt(company, sharesAfter, t, firstMissing, &price);
    TwrPiece& piece = figures.twrPieces.emplace_back();
    piece.day = t;
    piece.before = before.value_or(Decimal()) + dividends;
    piece.after = after.value_or(Decimal());
    piece.previous = previous;
    previous = piece.after;
    if (endSeen) {
      figures.end.day = to;
      figures.end.shares = sharesAfter;
      figures.end.value = after;
      if (!sharesAfter.isZero()) figures.end.price = price;
    }
  }
  if (firstMissing) figures.missingPrices.push_back({company.symbol, *firstMissing});
  sumFlows(figures);
  solveIrr(figures);
  finishTwr(figures);
  return figures;
}

// The whole ledger: its flows summed by day and kind, its values the sums of
// the companies' on every day any company has a flow, and on To.
ReturnFigures ledgerReturns(const LedgerHistory& history, const std::vector<ReturnFigures>& companies,
                            CalendarDay from, CalendarDay to) {
  ReturnFigures total;
  total.from = from;
  total.to = to;
  total.start.day = from - 1;
  total.end.day = to;
  total.start.value = Decimal();
  total.end.value = Decimal();
  std::size_t flowCount = 0;
  for (const ReturnFigures& company : companies) {
    if (total.start.value && company.start.value)
      *total.start.value += *company.start.value;
    else
      total.start.value.reset();
    if (total.end.value && company.end.value)
      *total.end.value += *company.end.value;
    else
      total.end.value.reset();
    flowCount += company.flows.size();
  }

  std::vector<CalendarDay> days;
  days.reserve(flowCount + 1);
  for (const ReturnFigures& company : companies)
    for (const ReturnFlow& flow : company.flows)
      if (days.empty() || days.back() != flow.day) days.push_back(flow.day);
  days.push_back(to);
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());

  // The flows of each day by kind.
  constexpr std::size_t kKinds = 3;
  std::vector<Decimal> flowSums(days.size() * kKinds);
  std::vector<bool> flowSeen(days.size() * kKinds);
  for (const ReturnFigures& company : companies) {
    std::size_t at = 0;
    for (const ReturnFlow& flow : company.flows) {
      while (days[at] < flow.day) ++at;
      const std::size_t slot = at * kKinds + static_cast<std::size_t>(flow.kind);
      flowSums[slot] += flow.amount;
      flowSeen[slot] = true;
    }
  }
  for (std::size_t i = 0; i < days.size(); ++i)
    for (std::size_t kind = 0; kind < kKinds; ++kind)
      if (flowSeen[i * kKinds + kind])
        total.flows.push_back({days[i], static_cast<FlowKind>(kind), flowSums[i * kKinds + kind]});

  // Each company's value before and after its flows on each of those days.
  std::vector<Decimal> before(days.size()), after(days.size());
  for (const CompanyHistory& company : history.companies) {
    std::optional<CalendarDay> firstMissing;
    CompanyWalk walk(company);
    CloseCursor closes(company);
    for (std::size_t i = 0; i < days.size(); ++i) {
      const CalendarDay t = days[i];
      const Decimal sharesBefore = walk.startDay(t);
      walk.finishDay(t, nullptr);
      if (sharesBefore.isZero() && walk.shares().isZero()) continue;
      const std::optional<Decimal> valueBefore = closes.valueAt(sharesBefore, t, firstMissing);
      if (valueBefore) before[i] += *valueBefore;
      if (walk.shares() == sharesBefore) {
        if (valueBefore) after[i] += *valueBefore;
      } else if (const std::optional<Decimal> valueAfter = closes.valueAt(walk.shares(), t, firstMissing)) {
        after[i] += *valueAfter;
      }
    }
    if (firstMissing) total.missingPrices.push_back({company.symbol, *firstMissing});
  }
  Decimal previous = total.start.value.value_or(Decimal());
  for (std::size_t i = 0; i < days.size(); ++i) {
    TwrPiece& piece = total.twrPieces.emplace_back();
    piece.day = days[i];
    piece.before = before[i] + flowSums[i * kKinds + static_cast<std::size_t>(FlowKind::Dividend)];
    piece.after = after[i];
    piece.previous = previous;
    previous = piece.after;
  }
  sumFlows(total);
  solveIrr(total);
  finishTwr(total);
  return total;
}

}  // namespace

ReturnsReport workOutReturns(const LedgerHistory& history, CalendarDay from, CalendarDay to) {
  ReturnsReport report;
  report.from = from;
  report.to = to;
  report.skipped = history.skipped;
  report.skippedEvents = history.skippedEvents;
  report.companies.reserve(history.companies.size());
  for (const CompanyHistory& company : history.companies) report.companies.push_back(companyReturns(company, from, to));
  report.total = ledgerReturns(history, report.companies, from, to);
  return report;
}

std::string percentText(double fraction) {
  const std::string text = Decimal::fromDouble(fraction * 100).toFixedString(2);
  return text == "-0.00" ? "0.00" : text;
}

std::string percentText(const std::optional<double>& fraction) {
  return fraction ? percentText(*fraction) : std::string();
}

std::vector<std::string> returnsNotes(const ReturnsReport& report) {
  GainsReport gains;
  gains.skipped = report.skipped;
  gains.skippedEvents = report.skippedEvents;
  std::vector<std::string> notes;
  std::vector<const MissingPrice*> missing;
  for (const ReturnFigures& company : report.companies)
    for (const MissingPrice& price : company.missingPrices) missing.push_back(&price);
  // The whole ledger looks at more days than each company: a company may lack a price only there.
  for (const MissingPrice& price : report.total.missingPrices)
    if (std::none_of(missing.begin(), missing.end(), [&](const MissingPrice* m) { return m->symbol == price.symbol; }))
      missing.push_back(&price);
  if (!missing.empty()) {
    notes.push_back(missing.size() == 1 ? std::string("1 company lacks a price the returns need:")
                                        : std::to_string(missing.size()) +
                                              " companies lack a price the returns need:");
    constexpr std::size_t kNamed = 5;
    for (std::size_t i = 0; i < missing.size() && i < kNamed; ++i)
      notes.push_back("  " + missing[i]->symbol + " has no price on or before " + isoDateOf(missing[i]->day) + ".");
    if (missing.size() > kNamed) notes.push_back("  and " + std::to_string(missing.size() - kNamed) + " more.");
  }
  for (std::string& note : gainsNotes(gains)) notes.push_back(std::move(note));
  return notes;
}

namespace {

// Adds company's value and money put in net at the end of each of days
// (increasing) into values and net; marks unknown the days it is held
// without a price.
void addSeries(const CompanyHistory& company, std::span<const CalendarDay> days, std::vector<Decimal>& values,
               std::vector<bool>& unknown, std::vector<Decimal>& net) {
  CompanyWalk walk(company, true);
  CloseCursor closes(company);
  std::optional<CalendarDay> firstMissing;
  for (std::size_t i = 0; i < days.size(); ++i) {
    walk.startDay(days[i]);
    walk.finishDay(days[i], nullptr);
    net[i] += walk.netInvested();
    if (const std::optional<Decimal> value = closes.valueAt(walk.shares(), days[i], firstMissing))
      values[i] += *value;
    else
      unknown[i] = true;
  }
}

ValueSeries seriesOf(std::string symbol, std::vector<CalendarDay> days,
                     const std::function<void(std::span<const CalendarDay>, std::vector<Decimal>&, std::vector<bool>&,
                                              std::vector<Decimal>&)>& add) {
  std::vector<Decimal> values(days.size()), net(days.size());
  std::vector<bool> unknown(days.size());
  add(days, values, unknown, net);
  ValueSeries series;
  series.symbol = std::move(symbol);
  series.points.reserve(days.size());
  for (std::size_t i = 0; i < days.size(); ++i)
    series.points.push_back({days[i], unknown[i] ? std::nullopt : std::optional<Decimal>(values[i]), net[i]});
  return series;
}

// The days of prices from the first trade on.
std::vector<CalendarDay> priceDaysFrom(std::span<const PricePoint> prices, CalendarDay first) {
  std::vector<CalendarDay> days;
  for (const PricePoint& price : prices)
    if (price.day >= first) days.push_back(price.day);
  return days;
}

}  // namespace

std::vector<ValueSeries> valueSeries(const LedgerHistory& history) {
  std::vector<ValueSeries> all;
  all.reserve(history.companies.size() + 1);
  std::vector<CalendarDay> ledgerDays;
  for (const CompanyHistory& company : history.companies) {
    if (company.trades.empty()) {
      all.push_back({company.symbol, {}});
      continue;
    }
    std::vector<CalendarDay> days = priceDaysFrom(company.prices, company.trades.front().day);
    all.push_back(seriesOf(company.symbol, days, [&](auto d, auto& v, auto& u, auto& n) { addSeries(company, d, v, u, n); }));
  }
  if (history.firstTradeDay) {
    for (const CompanyHistory& company : history.companies)
      for (const CalendarDay day : priceDaysFrom(company.prices, *history.firstTradeDay)) ledgerDays.push_back(day);
    std::sort(ledgerDays.begin(), ledgerDays.end());
    ledgerDays.erase(std::unique(ledgerDays.begin(), ledgerDays.end()), ledgerDays.end());
  }
  all.push_back(seriesOf({}, std::move(ledgerDays), [&](auto d, auto& v, auto& u, auto& n) {
    for (const CompanyHistory& company : history.companies) addSeries(company, d, v, u, n);
  }));
  return all;
}

}  // namespace ledger
