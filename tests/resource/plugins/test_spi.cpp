// Susie plug-ins for the host tests, built once per variant:
//   TEST_SPI_IMAGE: "00IN" for "SQ" pictures: "SQ", width, height (a byte each), then the
//     pixels top row first as blue, green, red; delivered as a 24-bit bitmap.
//   TEST_SPI_WITHOUT_PICTURE: the same without GetPicture.
//   TEST_SPI_ARCHIVE: "00AM" for "SQAR" archives: the magic, then entries of a name length
//     byte, the name ('/' between folders), a 32-bit size and the data, up to the file's end.
//   TEST_SPI_WITHOUT_INFO: no GetPluginInfo.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resource/plugins/susie_plugin_abi.h"

namespace {

[[maybe_unused]] void Put32(unsigned char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

[[maybe_unused]] std::uint32_t Get32(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24);
}

[[maybe_unused]] std::int32_t CopyInfo(const char* text, char* buffer, std::int32_t length) {
  const auto size = static_cast<std::int32_t>(std::strlen(text));
  if (length <= size) return 0;
  std::memcpy(buffer, text, static_cast<std::size_t>(size) + 1);
  return size;
}

[[maybe_unused]] std::vector<unsigned char> ReadAll(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" {

#ifndef TEST_SPI_WITHOUT_INFO
std::int32_t GetPluginInfo(std::int32_t number, char* buffer, std::int32_t length) {
#ifdef TEST_SPI_ARCHIVE
  const char* const texts[] = {"00AM", "", "*.sqa;*.SQA", "Test archive plug-in"};
#else
  const char* const texts[] = {"00IN", "", "*.sq;*.SQ", "Test picture plug-in"};
#endif
  return number >= 0 && number < 4 ? CopyInfo(texts[number], buffer, length) : 0;
}
#endif

#ifdef TEST_SPI_ARCHIVE

std::int32_t GetArchiveInfo(const char* path, std::intptr_t, std::uint32_t, SusieBlock** info) {
  const std::vector<unsigned char> file = ReadAll(path);
  if (file.size() < 4 || std::memcmp(file.data(), "SQAR", 4) != 0) return 2;
  std::vector<unsigned char> records;
  for (std::size_t at = 4; at < file.size();) {
    const std::size_t name_length = file[at];
    const std::string name(reinterpret_cast<const char*>(&file[at + 1]), name_length);
    const std::uint32_t size = Get32(&file[at + 1 + name_length]);
    unsigned char record[kSusieFileRecordSize] = {};
    std::memcpy(record, "SQAR", 4);
    Put32(record + kSusieRecordPosition, static_cast<std::uint32_t>(at));
    Put32(record + kSusieRecordStoredSize, size);
    Put32(record + kSusieRecordSize, size);
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    const std::string file_name = slash == std::string::npos ? name : name.substr(slash + 1);
    std::memcpy(record + kSusieRecordPath, folder.data(), folder.size());
    std::memcpy(record + kSusieRecordFileName, file_name.data(), file_name.size());
    records.insert(records.end(), record, record + kSusieFileRecordSize);
    at += 1 + name_length + 4 + size;
  }
  records.insert(records.end(), kSusieFileRecordSize, 0);
  SusieBlock* block = SusieNewBlock(static_cast<std::uint32_t>(records.size()));
  std::memcpy(SusieBlockData(block), records.data(), records.size());
  *info = block;
  return 0;
}

std::int32_t GetFile(const char* path, std::intptr_t position, void* destination, std::uint32_t flag,
                     SusieProgressFunc progress, std::intptr_t data) {
  const std::vector<unsigned char> file = ReadAll(path);
  const auto at = static_cast<std::size_t>(position);
  if (at >= file.size()) return 1;
  const std::size_t name_length = file[at];
  const std::uint32_t size = Get32(&file[at + 1 + name_length]);
  const unsigned char* contents = &file[at + 1 + name_length + 4];
  if (progress != nullptr) progress(0, 1, data);
  if ((flag & kSusieToMemory) != 0) {
    SusieBlock* block = SusieNewBlock(size);
    std::memcpy(SusieBlockData(block), contents, size);
    *static_cast<SusieBlock**>(destination) = block;
  } else {
    std::string name(reinterpret_cast<const char*>(&file[at + 1]), name_length);
    name = name.substr(name.rfind('/') + 1);
    std::ofstream(std::string(static_cast<const char*>(destination)) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(contents), size);
  }
  if (progress != nullptr) progress(1, 1, data);
  return 0;
}

#else

// Supported: the magic, and zero bytes from the picture's end to the 2048th byte (the whole
// probe is read, as the interface promises it may be).
std::int32_t IsSupported(const char*, const void* data) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (bytes[0] != 'S' || bytes[1] != 'Q') return 0;
  const std::size_t end = 4 + std::size_t{bytes[2]} * bytes[3] * 3;
  for (std::size_t i = end; i < 2048; ++i) {
    if (bytes[i] != 0) return 0;
  }
  return 1;
}

#ifndef TEST_SPI_WITHOUT_PICTURE
std::int32_t GetPicture(const void* data, std::intptr_t size, std::uint32_t flag, SusieBlock** info,
                        SusieBlock** bits, SusieProgressFunc progress, std::intptr_t progress_data) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (flag != kSusieFromMemory || size < 4) return 2;
  const std::uint32_t width = bytes[2];
  const std::uint32_t height = bytes[3];
  if (static_cast<std::size_t>(size) < 4 + width * height * 3) return 2;
  if (progress != nullptr && progress(0, static_cast<std::int32_t>(height), progress_data) != 0) return 1;
  const std::uint32_t row_size = (width * 3 + 3) / 4 * 4;
  SusieBlock* header = SusieNewBlock(40);
  unsigned char* h = SusieBlockData(header);
  std::memset(h, 0, 40);
  Put32(h, 40);
  Put32(h + 4, width);
  Put32(h + 8, height);
  h[12] = 1;
  h[14] = 24;
  SusieBlock* pixels = SusieNewBlock(row_size * height);
  unsigned char* p = SusieBlockData(pixels);
  std::memset(p, 0, row_size * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    std::memcpy(p + (height - 1 - y) * row_size, bytes + 4 + y * width * 3, width * 3);
  }
  *info = header;
  *bits = pixels;
  return 0;
}
#endif

#endif

}  // extern "C"
