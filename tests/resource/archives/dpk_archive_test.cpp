#include "resource/archives/dpk_archive.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "base/text/sjis_case.h"
#include "resource/archives/dpk_status.h"
#include "support/dpk_fixture.h"

namespace {

using kvxtools::DpkWriter;
using kvxtools::DpkWriterOptions;
using test_support::AsText;

struct SampleEntry {
  std::string name;
  std::string data;
  bool nibbles;
};

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

std::string Repetitive(std::size_t size) {
  std::string text;
  while (text.size() < size) text += "KVX! line " + std::to_string(text.size() % 97) + " of a script\n";
  return text.substr(0, size);
}

// Entries of many sizes around the scrambled head (256 bytes after the prefix); all begin with
// "KVX!", so a common prefix is found, and one is nothing but the prefix.
std::vector<SampleEntry> SampleEntries() {
  return {
      {"SCRIPT\\MAIN.SOB", Repetitive(5000), false},
      {"script\\Func_Lib.sob", "KVX!" + RandomBytes(3000, 1), true},
      {"Pic\\\x83\x65\x83\x58\x83\x67.ELG", "KVX!" + RandomBytes(257, 2), false},  // a two-byte name
      {"a", "KVX!", false},
      {"ab", "KVX!x", true},
      {"abc.txt", "KVX!" + RandomBytes(255, 3), true},
      {"b.dat", "KVX!" + RandomBytes(256, 4), false},
      {"c.dat", "KVX!" + Repetitive(300), true},
      {"d.dat", "KVX!1234567", false},
      {"e.dat", "KVX!" + Repetitive(70000), false},
  };
}

DpkWriterOptions MatrixOptions(int flags) {
  DpkWriterOptions options = test_support::DpkTest::Options();
  options.names = (flags & 1) != 0;
  options.wide_tree = (flags & 2) != 0;
  options.units = (flags & 4) != 0;
  options.long_records = (flags & 8) != 0;
  options.common_prefix = (flags & 16) != 0;
  options.scramble = (flags & 32) != 0;
  options.pack = options.long_records && (flags & 64) != 0;
  options.fifth_flag = (flags & 64) != 0;
  return options;
}

class DpkArchiveTest : public test_support::DpkTest {
 protected:
  // Writes the sample entries with `options` as "TEST.DPK" and opens it.
  RefPtr<CArchive> WriteSample(const DpkWriterOptions& options, kvxtools::DpkLayout* layout = nullptr) {
    DpkWriter writer(options);
    for (const SampleEntry& entry : SampleEntries()) writer.Add(entry.name, entry.data, entry.nibbles);
    Write(writer, "TEST.DPK", layout);
    int error = -1;
    RefPtr<CArchive> archive = Open("TEST.DPK", &error);
    EXPECT_EQ(error, 0);
    return archive;
  }
};

class DpkFlagMatrixTest : public DpkArchiveTest, public ::testing::WithParamInterface<int> {};

TEST_P(DpkFlagMatrixTest, EveryEntryReadsBackByNameByNumberAndAsAStream) {
  const DpkWriterOptions options = MatrixOptions(GetParam());
  kvxtools::DpkLayout layout;
  const RefPtr<CArchive> archive = WriteSample(options, &layout);
  ASSERT_TRUE(archive);
  const std::vector<SampleEntry> samples = SampleEntries();
  ASSERT_EQ(archive->GetEntryCount(), samples.size());
  ASSERT_EQ(archive->GetEntryInfoTable().size(), samples.size());
  // The forms asked for are really in the file.
  EXPECT_EQ(layout.entries[0].packed, options.pack);
  EXPECT_EQ(layout.index[layout.prefix_offset], options.common_prefix ? 4 : 0);

  for (std::uint32_t number = 0; number < samples.size(); ++number) {
    const SampleEntry& sample = samples[number];
    SCOPED_TRACE(sample.name);
    std::int32_t status = -1;
    EXPECT_EQ(ReadEntry(*archive, number, &status), sample.data);
    EXPECT_EQ(status, 0);

    std::string lower = sample.name;
    LowerSjis(lower);
    std::string upper = sample.name;
    UpperSjis(upper);
    const char* name = nullptr;
    const ArchiveEntryInfo* info = archive->GetEntryInfo(number, &name);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->number, number);
    EXPECT_EQ(info->size, sample.data.size());
    EXPECT_EQ(info->stored_size, layout.entries[number].stored_size);
    EXPECT_EQ(info->offset, layout.entries[number].offset);
    EXPECT_EQ(info->flags, sample.nibbles ? 1 : 0);
    EXPECT_EQ(info->has_unpacked_size, layout.entries[number].packed ? 1 : 0);
    if (options.units) {
      EXPECT_EQ(info->offset % 2048, 0u);
    }

    if (options.names) {
      EXPECT_STREQ(name, lower.c_str());
      EXPECT_TRUE(archive->HasEntry(upper.c_str()));
      EXPECT_EQ(ReadEntryByName(*archive, upper.c_str()), sample.data);
      EXPECT_EQ(archive->GetEntryInfoByName(upper.c_str()), info);
    } else {
      char number_name[16];
      std::snprintf(number_name, sizeof number_name, "%06u.DAT", number);
      EXPECT_STREQ(name, number_name);
      EXPECT_FALSE(archive->HasEntry(sample.name.c_str()));
      ReadEntryByName(*archive, sample.name.c_str(), &status);
      EXPECT_EQ(status, kDpkNotFound);
    }

    int error = -1;
    const RefPtr<CReadStream> stream = archive->OpenEntryStream(number, &error);
    if (layout.entries[number].packed) {
      EXPECT_FALSE(stream);
      EXPECT_EQ(error, kArchiveNotStreamable);
    } else {
      ASSERT_TRUE(stream);
      EXPECT_EQ(error, 0);
      EXPECT_EQ(stream->GetSize(), sample.data.size());
      EXPECT_EQ(ReadRest(*stream, 100), sample.data);
      EXPECT_TRUE(stream->IsEof());
    }
  }
  EXPECT_EQ(ReadEntry(*archive, static_cast<std::uint32_t>(samples.size()), nullptr), "");
  EXPECT_FALSE(archive->HasEntry("missing"));
}

