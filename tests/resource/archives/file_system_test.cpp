#include "resource/archives/file_system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "base/text/sjis_case.h"
#include "support/data_files_fixture.h"

namespace {

using test_support::MakeFakeArchive;

class FileSystemTest : public test_support::DataFilesTest {
 protected:
  std::string Read(const char* name, unsigned expected_status = 0) {
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kAccepted);
    EXPECT_EQ(files_->ReadFile(name, target, last_path_), expected_status) << name;
    DataBlock block = target.Detach();
    return block ? std::string(reinterpret_cast<const char*>(block.get()), target.GetSize()) : "";
  }

  std::string Lower(std::string text) {
    LowerSjis(text);
    return text;
  }

  char last_path_[kMaxPath] = {};
};

TEST_F(FileSystemTest, LooseFilesWinOverSearchFoldersWhichWinOverArchives) {
  RegisterFakeDecoder();
  game_.WriteFile("A.FAK", MakeFakeArchive({{"script\\a.sob", "from archive"}, {"script\\b.sob", "b archive"},
                                            {"script\\c.sob", "c archive"}}));
  game_.WriteFile("script/a.sob", "loose in base");
  game_.WriteFile("extra/script/a.sob", "loose in search folder");
  game_.WriteFile("extra/script/b.sob", "b in search folder");
  ASSERT_EQ(files_->MountArchive("A.FAK", -2, 0, true, nullptr), 0u);
  ASSERT_EQ(files_->AddSearchFolder("EXTRA", true), 0u);

  EXPECT_EQ(Read("SCRIPT\\A.SOB"), "loose in base");
  EXPECT_EQ(std::string(last_path_), game_.EnginePath("SCRIPT\\A.SOB"));
  EXPECT_EQ(Read("SCRIPT\\B.SOB"), "b in search folder");
  EXPECT_EQ(std::string(last_path_), Lower(game_.EnginePath("extra\\")) + "SCRIPT\\B.SOB");
  EXPECT_EQ(Read("SCRIPT\\C.SOB"), "c archive");
  EXPECT_EQ(std::string(last_path_), Lower(game_.EnginePath("script\\c.sob")));
  EXPECT_EQ(Read("SCRIPT\\D.SOB", 3), "");
  EXPECT_EQ(Read(std::string(300, 'n').c_str(), 5), "");
}

TEST_F(FileSystemTest, SearchFoldersServeArchiveLookupsOfRelativeNamesOnly) {
  RegisterFakeDecoder();
  game_.WriteFile("sub/B.FAK", MakeFakeArchive({{"x.txt", "in sub archive"}}));
  ASSERT_EQ(files_->AddSearchFolder("sub", true), 0u);
  ASSERT_EQ(files_->MountArchive("B.FAK", 5, 1, true, nullptr), 0u);  // found in the search folder
  EXPECT_EQ(files_->GetMountPoint(5, 0), Lower(game_.EnginePath("sub\\b\\")));
  EXPECT_EQ(Read("B\\X.TXT"), "in sub archive");  // as sub\b\x.txt through the search folder
  archive_log_->requests.clear();
  EXPECT_EQ(Read(game_.EnginePath("B\\X.TXT").c_str(), 3), "");  // absolute: no search folders
  EXPECT_TRUE(archive_log_->requests.empty());
}

