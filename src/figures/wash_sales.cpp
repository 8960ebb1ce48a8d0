// The US wash-sale rule on FIFO lots (see gains.h). A loss is worked out
// lot by lot: each lot the sale took gets its share of the proceeds, and
// the loss on it is disallowed for as many of its shares as replacement
// shares cover. Replacements are other shares of the company bought from
// 30 days before the sale to 30 days after it, in the order bought, each
// replacing once: first the lots still held, then purchases still to come,
// which are found through the company's purchases by position and claimed
// until they come. The loss disallowed goes onto the replacement shares'
// cost; a lot that replaces in part is split, once for each sale, so that
// only the replacing shares carry it: the replacing part waits among the
// company's pieces and is sold before the rest of its lot.

#include <algorithm>

#include "figures/gains.h"

namespace ledger {

namespace {

constexpr int kCostDecimals = 4;
constexpr int kShareDecimals = 6;
constexpr int kWindowDays = 30;

}  // namespace

void GainsCalculator::indexPurchases() {
  for (Company& company : m_companies) {
    company.positions.reserve(company.purchasesLeft);
    company.nextPosition = 0;
  }
  for (std::size_t i = 0; i < m_stored.size(); ++i)
    if (m_stored[i].side == TradeSide::Buy)
      m_companies[m_stored[i].company].positions.push_back(static_cast<std::uint32_t>(i));
}

void GainsCalculator::disallowLosses(Company& company, Day day, SaleGain& sale) {
  const Day from = dayNumberPlus(day, -kWindowDays), through = dayNumberPlus(day, kWindowDays);
  // The held lots bought in the window: the last ones, the lots being in date order.
  std::size_t held = static_cast<std::size_t>(
      std::partition_point(company.lots.begin(), company.lots.end(), [from](const Lot& lot) { return lot.day < from; }) -
      company.lots.begin());
  // Sales come in date order, so the lots an earlier sale found replacing need no second look.
  if (company.replacedThrough > company.lotsTaken) held = std::max(held, company.replacedThrough - company.lotsTaken);
  // The purchases to come, from the first that is not all claimed.
  std::size_t next = std::max(company.nextPosition, company.firstUnclaimed);
  bool allClaimedSoFar = true;
  std::size_t claim = 0;                    // the claim on the purchase at next, if any
  Decimal proceedsLeft = sale.proceeds;
  const bool allTaken = sale.uncoveredShares.isZero();
  Decimal addedToHeld;  // the loss disallowed onto lots held, added up once
  // The lot at held replaces in part: its shares that replace so far and the
  // loss they carry. It is split once, when the sale's lots are all seen.
  Decimal splitShares, splitLoss;

  for (std::size_t p = 0; p < m_taken.size(); ++p) {
    const Lot& taken = m_taken[p];
    // Its part of the proceeds; the last part of a covered sale gets the rest.
    const Decimal proceeds = allTaken && p + 1 == m_taken.size()
                                 ? proceedsLeft
                                 : (sale.proceeds * taken.shares).dividedBy(sale.shares, kCostDecimals);
    proceedsLeft -= proceeds;
    const Decimal loss = taken.cost - proceeds;
    if (loss.sign() <= 0) continue;
    Decimal wanted = taken.shares, lossLeft = loss;
    // The loss that chunk replacing shares carry; the rest of it with the last.
    const auto carried = [&](const Decimal& chunk) {
      return chunk == wanted ? lossLeft : (loss * chunk).dividedBy(taken.shares, kCostDecimals);
    };

    while (wanted.sign() > 0 && held < company.lots.size()) {
      Lot& lot = company.lots[held];
      if (lot.replacement) {
        ++held;
        continue;
      }
      const Decimal free = lot.shares - splitShares;
      if (wanted < free) {
        // These shares of it replace, with all the loss left.
        splitShares += wanted;
        splitLoss += lossLeft;
        addedToHeld += lossLeft;
        wanted = Decimal();
        lossLeft = Decimal();
      } else {
        // The rest of it replaces: the whole lot does.
        const Decimal add = carried(free);
        lot.replacement = true;
        lot.cost += splitLoss + add;
        ++held;
        addedToHeld += add;
        wanted -= free;
        lossLeft -= add;
        splitShares = Decimal();
        splitLoss = Decimal();
      }
    }
    company.replacedThrough = company.lotsTaken + held;

    while (wanted.sign() > 0 && next < company.positions.size()) {
      const StoredTrade& purchase = m_stored[company.positions[next]];
      if (purchase.day > through) break;
      while (claim < company.claims.size() && company.claims[claim].position < next) ++claim;
      const bool claimed = claim < company.claims.size() && company.claims[claim].position == next;
      const Decimal free = purchase.value(StoredTrade::kQuantity, m_exact) -
                           (claimed ? company.claims[claim].shares : Decimal());
      if (free.sign() <= 0) {
        if (allClaimedSoFar) company.firstUnclaimed = next + 1;
        ++next;
        continue;
      }
      // Compared in the shares of the purchase's day.
      const auto [newShares, oldShares] = splitsBetween(company.symbol, day, purchase.day);
      const bool split = newShares != oldShares;
      const Decimal need = split ? (wanted * newShares).dividedBy(oldShares, kShareDecimals) : wanted;
      const Decimal chunk = need < free ? need : free;
      Decimal sold = chunk == need ? wanted : split ? (chunk * oldShares).dividedBy(newShares, kShareDecimals) : chunk;
      if (sold > wanted) sold = wanted;  // rounding back through a split
      const Decimal add = carried(sold);
      if (!claimed)
        company.claims.insert(company.claims.begin() + static_cast<std::ptrdiff_t>(claim),
                              Claim{purchase.day, next, chunk, add});
      else {
        company.claims[claim].shares += chunk;
        company.claims[claim].cost += add;
      }
      sale.disallowed += add;
      wanted -= sold;
      lossLeft -= add;
      if (chunk != free) {
        allClaimedSoFar = false;
      } else {
        // Later sales need not look at it again.
        if (allClaimedSoFar) company.firstUnclaimed = next + 1;
        ++next;
      }
    }
  }
  if (!splitShares.isZero()) {
    // The replacing part goes before the rest of the lot, which stays where
    // it is for the next sale's loss to look at.
    Lot& lot = company.lots[held];
    const Decimal part = (lot.cost * splitShares).dividedBy(lot.shares, kCostDecimals);
    lot.shares -= splitShares;
    lot.cost -= part;
    company.pieces.push_back({.day = lot.day, .replacement = true, .shares = splitShares, .cost = part + splitLoss});
    ++lot.pieces;
  }
  company.heldCost += addedToHeld;
  sale.disallowed += addedToHeld;
}

void GainsCalculator::holdClaimed(Company& company, Day day, const Decimal& shares, const Decimal& cost) {
  const Claim claim = company.claims.front();
  company.claims.pop_front();
  if (claim.shares >= shares) {
    // Short sales it covered first may leave fewer shares than were claimed:
    // those left carry the whole loss.
    company.lots.push_back({.day = day, .replacement = true, .shares = shares, .cost = cost + claim.cost});
  } else {
    const Decimal part = (cost * claim.shares).dividedBy(shares, kCostDecimals);
    company.lots.push_back({.day = day, .replacement = true, .shares = claim.shares, .cost = part + claim.cost});
    company.lots.push_back({.day = day, .shares = shares - claim.shares, .cost = cost - part});
  }
  company.heldShares += shares;
  company.heldCost += cost + claim.cost;
}

}  // namespace ledger
