#include "auto/output_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
  const char* rom;
  bool chdir;
  const char* path;
  const char* expected;
};

// The same cases written with the Windows separator and with the Linux one.
const NameCase kBackslashCases[] = {
    {R"(C:\nes\mario.nes)", false, R"(C:\nes\)", R"(C:\nes\CORRUPT.nes)"},
    {R"(C:\nes\mario.nes)", true, R"(c:\NES\)", "CORRUPT.nes"},
    {R"(C:\nes\mario.nes)", true, R"(C:\nes)", R"(C:\nes\CORRUPT.nes)"},
    {R"(C:\nes\mario.nes)", true, R"( C:\nes\)", R"(C:\nes\CORRUPT.nes)"},
    {"mario.nes", false, "", "CORRUPT.nes"},
    {"mario.nes", true, "", "CORRUPT.nes"},
    {"mario.us.nes", false, "", "CORRUPT.nes"},
    {"MARIO.NES", false, "", "CORRUPT.NES"},
    {R"(C:\nes\mario)", false, "", R"(C:\nes\CORRUPT.ROM)"},
    {R"(C:\my.roms\mario)", false, "", R"(C:\my.roms\CORRUPT.ROM)"},
    {".nes", false, "", "CORRUPT.ROM"},
    {R"(C:\nes\.nes)", false, "", R"(C:\nes\CORRUPT.nes)"},
    {"mario.", false, "", "CORRUPT."},
    {"", false, "", "CORRUPT.ROM"},
    {"", true, "", "CORRUPT.ROM"},
    {"C:/nes/mario.nes", false, "", "CORRUPT.nes"},
    {R"(\\server\roms\zelda.fds)", false, "", R"(\\server\roms\CORRUPT.fds)"},
    {R"(C:\nes\mario.nes)", false, R"(C:\nes\)", R"(C:\nes\CORRUPT.nes)"},
    {R"(C:\Été\mario.nes)", true, R"(c:\éTÉ\)", "CORRUPT.nes"},
    {R"(roms\)", false, "", R"(roms\CORRUPT.ROM)"},
};

const NameCase kSlashCases[] = {
    {"/home/ann/nes/mario.nes", false, "/home/ann/nes/", "/home/ann/nes/CORRUPT.nes"},
    {"/home/ann/NES/mario.nes", true, "/HOME/ANN/nes/", "CORRUPT.nes"},
    {"/home/ann/nes/mario.nes", true, "/home/ann/nes", "/home/ann/nes/CORRUPT.nes"},
    {"/home/ann/nes/mario.nes", true, "/home/ann/", "/home/ann/nes/CORRUPT.nes"},
    {"mario.us.nes", false, "", "CORRUPT.nes"},
    {"MARIO.NES", false, "", "CORRUPT.NES"},
    {"/home/ann/nes/mario", false, "", "/home/ann/nes/CORRUPT.ROM"},
    {"/home/ann/my.roms/mario", false, "", "/home/ann/my.roms/CORRUPT.ROM"},
    {".nes", false, "", "CORRUPT.ROM"},
    {"/nes/.nes", false, "", "/nes/CORRUPT.nes"},
    {"mario.", false, "", "CORRUPT."},
    {"", false, "", "CORRUPT.ROM"},
    // A backslash is an ordinary character of a Linux file name.
    {R"(C:\nes\mario.nes)", false, "", "CORRUPT.nes"},
    {R"(/roms/C:\my.dir\mario)", false, "", R"(/roms/CORRUPT.dir\mario)"},
    {"/", false, "", "/CORRUPT.ROM"},
    {"/", true, "/", "CORRUPT.ROM"},
};

TEST(DeriveOutputName, WithBackslashSeparator) {
  for (const auto& c : kBackslashCases) {
    EXPECT_EQ(automode::DeriveOutputName(c.rom, c.chdir, c.path, '\\'), c.expected)
        << "rom=" << c.rom << " chdir=" << c.chdir << " path=" << c.path;
  }
}

TEST(DeriveOutputName, WithSlashSeparator) {
  for (const auto& c : kSlashCases) {
    EXPECT_EQ(automode::DeriveOutputName(c.rom, c.chdir, c.path, '/'), c.expected)
        << "rom=" << c.rom << " chdir=" << c.chdir << " path=" << c.path;
  }
}

TEST(DeriveOutputName, UsesTheHostSeparatorByDefault) {
#ifdef _WIN32
  EXPECT_EQ(automode::DeriveOutputName(R"(C:\nes\mario.nes)", false, ""), R"(C:\nes\CORRUPT.nes)");
#else
  EXPECT_EQ(automode::kNativeSeparator, '/');
  EXPECT_EQ(automode::DeriveOutputName("/roms/mario.nes", false, ""), "/roms/CORRUPT.nes");
#endif
}

TEST(DeriveOutputName, CaseFoldingLeavesOtherBytesAlone) {
  // A lone lead byte at the end and bytes that are not letters must not match
  // by accident or be read past.
  EXPECT_EQ(automode::DeriveOutputName("a\xC3/x.nes", true, "A\xC3/", '/'), "CORRUPT.nes");
  EXPECT_EQ(automode::DeriveOutputName("\xC3\xB7/x.nes", true, "\xC3\x97/", '/'),
            "\xC3\xB7/CORRUPT.nes");
  EXPECT_EQ(automode::DeriveOutputName("x.nes\xC3", false, "", '/'), "CORRUPT.nes\xC3");
}

}  // namespace