TEST_F(FileSystemTest, PatchArchivesAreAskedInTheSetUpOrder) {
  RegisterFakeDecoder();
  game_.WriteFile("PATCH.FAK", MakeFakeArchive({{"script\\a.sob", "patch"}}));
  game_.WriteFile("PATCH2.FAK", MakeFakeArchive({{"script\\z.sob", "patch2"}}));
  game_.WriteFile("SCRIPT.FAK", MakeFakeArchive({{"a.sob", "script"}, {"b.sob", "script b"}}));
  ASSERT_EQ(files_->MountArchive("PATCH.FAK", -2, 0, true, nullptr), 0u);
  ASSERT_EQ(files_->MountArchive("SCRIPT.FAK", -2, 1, true, nullptr), 0u);
  ASSERT_EQ(files_->MountArchive("PATCH2.FAK", -2, 0, false, nullptr), 0u);
  EXPECT_EQ(files_->GetMountCount(), 3u);

  archive_log_->requests.clear();
  EXPECT_EQ(Read("SCRIPT\\B.SOB"), "script b");
  EXPECT_EQ(archive_log_->requests, (std::vector<std::string>{"PATCH2.FAK:script\\b.sob", "PATCH.FAK:script\\b.sob",
                                                              "SCRIPT.FAK:b.sob"}));
  EXPECT_EQ(Read("script\\a.sob"), "patch");

  plat::FindData data;
  char path[kMaxPath];
  EXPECT_EQ(files_->LocateFile(path, "SCRIPT\\A.SOB", &data), -1);
  EXPECT_EQ(std::string(path), Lower(game_.EnginePath("script\\a.sob")));
  EXPECT_EQ(files_->LocateFile(path, "PATCH.FAK", &data), 0);
  EXPECT_EQ(data.Size(), game_.ReadFile("PATCH.FAK").size());
  EXPECT_EQ(files_->LocateFile(path, "SCRIPT\\NONE.SOB", nullptr), 2);
  EXPECT_EQ(files_->LocateFile(path, std::string(300, 'n').c_str(), nullptr), 1);
}

// An archive mounted at its folder serves the names below that folder, however the base folder
// was written, and one mounted at its name the names below that: a name in half-width kana
// (ﾃｽﾄ, C3 BD C4) ends at the separator or the dot after it.
TEST_F(FileSystemTest, AnArchiveInAFolderNamedInHalfWidthKanaServesTheNamesBelowIt) {
  RegisterFakeDecoder();
  game_.WriteFile("ﾃｽﾄ/PATCH.FAK", MakeFakeArchive({{"script\\a.sob", "patch"}}));
  game_.WriteFile("ﾃｽﾄ/ﾃｽﾄ.FAK", MakeFakeArchive({{"b.sob", "named"}}));
  const std::string folder = game_.EnginePath("\xC3\xBD\xC4");
  for (const std::string& base : {folder, folder + "\\"}) {
    ASSERT_EQ(SetBaseFolder(base.c_str()), 0u);
    ASSERT_EQ(files_->MountArchive("PATCH.FAK", -2, 0, true, nullptr), 0u);
    EXPECT_EQ(Read("SCRIPT\\A.SOB"), "patch") << base;
    ASSERT_EQ(files_->MountArchive("\xC3\xBD\xC4.FAK", -2, 1, true, nullptr), 0u);
    EXPECT_EQ(Read("\xC3\xBD\xC4\\B.SOB"), "named") << base;
    files_->UnmountAll();
  }
}

TEST_F(FileSystemTest, ALooseFileThatCannotBeReadEndsTheSearch) {
  RegisterFakeDecoder();
  game_.WriteFile("A.FAK", MakeFakeArchive({{"data\\folder", "archived"}, {"data\\empty.bin", "archived"}}));
  game_.MakeFolder("data/folder");
  game_.WriteFile("data/empty.bin", "");
  ASSERT_EQ(files_->MountArchive("A.FAK", -2, 0, true, nullptr), 0u);
  // The layer's own target refuses a size of 0: the allocation fails and no archive is asked.
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
  EXPECT_EQ(files_->ReadFile("DATA\\EMPTY.BIN", target, nullptr), 8u);
  EXPECT_TRUE(archive_log_->requests.empty());
  // A folder does not open as a file; the archive's entry of that name is found.
  EXPECT_EQ(Read("DATA\\FOLDER"), "archived");
}

