// dpk_pack: packs every file below a folder into a DPK archive. Entry names are the files'
// paths relative to the folder, with '\' between folders, in Shift-JIS.
//
//   dpk_pack [options] <folder> <archive.DPK>
//
//   --no-names      entries by number only (no name tree)
//   --wide          the wide name tree (4-byte numbers and distances)
//   --units         index and entry offsets in 2048-byte units
//   --long          long entry records (with the unpacked size)
//   --pack          LZSS-pack every entry that gets smaller (implies --long)
//   --scramble      scramble the first words of every entry
//   --nibbles       nibble-scramble every entry
//   --prefix        store the prefix that every entry shares once
//   --fifth         set the fifth header flag
//   --keys=A,B      the game's two key words, in hexadecimal
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "dpk_writer.h"
#include "platform/encoding/text_encoding.h"
#include "tool_usage.h"

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
  std::fprintf(stderr, "dpk_pack: error: %s\n", message.c_str());
  return 1;
}

constexpr const char* kUsage =
    "usage: dpk_pack [--no-names] [--wide] [--units] [--long] [--pack] [--scramble] [--nibbles]\n"
    "                [--prefix] [--fifth] [--keys=A,B] <folder> <archive.DPK>\n";

bool ParseKeys(std::string_view text, DpkKeyWords& keys) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  const std::string first(text.substr(0, comma));
  const std::string second(text.substr(comma + 1));
  char* end = nullptr;
  const unsigned long first_value = std::strtoul(first.c_str(), &end, 16);
  if (first.empty() || *end != '\0' || first_value > 0xFFFFFFFFul) return false;
  const unsigned long second_value = std::strtoul(second.c_str(), &end, 16);
  if (second.empty() || *end != '\0' || second_value > 0xFFFFFFFFul) return false;
  keys = {static_cast<std::uint32_t>(first_value), static_cast<std::uint32_t>(second_value)};
  return true;
}

struct Arguments {
  kvxtools::DpkWriterOptions options;
  bool nibbles = false;
  std::vector<std::string> paths;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    kvxtools::DpkWriterOptions& options = arguments.options;
    if (argument == "--no-names") {
      options.names = false;
    } else if (argument == "--wide") {
      options.wide_tree = true;
    } else if (argument == "--units") {
      options.units = true;
    } else if (argument == "--long") {
      options.long_records = true;
    } else if (argument == "--pack") {
      options.pack = options.long_records = true;
    } else if (argument == "--scramble") {
      options.scramble = true;
    } else if (argument == "--nibbles") {
      arguments.nibbles = true;
    } else if (argument == "--prefix") {
      options.common_prefix = true;
    } else if (argument == "--fifth") {
      options.fifth_flag = true;
    } else if (argument.starts_with("--keys=")) {
      if (!ParseKeys(argument.substr(7), options.keys)) return false;
    } else if (argument.starts_with("--")) {
      return false;
    } else {
      arguments.paths.emplace_back(argument);
    }
  }
  return arguments.paths.size() == 2;
}

// The files below `folder`, by relative path, in a stable order.
std::vector<fs::path> ListFiles(const fs::path& folder, std::error_code& error) {
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file()) files.push_back(it->path().lexically_relative(folder));
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string EntryName(const fs::path& relative) {
  std::string name = relative.generic_string();
  std::replace(name.begin(), name.end(), '/', '\\');
  return plat::Utf8ToSjis(name);
}

}  // namespace

int main(int argc, char** argv) {
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  Arguments arguments;
  if (!ParseArguments(argc, argv, arguments)) return kvxtools::UsageError(kUsage);
  const fs::path folder = arguments.paths[0];
  const std::string& archive = arguments.paths[1];
  if (!fs::is_directory(folder)) return Fail("\"" + folder.string() + "\" is not a folder");

  std::error_code error;
  const std::vector<fs::path> files = ListFiles(folder, error);
  if (error) return Fail("cannot list \"" + folder.string() + "\": " + error.message());

  kvxtools::DpkWriter writer(arguments.options);
  for (const fs::path& relative : files) {
    std::ifstream file(folder / relative, std::ios::binary);
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return Fail("cannot read \"" + (folder / relative).string() + "\"");
    std::printf("adding %s (%zu bytes)\n", relative.generic_string().c_str(), data.size());
    writer.Add({EntryName(relative), std::move(data), arguments.nibbles});
  }

  kvxtools::DpkLayout layout;
  std::string message;
  if (!writer.WriteFile(archive, message, &layout)) return Fail(message);
  for (std::size_t number = 0; number < files.size(); ++number) {
    const kvxtools::DpkStoredEntry& entry = layout.entries[number];
    std::printf("%6zu %s: %u bytes, %s %u bytes at %llu\n", number, files[number].generic_string().c_str(), entry.size,
                entry.packed ? "packed into" : "stored as", entry.stored_size,
                static_cast<unsigned long long>(entry.offset));
  }
  std::printf("wrote %s: %zu entries\n", archive.c_str(), files.size());
  return 0;
}