INSTANTIATE_TEST_SUITE_P(AllForms, DpkFlagMatrixTest, ::testing::Range(0, 128));

TEST_F(DpkArchiveTest, AStreamOverAScrambledEntryMatchesTheWholeReadAtEveryOffset) {
  DpkWriterOptions options = Options();
  options.scramble = true;
  options.common_prefix = true;
  DpkWriter writer(options);
  const std::string data = "PFX" + RandomBytes(700, 9);
  writer.Add("plain", data);
  writer.Add("nibbled", "PFX" + RandomBytes(400, 10), true);
  Write(writer, "SCRAMBLE.DPK");
  const RefPtr<CArchive> archive = Open("SCRAMBLE.DPK");
  ASSERT_TRUE(archive);

  for (std::uint32_t number = 0; number < 2; ++number) {
    const std::string whole = ReadEntry(*archive, number);
    ASSERT_FALSE(whole.empty());
    const RefPtr<CReadStream> stream = archive->OpenEntryStream(number, nullptr);
    ASSERT_TRUE(stream);
    // The head ends 256 bytes after the 3-byte prefix; pieces of 1, 7 and 300 bytes cross it.
    for (const std::uint32_t piece : {1u, 7u, 300u}) {
      for (std::uint32_t offset = 0; offset <= whole.size(); ++offset) {
        ASSERT_EQ(stream->SeekBegin(offset), 0u);
        std::string got(piece, '\0');
        got.resize(stream->Read(got.data(), piece));
        ASSERT_EQ(got, whole.substr(offset, piece)) << "entry " << number << " offset " << offset;
        ASSERT_EQ(stream->Tell(), offset + got.size());
      }
    }
  }
}