TEST_F(FileSystemTest, StreamsFallBackToMemoryForEntriesThatCannotStream) {
  RegisterFakeDecoder();
  game_.WriteFile("A.FAK", MakeFakeArchive({{"plain.txt", "plain"}, {"!packed.txt", "packed"}}));
  game_.WriteFile("loose.txt", "loose");
  ASSERT_EQ(files_->MountArchive("A.FAK", -2, 0, true, nullptr), 0u);
  int error = -1;
  char path[kMaxPath];
  RefPtr<CReadStream> loose = files_->OpenStream("LOOSE.TXT", path, &error, false);
  ASSERT_TRUE(loose);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(loose->GetSize(), 5u);
  EXPECT_EQ(loose->GetBuffer(), nullptr);  // a file stream

  EXPECT_TRUE(files_->OpenStream("PLAIN.TXT", nullptr, &error, false));
  EXPECT_FALSE(files_->OpenStream("PACKED.TXT", nullptr, &error, false));
  EXPECT_EQ(error, 3);
  RefPtr<CReadStream> packed = files_->OpenStream("PACKED.TXT", path, &error, true);
  ASSERT_TRUE(packed);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(packed->GetBuffer()), packed->GetSize()), "packed");
  EXPECT_EQ(std::string(path), Lower(game_.EnginePath("packed.txt")));
  EXPECT_FALSE(files_->OpenStream(std::string(300, 'n').c_str(), nullptr, &error, true));
  EXPECT_EQ(error, 5);
}

TEST_F(FileSystemTest, SearchFolderList) {
  EXPECT_EQ(files_->GetSearchFolder(-1), std::nullopt);
  EXPECT_EQ(files_->RemoveSearchFolder(nullptr, -1), -1);
  ASSERT_EQ(files_->AddSearchFolder("One", true), 0u);
  ASSERT_EQ(files_->AddSearchFolder("Two/", true), 0u);
  ASSERT_EQ(files_->AddSearchFolder("Zero", false), 0u);
  EXPECT_EQ(files_->GetSearchFolderCount(), 3u);
  EXPECT_EQ(files_->GetSearchFolder(0), Lower(game_.EnginePath("zero\\")));
  EXPECT_EQ(files_->GetSearchFolder(-1), Lower(game_.EnginePath("two\\")));
  EXPECT_EQ(files_->GetSearchFolder(3), std::nullopt);
  EXPECT_EQ(files_->AddSearchFolder(std::string(300, 'x').c_str(), true), 1u);
  EXPECT_EQ(files_->RemoveSearchFolder("ONE\\", 0), 0);
  EXPECT_EQ(files_->RemoveSearchFolder("ONE\\", 0), -1);
  EXPECT_EQ(files_->RemoveSearchFolder(nullptr, 5), -1);
  EXPECT_EQ(files_->RemoveSearchFolder(nullptr, -1), 0);
  EXPECT_EQ(files_->GetSearchFolder(-1), Lower(game_.EnginePath("zero\\")));
  files_->ClearSearchFolders();
  EXPECT_EQ(files_->GetSearchFolderCount(), 0u);
}

TEST_F(FileSystemTest, FindFileAndOpenFileHandleStatuses) {
  game_.WriteFile("extra/only.txt", "x");
  ASSERT_EQ(files_->AddSearchFolder("extra", true), 0u);
  char path[kMaxPath];
  plat::FindData data;
  EXPECT_EQ(files_->FindFile(path, "ONLY.TXT", &data), 0u);
  EXPECT_STREQ(data.file_name, "only.txt");
  EXPECT_EQ(files_->FindFile(path, "NONE.TXT", nullptr), 3u);
  EXPECT_EQ(std::string(path), Lower(game_.EnginePath("extra\\")) + "NONE.TXT");  // the path tried last
  EXPECT_EQ(files_->FindFile(path, game_.EnginePath("NONE.TXT").c_str(), nullptr), 2u);
  EXPECT_EQ(files_->FindFile(path, std::string(300, 'n').c_str(), nullptr), 1u);

  plat::FileHandle handle;
  EXPECT_EQ(files_->OpenFileHandle(handle, "only.txt", true, path), 0u);
  EXPECT_TRUE(handle.IsOpen());
  EXPECT_EQ(files_->OpenFileHandle(handle, "none.txt", false, nullptr), 2u);
  EXPECT_FALSE(handle.IsOpen());
  EXPECT_EQ(files_->OpenFileHandle(handle, game_.EnginePath("none.txt").c_str(), false, nullptr), 1u);
}

