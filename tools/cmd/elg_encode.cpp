// elg_encode: turns a PNG or binary PPM (P6) picture into an ELG picture.
//
//   elg_encode [options] <input.png|input.ppm> <output.ELG>
//
//   --depth=8|24|32         8 needs at most 256 colours; default 32 with alpha, else 24
//   --grey                  8 bits whose index is the grey level (the red channel) under a palette
//                           of the 256 greys: the masks whose bytes are their levels
//   --form=plain|origin|records
//   --values=A,B            the two signed 16-bit user values (forms origin and records)
#include <png.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "elg_encoder.h"
#include "tool_usage.h"

namespace {

struct Rgba {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::vector<std::uint8_t> bgra;  // top-down
  bool has_alpha = false;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint16_t Side(std::size_t value) {
  if (value == 0 || value > 0xFFFF) throw std::runtime_error("picture sides must be 1 to 65535 pixels");
  return static_cast<std::uint16_t>(value);
}

Rgba ReadPng(const std::vector<std::uint8_t>& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, file.data(), file.size()) == 0) {
    throw std::runtime_error(std::string("not a readable PNG: ") + image.message);
  }
  Rgba picture;
  picture.has_alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_BGRA;
  picture.width = Side(image.width);
  picture.height = Side(image.height);
  picture.bgra.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, picture.bgra.data(), 0, nullptr) == 0) {
    throw std::runtime_error(std::string("PNG decoding failed: ") + image.message);
  }
  return picture;
}

// A P6 number: digits after white space and comments.
std::size_t PpmNumber(const std::vector<std::uint8_t>& file, std::size_t& at) {
  while (at < file.size() && (std::isspace(file[at]) != 0 || file[at] == '#')) {
    if (file[at] == '#') {
      while (at < file.size() && file[at] != '\n') ++at;
    } else {
      ++at;
    }
  }
  std::size_t value = 0;
  const std::size_t start = at;
  while (at < file.size() && std::isdigit(file[at]) != 0 && value < 100000) value = value * 10 + (file[at++] - '0');
  if (at == start) throw std::runtime_error("bad PPM header");
  return value;
}

Rgba ReadPpm(const std::vector<std::uint8_t>& file) {
  std::size_t at = 2;
  Rgba picture;
  picture.width = Side(PpmNumber(file, at));
  picture.height = Side(PpmNumber(file, at));
  if (PpmNumber(file, at) != 255) throw std::runtime_error("only PPM pictures with 255 levels are read");
  ++at;
  const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
  if (file.size() < at || file.size() - at < count * 3) throw std::runtime_error("PPM pixels cut off");
  picture.bgra.resize(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    picture.bgra[4 * i] = file[at + 3 * i + 2];
    picture.bgra[4 * i + 1] = file[at + 3 * i + 1];
    picture.bgra[4 * i + 2] = file[at + 3 * i];
    picture.bgra[4 * i + 3] = 0xFF;
  }
  return picture;
}

Rgba ReadPicture(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadBytes(path);
  if (file.size() >= 2 && file[0] == 'P' && file[1] == '6') return ReadPpm(file);
  return ReadPng(file);
}

kvxtools::ElgPicture GreyElg(const Rgba& rgba) {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 8;
  picture.width = rgba.width;
  picture.height = rgba.height;
  for (std::size_t i = 2; i < rgba.bgra.size(); i += 4) picture.pixels.push_back(rgba.bgra[i]);
  for (std::size_t level = 0; level < 256; ++level) {
    for (std::size_t k = 0; k < 3; ++k) picture.palette[4 * level + k] = static_cast<std::uint8_t>(level);
  }
  return picture;
}

kvxtools::ElgPicture ToElg(const Rgba& rgba, int depth) {
  kvxtools::ElgPicture picture;
  picture.bit_depth = static_cast<std::uint8_t>(depth);
  picture.width = rgba.width;
  picture.height = rgba.height;
  const std::size_t count = static_cast<std::size_t>(rgba.width) * rgba.height;
  if (depth == 32) {
    picture.pixels = rgba.bgra;
    return picture;
  }
  if (depth == 24) {
    for (std::size_t i = 0; i < count; ++i) {
      picture.pixels.insert(picture.pixels.end(), &rgba.bgra[4 * i], &rgba.bgra[4 * i + 3]);
    }
    return picture;
  }
  std::map<std::uint32_t, std::uint8_t> indices;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t colour = static_cast<std::uint32_t>(rgba.bgra[4 * i]) |
                                 static_cast<std::uint32_t>(rgba.bgra[4 * i + 1]) << 8 |
                                 static_cast<std::uint32_t>(rgba.bgra[4 * i + 2]) << 16;
    auto found = indices.find(colour);
    if (found == indices.end()) {
      if (indices.size() == 256) throw std::runtime_error("more than 256 colours for an 8-bit picture");
      const auto index = static_cast<std::uint8_t>(indices.size());
      found = indices.emplace(colour, index).first;
      for (int k = 0; k < 3; ++k) picture.palette[4 * index + k] = static_cast<std::uint8_t>(colour >> (8 * k));
    }
    picture.pixels.push_back(found->second);
  }
  return picture;
}

constexpr const char* kUsage =
    "usage: elg_encode [--depth=8|24|32 | --grey] [--form=plain|origin|records] [--values=A,B] "
    "<input.png|input.ppm> <output.ELG>\n";

}  // namespace

int main(int argc, char** argv) {
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  int depth = 0;
  bool grey = false;
  kvxtools::ElgHeaderForm form = kvxtools::ElgHeaderForm::kPlain;
  int value0 = 0;
  int value1 = 0;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--depth=8" || argument == "--depth=24" || argument == "--depth=32") {
      depth = std::stoi(std::string(argument.substr(8)));
    } else if (argument == "--grey") {
      grey = true;
    } else if (argument == "--form=plain") {
      form = kvxtools::ElgHeaderForm::kPlain;
    } else if (argument == "--form=origin") {
      form = kvxtools::ElgHeaderForm::kOrigin;
    } else if (argument == "--form=records") {
      form = kvxtools::ElgHeaderForm::kRecords;
    } else if (argument.starts_with("--values=")) {
      if (std::sscanf(argv[i] + 9, "%d,%d", &value0, &value1) != 2 || value0 < -32768 || value0 > 32767 ||
          value1 < -32768 || value1 > 32767) {
        return kvxtools::UsageError(kUsage);
      }
    } else if (argument.starts_with("--")) {
      return kvxtools::UsageError(kUsage);
    } else {
      paths.emplace_back(argument);
    }
  }
  if (paths.size() != 2 || (grey && depth != 0)) return kvxtools::UsageError(kUsage);
  try {
    const Rgba rgba = ReadPicture(paths[0]);
    kvxtools::ElgPicture picture = grey ? GreyElg(rgba) : ToElg(rgba, depth != 0 ? depth : (rgba.has_alpha ? 32 : 24));
    picture.form = form;
    picture.user_value0 = static_cast<std::int16_t>(value0);
    picture.user_value1 = static_cast<std::int16_t>(value1);
    const std::vector<std::uint8_t> elg = kvxtools::EncodeElg(picture);
    std::ofstream out(paths[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(elg.data()), static_cast<std::streamsize>(elg.size()));
    if (!out) throw std::runtime_error("cannot write " + paths[1]);
    std::printf("%s: %ux%u, %d bits, %zu bytes\n", paths[1].c_str(), picture.width, picture.height,
                picture.bit_depth, elg.size());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "elg_encode: error: %s\n", error.what());
    return 1;
  }
}