TEST_F(DpkArchiveTest, StreamsClampTheirPositionsToTheEntry) {
  DpkWriter writer(Options());
  writer.Add("ten", "0123456789");
  Write(writer, "SEEK.DPK");
  const RefPtr<CArchive> archive = Open("SEEK.DPK");
  ASSERT_TRUE(archive);
  const RefPtr<CReadStream> stream = archive->OpenEntryStreamByName("TEN", nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->GetBuffer(), nullptr);
  char buffer[16];
  EXPECT_EQ(stream->SeekBegin(50), 0u);
  EXPECT_EQ(stream->Tell(), 10u);
  EXPECT_TRUE(stream->IsEof());
  EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u);
  stream->SeekEnd(3);
  EXPECT_EQ(ReadRest(*stream), "789");
  stream->SeekEnd(30);
  EXPECT_EQ(stream->Tell(), 0u);
  stream->SeekCurrent(4);
  stream->SeekCurrent(-2);
  EXPECT_EQ(ReadRest(*stream), "23456789");
  stream->SeekCurrent(-100);
  EXPECT_EQ(stream->Tell(), 0u);
  stream->SeekCurrent(100);
  EXPECT_EQ(stream->Tell(), 10u);

  int error = -1;
  EXPECT_FALSE(archive->OpenEntryStreamByName("eleven", &error));
  EXPECT_EQ(error, kDpkNotFound);
  EXPECT_FALSE(archive->OpenEntryStream(1, &error));
  EXPECT_EQ(error, kDpkNotFound);
}

TEST_F(DpkArchiveTest, EmptyEntriesReadAsStatusTwoAndDoNotStream) {
  DpkWriter writer(Options());
  writer.Add("empty", "");
  Write(writer, "EMPTY.DPK");
  const RefPtr<CArchive> archive = Open("EMPTY.DPK");
  ASSERT_TRUE(archive);
  std::int32_t status = -1;
  ReadEntry(*archive, 0, &status);
  EXPECT_EQ(status, kDpkEmptyEntry);
  int error = -1;
  EXPECT_FALSE(archive->OpenEntryStream(0, &error));
  EXPECT_EQ(error, kArchiveNotStreamable);
}

TEST_F(DpkArchiveTest, ReadsReportProgressAndLeaveTablesOutUnlessAsked) {
  {
    test_support::ScopedDpkSettings no_tables({false, test_support::kTestDpkKeys});
    DpkWriter writer(Options());
    writer.Add("one", "1");
    Write(writer, "PLAIN.DPK");
    const RefPtr<CArchive> archive = Open("PLAIN.DPK");
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->GetEntryInfoTable().empty());
    EXPECT_EQ(archive->GetEntryInfo(0, nullptr), nullptr);
    EXPECT_EQ(archive->GetEntryInfoByName("one"), nullptr);
    EXPECT_TRUE(archive->HasEntry("ONE"));

    std::vector<std::pair<int, int>> steps;
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
    EXPECT_EQ(archive->ReadEntryByName("one", target,
                                       [&](std::int32_t step, std::int32_t total) { steps.emplace_back(step, total); }),
              0);
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
  }
}

TEST_F(DpkArchiveTest, TheKeyWordsMustMatchTheArchive) {
  DpkWriter writer(Options());
  writer.Add("one", "1");
  Write(writer, "KEYED.DPK");
  ASSERT_TRUE(Open("KEYED.DPK"));
  {
    test_support::ScopedDpkSettings other_keys({true, {0x1111, 0x2222}});
    int error = 0;
    EXPECT_FALSE(Open("KEYED.DPK", &error));
    EXPECT_NE(error, 0);
  }
  // The base name keys the cipher too.
  std::filesystem::rename(game_.HostPath() + "KEYED.DPK", game_.HostPath() + "OTHER.DPK");
  EXPECT_FALSE(Open("OTHER.DPK"));
  std::filesystem::rename(game_.HostPath() + "OTHER.DPK", game_.HostPath() + "keyed.dpk");
  EXPECT_TRUE(Open("keyed.dpk"));  // ... upper-cased
}

