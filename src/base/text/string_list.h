// Owned copies of strings in the order they were added.
#pragma once

#include <deque>
#include <string>

class CStringList {
 public:
  // Appends a copy of `text`; a null text adds nothing. Always 0.
  unsigned Add(const char* text);
  void Clear() { m_Strings.clear(); }

  const std::deque<std::string>& Strings() const { return m_Strings; }

 private:
  std::deque<std::string> m_Strings;
};
