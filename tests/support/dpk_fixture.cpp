#include "support/dpk_fixture.h"

#include <gtest/gtest.h>

namespace test_support {

kvxtools::DpkWriterOptions DpkTest::Options() {
  kvxtools::DpkWriterOptions options;
  options.keys = kTestDpkKeys;
  return options;
}

void DpkTest::Write(const kvxtools::DpkWriter& writer, std::string_view file_name, kvxtools::DpkLayout* layout) {
  std::string error;
  ASSERT_TRUE(writer.WriteFile(game_.HostPath() + std::string(file_name), error, layout)) << error;
}

void DpkTest::WriteBytes(std::string_view file_name, const std::vector<std::uint8_t>& bytes) {
  game_.WriteFile(file_name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void DpkTest::WriteLayout(const kvxtools::DpkLayout& layout, std::string_view file_name) {
  WriteBytes(file_name, kvxtools::SealDpk(layout, file_name, kTestDpkKeys));
}

RefPtr<CArchive> DpkTest::Open(std::string_view file_name, int* error) {
  plat::FileHandle closed;
  return decoder_.Open(game_.EnginePath(file_name).c_str(), closed, error);
}

namespace {

std::string Delivered(std::int32_t result, CMemoryBlockTarget& target, std::int32_t* status) {
  if (status != nullptr) *status = result;
  if (result != 0) return "";
  const std::uint32_t size = target.GetSize();
  DataBlock block = target.Detach();
  return std::string(reinterpret_cast<const char*>(block.get()), size);
}

}  // namespace

std::string DpkTest::ReadEntry(CArchive& archive, std::uint32_t number, std::int32_t* status) {
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
  return Delivered(archive.ReadEntry(number, target, {}), target, status);
}

std::string DpkTest::ReadEntryByName(CArchive& archive, const char* name, std::int32_t* status) {
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
  return Delivered(archive.ReadEntryByName(name, target, {}), target, status);
}

std::string DpkTest::ReadRest(CReadStream& stream, std::uint32_t piece) {
  std::string text;
  std::vector<char> buffer(piece);
  while (const std::uint32_t got = stream.Read(buffer.data(), piece)) text.append(buffer.data(), got);
  return text;
}

std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace test_support