TEST_F(DpkArchiveTest, AssistEntriesSetTheProgramWideSettings) {
  ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
  const PluginAssistFunc2 assist2 = files_->GetAssistFunc2(1);
  ASSERT_NE(assist2, nullptr);
  const PluginArgList keys{kDpkAssistKeyWords, 0xAAAA0001u, 0xBBBB0002u};
  const PluginArgs key_args = keys.View();
  EXPECT_EQ(assist2(&key_args), 0);
  EXPECT_EQ(GetDpkDecoderSettings().keys, (DpkKeyWords{0xAAAA0001u, 0xBBBB0002u}));

  const PluginArgList tables{0x100u};  // only the low byte counts
  const PluginArgs table_args = tables.View();
  EXPECT_EQ(decoder_.AssistFunc(kDpkAssistBuildTables, table_args), 0);
  EXPECT_FALSE(GetDpkDecoderSettings().build_tables);
  const PluginArgList unknown{7u};
  const PluginArgs unknown_args = unknown.View();
  EXPECT_EQ(assist2(&unknown_args), kDpkBadArgument);
  EXPECT_EQ(DpkAssistFunc2(nullptr), kDpkBadArgument);
}

TEST_F(DpkArchiveTest, TwoThreadsReadOneArchiveAtOnce) {
  DpkWriterOptions options = Options();
  options.long_records = options.pack = options.scramble = true;
  const RefPtr<CArchive> archive = WriteSample(options);
  ASSERT_TRUE(archive);
  const std::vector<SampleEntry> samples = SampleEntries();
  std::atomic<int> mismatches{0};
  const auto reader = [&] {
    for (int round = 0; round < 20; ++round) {
      for (std::uint32_t number = 0; number < samples.size(); ++number) {
        if (ReadEntry(*archive, number) != samples[number].data) ++mismatches;
        if (const RefPtr<CReadStream> stream = archive->OpenEntryStream(number, nullptr)) {
          if (ReadRest(*stream, 33) != samples[number].data) ++mismatches;
        }
      }
    }
  };
  std::thread first(reader);
  std::thread second(reader);
  first.join();
  second.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(DpkArchiveTest, TheDataFileLayerMountsArchivesAndFallsBackToMemoryForPackedEntries) {
  ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
  DpkWriterOptions options = Options();
  options.long_records = options.pack = true;
  DpkWriter writer(options);
  const std::string packed = Repetitive(4000);
  writer.Add("MAIN.SOB", packed);
  writer.Add("RAW.BIN", RandomBytes(100, 5));
  Write(writer, "SCRIPT.DPK");
  ASSERT_EQ(files_->MountArchive("SCRIPT.DPK", -2, 1, true, nullptr), 0u);

  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
  char path[kMaxPath];
  ASSERT_EQ(files_->ReadFile("SCRIPT\\MAIN.SOB", target, path), 0u);
  const DataBlock block = target.Detach();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.get()), packed.size()), packed);
  EXPECT_EQ(files_->LocateFile(path, "script\\raw.bin", nullptr), -1);

  int error = -1;
  const RefPtr<CReadStream> memory = files_->OpenStream("SCRIPT\\MAIN.SOB", nullptr, &error, true);
  ASSERT_TRUE(memory);
  ASSERT_NE(memory->GetBuffer(), nullptr);  // read whole into a memory stream
  EXPECT_EQ(ReadRest(*memory), packed);
  EXPECT_FALSE(files_->OpenStream("SCRIPT\\MAIN.SOB", nullptr, &error, false));
  EXPECT_EQ(error, 3);
  const RefPtr<CReadStream> direct = files_->OpenStream("SCRIPT\\RAW.BIN", nullptr, &error, false);
  ASSERT_TRUE(direct);
  EXPECT_EQ(direct->GetBuffer(), nullptr);
  EXPECT_EQ(ReadRest(*direct), RandomBytes(100, 5));
}

}  // namespace
