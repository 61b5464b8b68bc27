// Aligned tables for terminal output: columns as wide as their widest cell,
// numbers right-aligned, text left-aligned.
#ifndef ZELCOMDB_TEXT_TABLE_H
#define ZELCOMDB_TEXT_TABLE_H

#include <ostream>
#include <string>
#include <vector>

namespace zel::tool {

class TextTable {
  public:
    explicit TextTable(std::vector<std::string> headers) : m_headers(std::move(headers)) {}
    void row(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    bool empty() const { return m_rows.empty(); }
    // Prints the header and the rows, each line starting with `indent`.
    void print(std::ostream& out, const std::string& indent = "  ") const;

  private:
    std::vector<std::string> m_headers;
    std::vector<std::vector<std::string>> m_rows;
};

}  // namespace zel::tool

#endif
