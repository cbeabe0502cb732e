// A plain text table with aligned columns.
#pragma once

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace nebrin::host {

class Table {
 public:
  explicit Table(std::vector<std::string> header) : rows_{std::move(header)} {}

  void AddRow(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

  void Print(std::ostream& out) const {
    std::vector<std::size_t> width(rows_.front().size(), 0);
    for (const auto& row : rows_) {
      for (std::size_t i = 0; i < row.size() && i < width.size(); ++i) {
        width[i] = std::max(width[i], Columns(row[i]));
      }
    }
    for (const auto& row : rows_) {
      std::string line;
      for (std::size_t i = 0; i < row.size() && i < width.size(); ++i) {
        line += row[i];
        if (i + 1 < row.size()) line += std::string(width[i] - Columns(row[i]) + 2, ' ');
      }
      out << line << "\n";
    }
  }

 private:
  // Characters on screen: UTF-8 continuation bytes take no column.
  static std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  }

  std::vector<std::vector<std::string>> rows_;
};

}  // namespace nebrin::host
