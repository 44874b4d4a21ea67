#include "dgm_source.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "asm_text.h"

namespace kvxtools {
namespace {

template <typename T>
T Bounded(std::string_view text) {
  const auto value = static_cast<std::int32_t>(Number(text));
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    throw AsmError("out of range: " + std::string(text));
  }
  return static_cast<T>(value);
}

void SetKey(DgmPartRecord& part, std::string_view item) {
  const std::size_t equals = item.find('=');
  if (equals == std::string_view::npos) throw AsmError("expected KEY=N: " + std::string(item));
  const std::string_view key = item.substr(0, equals);
  const std::string_view value = item.substr(equals + 1);
  if (key == "parameter") {
    part.parameter = Bounded<std::uint8_t>(value);
  } else if (key == "shown") {
    part.shown = Bounded<std::uint8_t>(value);
  } else if (key == "width") {
    part.width = Bounded<std::uint16_t>(value);
  } else if (key == "height") {
    part.height = Bounded<std::uint16_t>(value);
  } else if (key == "state") {
    part.state = Bounded<std::uint8_t>(value);
  } else {
    throw AsmError("unknown key: " + std::string(key));
  }
}

// Names are stored after a length byte.
std::string Name(std::string_view text) {
  if (text.size() > 255) throw AsmError("a name longer than 255 bytes: " + std::string(text));
  return std::string(text);
}

DgmPartRecord Part(const std::vector<std::string_view>& words) {
  if (words.size() < 5) throw AsmError("expected part PICTURE TYPE X Y [KEY=N ...]");
  DgmPartRecord part;
  part.picture = Name(words[1]);
  part.type = Bounded<std::uint8_t>(words[2]);
  part.x = Bounded<std::int16_t>(words[3]);
  part.y = Bounded<std::int16_t>(words[4]);
  for (std::size_t i = 5; i < words.size(); ++i) SetKey(part, words[i]);
  return part;
}

}  // namespace

bool ParseDgmSource(std::string_view source, DgmFile& file, std::string& error) {
  const auto line = [&](std::string_view text) {
    const std::vector<std::string_view> words = SplitBlanks(text);
    if (words[0] == "background" && words.size() == 2) {
      file.background = Name(words[1]);
    } else if (words[0] == "part") {
      file.parts.push_back(Part(words));
    } else {
      throw AsmError("expected background NAME or part PICTURE TYPE X Y");
    }
  };
  const auto finish = [&] {
    if (file.parts.size() > 0xFFFF) throw AsmError("more than 65535 parts");
  };
  return AssembleLines(source, line, finish, error);
}

}  // namespace kvxtools
