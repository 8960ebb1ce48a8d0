#pragma once
// The entry form's boxes as plain strings holding one new trade, and a
// prompter that no benchmark expects to be asked: what the cases that save
// through the record operations pass in.

#include <benchmark/benchmark.h>

#include <map>
#include <stdexcept>
#include <string>

#include "app/form_port.h"
#include "app/prompter.h"

namespace ledger::bench {

class BenchForm final : public FormPort {
 public:
  BenchForm() {
    m_boxes = {{"CompanyID", "3"},   {"CompanySymbol", "IBM"}, {"Date", "2024-05-17"},
               {"Quantity", "250"},  {"Price", "131.45"},      {"Commission", "9.95"}};
  }
  int currentTab() const override { return kGeneralTab; }
  std::optional<std::string> boxText(std::string_view column, int) const override {
    auto it = m_boxes.find(std::string(column));
    return it == m_boxes.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  bool setBoxText(std::string_view column, int, const std::string& text) override {
    benchmark::DoNotOptimize(text.data());
    return m_boxes.count(std::string(column)) > 0;  // the shown row does not overwrite the trade to save
  }
  bool isBuySelected() const override { return true; }
  bool isSellSelected() const override { return false; }
  void selectBuy(bool) override {}
  void clearSide() override {}
  void setStatusText(const std::string&) override {}
  std::string companySymbolText() const override { return "IBM"; }
  int companyListCount() const override { return 0; }
  std::string companyListItem(int) const override { return {}; }
  void insertCompanyListItem(int, const std::string&) override {}

 private:
  std::map<std::string, std::string> m_boxes;
};

class SilentPrompter final : public Prompter {
 public:
  MsgAnswer show(const std::string& text, MsgIcon, MsgButtons, const std::string&) override {
    throw std::runtime_error("unexpected message: " + text);
  }
};

}  // namespace ledger::bench