TEST_F(FileSystemTest, MountStatusesAndUnmounting) {
  EXPECT_EQ(files_->MountArchive("NONE.FAK", 1, 0, true, nullptr), 5u);
  game_.WriteFile("A.FAK", MakeFakeArchive({{"a", "1"}}));
  EXPECT_EQ(files_->MountArchive("A.FAK", 1, 0, true, nullptr), 1u);  // no decoder at all
  RegisterFakeDecoder();
  game_.WriteFile("BAD.FAK", "not an archive");
  EXPECT_EQ(files_->MountArchive("BAD.FAK", 1, 0, true, nullptr), 11u);  // the decoder's own status
  game_.WriteFile("A.OTHER", MakeFakeArchive({{"a", "1"}}));
  CArchive* archive = nullptr;
  EXPECT_EQ(files_->MountArchive("A.OTHER", 1, 1, true, &archive), 0u);  // every decoder is tried
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(files_->GetArchive(1, 0), archive);
  EXPECT_EQ(files_->MountArchive("A.FAK", 2, 1, true, nullptr), 0u);
  EXPECT_EQ(files_->MountArchive("A.FAK", 3, 0, true, nullptr), 0u);
  EXPECT_EQ(files_->GetMountPoint(-1, -1), Lower(game_.EnginePath()));
  EXPECT_EQ(files_->GetMountPoint(2, 0), Lower(game_.EnginePath("a\\")));
  EXPECT_EQ(files_->GetMountPoint(-1, 3), std::nullopt);

  char path[kMaxPath];
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kAccepted);
  EXPECT_EQ(files_->ReadArchiveEntry(2, 12, nullptr, target, path), 3u);  // the archive's status
  EXPECT_EQ(files_->ReadArchiveEntry(2, -1, "a", target, path), 0u);
  EXPECT_EQ(std::string(path), Lower(game_.EnginePath("a\\")) + "a");
  EXPECT_EQ(files_->ReadArchiveEntry(9, 0, nullptr, target, path), 3u);

  files_->UnmountArchive(nullptr, 2, 0);  // the first record with id 2
  EXPECT_EQ(files_->GetMountPoint(2, 0), std::nullopt);
  files_->UnmountArchive(files_->GetMountPoint(1, 0)->c_str(), 0, 0);
  EXPECT_EQ(files_->GetMountCount(), 1u);
  files_->UnmountArchive(nullptr, -2, 5);
  EXPECT_EQ(files_->GetMountCount(), 1u);
  files_->UnmountArchive(nullptr, -2, -1);
  EXPECT_EQ(files_->GetMountCount(), 0u);
}

TEST_F(FileSystemTest, NumberedEntriesNameTheirPathByNumber) {
  RegisterFakeDecoder();
  std::map<std::string, std::string> entries;
  for (int i = 0; i < 13; ++i) entries[std::string(1, static_cast<char>('a' + i))] = std::to_string(i);
  game_.WriteFile("N.FAK", MakeFakeArchive(entries));
  ASSERT_EQ(files_->MountArchive("N.FAK", 4, 0, true, nullptr), 0u);
  char path[kMaxPath];
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kAccepted);
  ASSERT_EQ(files_->ReadArchiveEntry(4, 12, nullptr, target, path), 0u);
  EXPECT_EQ(std::string(path), Lower(game_.EnginePath()) + "000012.DAT");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.Detach().get()), target.GetSize()), "12");
}

TEST_F(FileSystemTest, ReadersRunWhileTheGameThreadMounts) {
  RegisterFakeDecoder();
  game_.WriteFile("script/a.sob", "loose");
  for (int i = 0; i < 8; ++i) game_.WriteFile("M" + std::to_string(i) + ".FAK", MakeFakeArchive({{"x", "y"}}));
  constexpr int kReads = 300;
  std::atomic<bool> done = false;
  int good_reads = 0;
  std::thread reader([&] {
    for (int read = 0; read < kReads; ++read) {
      CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kAccepted);
      if (files_->ReadFile("SCRIPT\\A.SOB", target, nullptr) == 0 && target.GetSize() == 5) ++good_reads;
    }
    done = true;
  });
  int rounds = 0;
  while (!done || rounds == 0) {
    for (int i = 0; i < 8; ++i) files_->MountArchive(("M" + std::to_string(i) + ".FAK").c_str(), i, i % 2, i % 3 == 0, nullptr);
    files_->UnmountAll();
    ++rounds;
  }
  reader.join();
  EXPECT_EQ(good_reads, kReads);
  EXPECT_EQ(files_->GetMountCount(), 0u);
}

}  // namespace
