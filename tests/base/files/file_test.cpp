#include "base/files/file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text/sjis_case.h"
#include "platform/files/file_system_ops.h"
#include "support/data_files_fixture.h"

namespace {

class FileTest : public test_support::DataFilesTest {};

TEST_F(FileTest, ReadLineSplitsCrLfLinesAndChecksTheRoom) {
  game_.WriteFile("lines.txt", "ab\r\ncd");
  game_.WriteFile("three.txt", "abc\r\n");
  game_.WriteFile("marked.txt", "xy\x1A");
  CFile file;
  ASSERT_EQ(file.Load("LINES.TXT"), 0u);
  char buffer[4];
  EXPECT_EQ(file.ReadLine(nullptr, 0), 3u);  // two characters and the terminator
  EXPECT_EQ(file.ReadLine(buffer, 4), 4u);
  EXPECT_STREQ(buffer, "ab");
  EXPECT_EQ(file.ReadLine(buffer, 4), 2u);
  EXPECT_STREQ(buffer, "cd");
  EXPECT_EQ(file.ReadLine(buffer, 4), 0u);

  ASSERT_EQ(file.Load("three.txt"), 0u);
  EXPECT_EQ(file.ReadLine(buffer, 4), 0u);  // three characters need five bytes
  EXPECT_EQ(file.Tell(), 0);
  EXPECT_EQ(file.ReadLine(buffer, 1), 0u);

  ASSERT_EQ(file.Load("marked.txt"), 0u);
  EXPECT_EQ(file.ReadLine(nullptr, 0), 3u);  // three characters, the terminator, less the mark
  EXPECT_EQ(file.ReadLine(buffer, 4), 0u);   // the mark counts while the room is checked
  char wide[8];
  EXPECT_EQ(file.ReadLine(wide, sizeof wide), 3u);
  EXPECT_STREQ(wide, "xy");
  EXPECT_TRUE(file.IsEof());
}

TEST_F(FileTest, MemoryStreamSeeksStopAtTheEnds) {
  game_.WriteFile("ten.bin", "0123456789");
  CFile file;
  ASSERT_EQ(file.Load("ten.bin"), 0u);
  EXPECT_EQ(file.GetSize(), 10u);
  EXPECT_EQ(std::string(file.GetPath()), game_.EnginePath("ten.bin"));
  EXPECT_EQ(file.SeekBegin(15), 0u);
  EXPECT_EQ(file.Tell(), 10);
  EXPECT_TRUE(file.IsEof());
  EXPECT_EQ(file.SeekEnd(3), 0u);
  EXPECT_EQ(file.Tell(), 7);
  EXPECT_EQ(file.SeekCurrent(-20), 0u);
  EXPECT_EQ(file.Tell(), 0);
  EXPECT_EQ(file.SeekEnd(30), 0u);
  EXPECT_EQ(file.Tell(), 0);
  char bytes[4];
  EXPECT_EQ(file.SeekCurrent(8), 0u);
  EXPECT_EQ(file.Read(bytes, 4), 2u);
  EXPECT_EQ(std::string(bytes, 2), "89");

  DataBlock data = file.DetachData();
  ASSERT_TRUE(data);
  EXPECT_EQ(data[0], '0');
  EXPECT_EQ(file.GetData(), nullptr);
  EXPECT_EQ(file.SeekBegin(0), 3u);  // neither stream nor handle: not open
  EXPECT_EQ(file.Tell(), -1);
}

TEST_F(FileTest, DiskFilesWriteSeekAndFormatAnyLength) {
  CFile file;
  EXPECT_EQ(file.Printf("%d", 1), 0u);  // not open
  ASSERT_EQ(file.Create("out.txt", false), 0u);
  EXPECT_EQ(std::string(file.GetPath()), game_.EnginePath("out.txt"));
  const std::string long_text(2000, 'k');
  EXPECT_EQ(file.Printf("%s|%04d", long_text.c_str(), 7), 2005u);
  EXPECT_EQ(file.Write("end", 3), 3u);
  file.Close();
  EXPECT_EQ(game_.ReadFile("out.txt"), long_text + "|0007end");
  EXPECT_EQ(file.Create("OUT.TXT", false), 3u);  // exists already
  EXPECT_STREQ(file.GetPath(), "");

  ASSERT_EQ(file.OpenReadWrite("out.txt"), 0u);
  EXPECT_EQ(file.GetSize(), 2008u);
  EXPECT_EQ(file.SeekEnd(-3), 0u);
  char tail[3];
  EXPECT_EQ(file.Read(tail, 3), 3u);
  EXPECT_EQ(std::string(tail, 3), "end");
  EXPECT_TRUE(file.IsEof());
  EXPECT_EQ(file.SeekCurrent(-100000), 6u);
  EXPECT_EQ(file.SeekBegin(1), 0u);
  EXPECT_EQ(file.Tell(), 1);
  EXPECT_EQ(file.OpenReadWrite("missing.txt"), 3u);

  const std::string too_long(300, 'x');
  EXPECT_EQ(file.Create(too_long.c_str(), true), 5u);
  EXPECT_EQ(file.OpenReadWrite(too_long.c_str()), 5u);
}

TEST_F(FileTest, LoadedFilesAreNotWritten) {
  game_.WriteFile("data.txt", "abc");
  CFile file;
  ASSERT_EQ(file.Load("data.txt"), 0u);
  EXPECT_EQ(file.Printf("x"), 0u);
  EXPECT_EQ(file.Write("x", 1), 0u);
  EXPECT_EQ(file.Load("missing.txt"), 3u);
  EXPECT_EQ(file.GetData(), nullptr);
  EXPECT_EQ(file.GetSize(), 0u);
}

TEST_F(FileTest, CreateTempCopiesTheDataAndCloseDeletesTheCopy) {
  game_.WriteFile("voice/v001.ogg", "vorbis bytes");
  CFile file;
  ASSERT_EQ(file.CreateTemp("VOICE\\V001.OGG"), 0u);
  const std::string temp_path = file.GetPath();
  EXPECT_NE(temp_path.find("\\DLF"), std::string::npos);
  EXPECT_EQ(file.GetSize(), 12u);
  EXPECT_EQ(file.GetData(), nullptr);
  ASSERT_TRUE(plat::FindFirstFile(temp_path));
  EXPECT_EQ(plat::FindFirstFile(temp_path)->Size(), 12u);
  file.Close();
  EXPECT_FALSE(plat::FindFirstFile(temp_path));
  EXPECT_EQ(file.CreateTemp("missing.ogg"), 3u);
}

TEST_F(FileTest, WithoutTheDataFileLayer) {
  g_DataFiles = nullptr;
  CFile file;
  EXPECT_EQ(file.Load("a"), 1u);
  EXPECT_EQ(file.LoadNumbered(-2, 0, nullptr), 1u);
  EXPECT_EQ(file.OpenStream("a"), 1u);
}

TEST_F(FileTest, StreamsAndNumberedEntries) {
  RegisterFakeDecoder();
  game_.WriteFile("music/bgm01.ogg", "loose stream");
  game_.WriteFile("DATA.FAK", test_support::MakeFakeArchive({{"a.txt", "first"}, {"b.txt", "second"}}));
  ASSERT_EQ(files_->MountArchive("DATA.FAK", 7, 0, true, nullptr), 0u);
  CFile file;
  ASSERT_EQ(file.OpenStream("MUSIC\\BGM01.OGG"), 0u);
  EXPECT_EQ(file.GetSize(), 12u);
  EXPECT_EQ(file.GetData(), nullptr);
  char text[6];
  EXPECT_EQ(file.SeekEnd(6), 0u);
  EXPECT_EQ(file.Read(text, 6), 6u);
  EXPECT_EQ(std::string(text, 6), "stream");
  EXPECT_EQ(file.ReadLine(text, 6), 0u);  // only loaded contents are read by lines

  ASSERT_EQ(file.LoadNumbered(7, 1, nullptr), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize()), "second");
  std::string mount_point = game_.EnginePath();
  LowerSjis(mount_point);
  EXPECT_EQ(std::string(file.GetPath()), mount_point + "000001.DAT");
  EXPECT_EQ(file.LoadNumbered(8, 0, nullptr), 3u);
}

TEST(FileReferences, TheReleaseThatFindsNoOtherHolderDeletes) {
  CFile* file = new CFile;
  file->AddRef();
  EXPECT_EQ(file->GetRefCount(), 1u);
  file->Release();
  EXPECT_EQ(file->GetRefCount(), 0u);
  file->Release();  // deletes: the leak checker of the sanitizer build would see it otherwise
}

}  // namespace
