#include "base/text/string_list.h"

unsigned CStringList::Add(const char* text) {
  if (text != nullptr) m_Strings.emplace_back(text);
  return 0;
}
