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

using Keys = std::vector<std::string>;

TEST(QtSettingsStore, AJobAndAwkwardTextsComeBackVerbatimFromTheUsersConfFile) {
  const std::vector<std::string> values = {
      "", "C:\\", "  spaced  ", "a;b", "#not a comment", "[Defaults]", "k=v", "\"quoted\"",
      "@ByteArray(x)", "@Variant(\\0\\0)", "@Invalid()", "line\nbreak", "\\n", "Z\xC3\xBCrich \xE2\x82\xAC",
      "a, b", "trailing\\",
  };
  ASSERT_TRUE(kConfigHomeSet);
  settings::RecordingControls saved(settings::UnusualJob());
  {
    QtSettingsStore store;
    settings::SaveReg("Global10", "a name", store, saved);
    for (std::size_t i = 0; i < values.size(); ++i) store.Save("Global0", std::to_string(i), values[i]);
    ASSERT_TRUE(store.Sync());
  }
  QtSettingsStore store((ConfigHome().path() / "Rom Glitchforge 6.conf").string());
  settings::RecordingControls loaded(engine::FirstRunDefaults());
  settings::LoadReg("Global10", store, loaded);
  EXPECT_EQ(settings::DifferingKeys(loaded.job, saved.job), Keys{});
  EXPECT_EQ(store.Read("Global10", "Name"), "a name");
  for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(store.Read("Global0", std::to_string(i)), values[i]);
  EXPECT_EQ(store.Read("Global0", "missing"), std::nullopt);
}

TEST(QtSettingsStore, HandEditedTruncatedAndGarbageFilesLoadWithBadFieldsFallingBack) {
  const std::string edited =
      "[General]\nstray=1\n[Defaults]\nchdir=2\noptall=maybe\noptmask=True\noptrandomseq=yes\n"
      "sequence=$00, $01,$02\nrom=@Rect(1 2 3 4)\nemu=@ByteArray(nes.exe)\nstart=\"$0100\"\n"
      "unknownkey=whatever\n[Unknown Section]\nend=$FFFF\n[Global3]\nName=zelda.nes 0-10\n";
  TempDir dir;
  std::ofstream(dir / "edited.ini") << edited;
  QtSettingsStore store(dir / "edited.ini");
  settings::RecordingControls controls;
  settings::RecordingMenus menus;
  settings::Start(store, controls, menus);
  engine::JobSettings expected = engine::FirstRunDefaults();
  // chdir, optall and optrandomseq take the missing-key default; rom, a rectangle, counts as missing.
  expected.optrandomseq = 0;
  expected.optmask = true;
  expected.sequence = "$00, $01, $02";
  expected.emu = "nes.exe";
  expected.start = "$0100";
  EXPECT_EQ(settings::DifferingKeys(controls.job, expected), Keys{});
  ASSERT_EQ(menus.captions.size(), 11u);
  EXPECT_EQ(menus.captions[3], std::make_pair(3, std::string("&3: zelda.nes 0-10")));

  std::mt19937 random(1234);
  for (int round = 0; round < 40; ++round) {
    std::string content = edited + "[Defaults]\npath=\"unterminated\noptall=@Variant(\\0\\0\\0\\x7f";
    content.resize(random() % (round % 2 ? 4096 : content.size()));
    for (char& c : content) c = round % 2 ? static_cast<char>(random()) : c;
    std::ofstream(dir / "garbage.ini", std::ios::binary) << content;
    QtSettingsStore garbage(dir / "garbage.ini");
    settings::RecordingControls loaded;
    settings::LoadReg("Defaults", garbage, loaded);
    ASSERT_EQ(loaded.writes.size(), engine::kFields.size());
    for (int check : {loaded.job.chdir, loaded.job.autocreate, loaded.job.optrandomseq, loaded.job.optoverwrite})
      EXPECT_LE(check, 1);
  }

  std::ofstream(dir / "plain") << "not a directory";
  QtSettingsStore unwritable(dir / "plain/store.ini");
  unwritable.Save("Defaults", "rom", "mario.nes");
  EXPECT_FALSE(unwritable.Sync());
}

}  // namespace
}  // namespace platform
