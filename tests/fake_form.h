#pragma once
// An entry form made of plain strings, for the record operations.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/form_port.h"

namespace ledger::test {

class FakeForm final : public FormPort {
 public:
  FakeForm() {
    for (const char* c : {"CompanyID", "CompanySymbol", "Date", "Quantity", "Price", "Commission"}) boxes[{c, 0}];
    for (int tab : {1, 2})
      for (const char* c : {"CompanySymbol", "Date", "Quantity", "Price", "Commission"}) boxes[{c, tab}];
    boxes[{"TotalPurchase", 1}];
    boxes[{"TotalSell", 2}];
  }

  int currentTab() const override { return tab; }
  std::optional<std::string> boxText(std::string_view column, int t) const override {
    auto it = boxes.find({std::string(column), t});
    if (it == boxes.end()) return std::nullopt;
    return it->second;
  }
  bool setBoxText(std::string_view column, int t, const std::string& text) override {
    auto it = boxes.find({std::string(column), t});
    if (it == boxes.end()) return false;
    it->second = text;
    return true;
  }
  bool isBuySelected() const override { return buy; }
  bool isSellSelected() const override { return sell; }
  void selectBuy(bool b) override { buy = b, sell = !b; }
  void clearSide() override { buy = sell = false; }
  void setStatusText(const std::string& text) override { status = text; }
  std::string companySymbolText() const override { return comboText; }
  int companyListCount() const override { return static_cast<int>(list.size()); }
  std::string companyListItem(int i) const override { return list.at(static_cast<size_t>(i)); }
  void insertCompanyListItem(int i, const std::string& s) override {
    list.insert(list.begin() + std::min<size_t>(static_cast<size_t>(i), list.size()), s);
  }

  // The General tab as one line: "id|symbol|date|qty|price|commission|B or S".
  std::string general() const {
    std::string s;
    for (const char* c : {"CompanyID", "CompanySymbol", "Date", "Quantity", "Price", "Commission"})
      s += boxes.at({c, 0}) + "|";
    return s + (buy ? "B" : sell ? "S" : "-");
  }
  void fillGeneral(const std::string& id, const std::string& symbol, const std::string& date,
                   const std::string& qty, const std::string& price, const std::string& commission, bool isBuy) {
    boxes[{"CompanyID", 0}] = id;
    boxes[{"CompanySymbol", 0}] = symbol;
    boxes[{"Date", 0}] = date;
    boxes[{"Quantity", 0}] = qty;
    boxes[{"Price", 0}] = price;
    boxes[{"Commission", 0}] = commission;
    selectBuy(isBuy);
  }

  int tab = 0;
  std::map<std::pair<std::string, int>, std::string> boxes;
  bool buy = false;
  bool sell = false;
  std::string status;
  std::string comboText;
  std::vector<std::string> list;
};

}  // namespace ledger::test
