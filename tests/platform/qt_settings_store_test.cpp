#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/config_home.h"
#include "support/settings_fakes.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

TEST(QtSettingsStore, TextsRoundTripVerbatimThroughTheFile) {
  const std::vector<std::string> values = {
      "True", "False", "0", "1", "", "C:\\nes\\", "C:\\", "$00,$01,$02,$7F,$FF", "%00001101",
      "'A", "  spaced  ", "\t-2", "a;b", "#not a comment", "[Defaults]", "k=v", "\"quoted\"",
      "@ByteArray(x)", "@Variant(\\0\\0)", "@Invalid()", "line\nbreak", "\\n", "Z\xC3\xBCrich \xE2\x82\xAC",
      "fceux \"%1\" --fullscreen", "a, b", "trailing\\",
  };
  TempDir dir;
  const std::string file = dir / "store.ini";
  {
    QtSettingsStore store(file);
    for (std::size_t i = 0; i < values.size(); ++i) store.Save("Global3", "k" + std::to_string(i), values[i]);
    ASSERT_TRUE(store.Sync());
  }
  QtSettingsStore reread(file);
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(reread.Read("Global3", "k" + std::to_string(i)), values[i]) << values[i];
  }
  EXPECT_EQ(reread.Read("Global3", "missing"), std::nullopt);
  EXPECT_EQ(reread.Read("Global4", "k0"), std::nullopt);
}

TEST(QtSettingsStore, AJobSavedAndSyncedLoadsBackInANewProcessStore) {
  TempDir dir;
  const std::string file = dir / "store.ini";
  settings::RecordingControls saved(settings::UnusualJob());
  {
    QtSettingsStore store(file);
    settings::SaveReg("Global10", "a name", store, saved);
    settings::SaveDefaults(store, saved);
    ASSERT_TRUE(store.Sync());
  }
  QtSettingsStore store(file);
  settings::RecordingControls loaded(engine::FirstRunDefaults());
  settings::LoadReg("Global10", store, loaded);
  for (int i = 0; i < engine::kFieldCount; ++i) {
    EXPECT_EQ(engine::GetField(loaded.job, i), engine::GetField(saved.job, i))
        << engine::kFields[static_cast<std::size_t>(i)].key;
  }
  EXPECT_EQ(store.Read("Global10", "Name"), "a name");
  EXPECT_EQ(store.Read("Defaults", "Name"), "Defaults");
}

TEST(QtSettingsStore, HandEditedValuesFallBackOrReadAsText) {
  TempDir dir;
  const std::string file = dir / "store.ini";
  WriteFile(file,
            "[General]\nstray=1\n"
            "[Defaults]\n"
            "chdir=2\n"
            "optall=maybe\n"
            "optmask=True\n"
            "optrandomseq=yes\n"
            "sequence=$00, $01,$02\n"
            "rom=@Rect(1 2 3 4)\n"
            "emu=@ByteArray(nes.exe)\n"
            "start=\"$0100\"\n"
            "unknownkey=whatever\n"
            "[Unknown Section]\nrom=other.nes\n");
  QtSettingsStore store(file);
  settings::RecordingControls controls;
  settings::RecordingMenus menus;
  settings::Start(store, controls, menus);
  EXPECT_EQ(controls.job.chdir, 1);
  EXPECT_TRUE(controls.job.optall);        // unusable: missing-key default
  EXPECT_TRUE(controls.job.optmask);
  EXPECT_EQ(controls.job.optrandomseq, 0);  // unusable: missing-key default
  EXPECT_EQ(controls.job.sequence, "$00, $01, $02");
  EXPECT_EQ(controls.job.rom, "mario.nes");  // not text: taken as missing
  EXPECT_EQ(controls.job.emu, "nes.exe");
  EXPECT_EQ(controls.job.start, "$0100");
  EXPECT_EQ(controls.job.end, "$2010");
  EXPECT_EQ(menus.captions.size(), 11u);
}

TEST(QtSettingsStore, GarbageAndTruncatedFilesLoadWithoutCrashing) {
  std::mt19937 random(1234);
  TempDir dir;
  for (int round = 0; round < 40; ++round) {
    std::string content;
    if (round % 2 == 0) {
      content = "[Defaults]\nchdir=0\npath=C:\\\\x\\\\\nrom=\"unterminated\nemu=@ByteArray(\noptall=@Variant(\\0\\0\\0\\x7f";
      content.resize(random() % content.size());
    } else {
      content.resize(random() % 4096);
      for (char& c : content) c = static_cast<char>(random());
    }
    const std::string file = dir / ("garbage" + std::to_string(round) + ".ini");
    WriteFile(file, content);
    QtSettingsStore store(file);
    settings::RecordingControls controls;
    settings::LoadReg("Defaults", store, controls);
    ASSERT_EQ(controls.writes.size(), engine::kFields.size());
    for (int check : {controls.job.chdir, controls.job.autocreate, controls.job.optrandomseq,
                      controls.job.optoverwrite}) {
      EXPECT_TRUE(check == 0 || check == 1);
    }
  }
}

TEST(QtSettingsStore, SyncReportsAFileThatCannotBeWritten) {
  TempDir dir;
  WriteFile(dir / "plain", "not a directory");
  QtSettingsStore store(dir / "plain/store.ini");
  store.Save("Defaults", "rom", "mario.nes");
  EXPECT_FALSE(store.Sync());
}

TEST(QtSettingsStore, TheDefaultStoreIsTheUsersConfFile) {
  ASSERT_TRUE(kConfigHomeSet);
  {
    QtSettingsStore store;
    store.Save("Global0", "Name", "mario.nes 1010-2010");
    ASSERT_TRUE(store.Sync());
  }
  const std::filesystem::path file = ConfigHome().path() / "Rom Glitchforge 6.conf";
  ASSERT_TRUE(std::filesystem::exists(file));
  QtSettingsStore again(file.string());
  EXPECT_EQ(again.Read("Global0", "Name"), "mario.nes 1010-2010");
}

}  // namespace
}  // namespace platform
