#include "platform/detached_launcher.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/failure.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Every program here is one script that writes its working directory and each argument, a line each, into the
// pipe `record`. The output file is refused as the program by every name that reaches it, though it is such a
// script; the last start shows it would run.
TEST(DetachedLauncherTest, RefusesTheOutputByEveryNameAndStartsOthersHereWithoutAShell) {
  const TempDir dir;
  const fs::path work = dir.path() / "work", output = work / "CORRUPT.nes";
  const fs::path onPath = dir.path() / "game.nes";
  const std::string record = dir / "record", spaced = dir / "emu dir.sh";
  ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0);
  fs::create_directory(work);
  fs::current_path(work);
  for (const fs::path& script : {output, onPath, fs::path(spaced), work / "emu", work / "true"}) {
    std::ofstream(script) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" << record << "'\n";
    fs::permissions(script, fs::perms::all);
  }
  fs::create_symlink("CORRUPT.nes", work / "link.nes");
  std::ofstream(work / "game.nes") << "data";
  const std::string savedPath = std::getenv("PATH"), here = fs::canonical(work).string() + "\n";
  setenv("PATH", (dir.path().string() + ":" + savedPath).c_str(), 1);
  const auto refused = [](const std::string& detail) { return "Program cannot be started: " + detail; };
  const auto named = [&](const std::string& n) { return refused("\"" + n + "\" is the output file, not a program"); };
  // An empty box, "" or a missing program; the output by a bare name, "./", its full name (as %1 gives it), a
  // link, found on the PATH, and here as no program, though another is on the PATH; after a NUL the program would
  // get "./emu" alone. Then the starts: "true" is also on the PATH.
  const struct {
    std::string line, refused{}, recorded{};
    fs::path data{};  // the output file; none given: work/CORRUPT.nes
  } cases[] = {
      {.line = "", .refused = refused("no program in \"\"")},
      {.line = "\"\"", .refused = refused("no program in \"\"\"\"")},
      {.line = " \"\" emu", .refused = refused("no program in \" \"\" emu\"")},
      {.line = "glitchforge-no-such-emulator x", .refused = refused("glitchforge-no-such-emulator")},
      {.line = " CORRUPT.nes --fullscreen", .refused = named("CORRUPT.nes")},
      {.line = "./CORRUPT.nes", .refused = named("./CORRUPT.nes")},
      {.line = "\"" + output.string() + "\"", .refused = named(output.string())},
      {.line = "link.nes", .refused = named("link.nes")},
      {.line = "game.nes", .refused = named("game.nes"), .data = onPath},
      {.line = "game.nes", .refused = named("game.nes"), .data = work / "game.nes"},
      {.line = std::string("./emu\0 x", 8), .refused = refused("the command line holds a NUL byte")},
      {.line = "\"" + spaced + "\" -fs \"my game.nes\" $HOME 'a;b' back\\slash", .recorded = here + "-fs\nmy game.nes\n$HOME\n'a;b'\nback\\slash\n"},
      {.line = "true CORRUPT.nes", .recorded = here + "CORRUPT.nes\n"},
      {.line = "./CORRUPT.nes", .recorded = here, .data = work / "other.nes"},
  };
  for (const auto& c : cases) {
    std::string refusal;
    std::ostringstream recorded;
    try {
      platform::DetachedLauncher().Start(c.line, c.data.empty() ? output : c.data);
      ::alarm(60);                                // a program that never starts ends the test instead of hanging it
      recorded << std::ifstream(record).rdbuf();  // opens once the program does, reads until it is done
      ::alarm(0);
    } catch (const engine::HostFailure& failure) {
      refusal = failure.what();
      EXPECT_EQ(failure.kind(), engine::FailureKind::ProgramNotStartable) << c.line;
    }
    EXPECT_EQ(refusal, c.refused) << c.line;
    EXPECT_EQ(recorded.str(), c.recorded) << c.line;
  }
  setenv("PATH", savedPath.c_str(), 1);
}

// A handle on the process `pid` that stays that process's own, whoever its parent; -1 when it has ended already.
int HandleOn(int pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

// Whether the process behind `handle` has ended, after waiting `ms` at the most (-1: as long as it runs).
bool Ended(int handle, int ms = 0) {
  pollfd end{.fd = handle, .events = POLLIN, .revents = 0};
  return handle < 0 || ::poll(&end, 1, ms) == 1;
}

// The emulator here waits for a word through a FIFO, leaves a program of its own behind and ends; that program ends
// at the next word. Each tells its process id through another FIFO. The output may be written while either runs.
TEST(DetachedLauncherTest, KnowsWhileAProgramStartedOnTheOutputOrOneThatItStartedMayStillWriteIt) {
  const TempDir dir;
  const std::string go = dir / "go", pid = dir / "pid", emulator = dir / "emulator.sh", output = dir / "CORRUPT.nes";
  ASSERT_EQ(::mkfifo(go.c_str(), 0600) | ::mkfifo(pid.c_str(), 0600), 0);
  std::ofstream(emulator) << "#!/bin/sh\necho $$ > " << pid << "\nread word < " << go << "\n(read word < " << go << ") &\necho $! > " << pid << "\n";
  fs::permissions(emulator, fs::perms::all);
  const auto next = [&] {
    int number = 0;
    std::ifstream(pid) >> number;
    return number;
  };
  const auto word = [&] { std::ofstream(go) << "on\n"; };
  platform::DetachedLauncher launcher;
  launcher.Start(emulator + " " + output, output);
  const int started = next();
  EXPECT_TRUE(launcher.MayStillWrite(output));
  EXPECT_FALSE(launcher.MayStillWrite(dir / "other.nes"));
  word();
  const int left = next();
  ASSERT_TRUE(Ended(HandleOn(started), -1));
  EXPECT_TRUE(launcher.MayStillWrite(output));
  word();
  ASSERT_TRUE(Ended(HandleOn(left), -1));
  EXPECT_FALSE(launcher.MayStillWrite(output));
}

// The stand-in emulator ignores the polite signal, as fceux does, and starts a program of its own, which ignores it
// too; it tells both process ids through a FIFO. Each start but the first is asked to end the one before: the second
// emulator is asked while the first one's grace still runs. The same script started by this test itself, not by the
// launcher, is left.
TEST(DetachedLauncherTest, EndsTheEmulatorStartedBeforeAndItsProgramsButNoOtherProcessOfTheSameName) {
  int argc = 1;
  char name[] = "test_platform", *argv[] = {name, nullptr};
  const QCoreApplication events(argc, argv);  // the graces end on its event loop
  const TempDir dir;
  std::string pids = dir / "pids", emulator = dir / "emulator.sh", output = dir / "CORRUPT.nes";
  ASSERT_EQ(::mkfifo(pids.c_str(), 0600), 0);
  std::ofstream(emulator) << "#!/bin/sh\ntrap '' TERM\nsleep 600 &\necho $$ $! > " << pids << "\nwait\n";
  fs::permissions(emulator, fs::perms::all);
  // A handle on each process told, which stays that process's own.
  const auto told = [&] {
    int emulatorId = 0, programId = 0;
    std::ifstream(pids) >> emulatorId >> programId;
    return std::pair(HandleOn(emulatorId), HandleOn(programId));
  };
  pid_t sameName = 0;
  char* const arguments[] = {emulator.data(), nullptr};
  ASSERT_EQ(::posix_spawn(&sameName, emulator.c_str(), nullptr, nullptr, arguments, environ), 0);
  const auto [unrelated, unrelatedProgram] = told();

  platform::DetachedLauncher launcher(std::chrono::milliseconds(0));
  launcher.Start(emulator + " " + output, output);
  const auto [first, firstProgram] = told();
  launcher.EndPrevious();
  launcher.Start(emulator + " " + output, output);
  const auto [second, secondProgram] = told();
  launcher.EndPrevious();
  launcher.Start("true", output);
  const struct {
    std::string process;
    int handle;
  } gone[] = {{.process = "the first emulator", .handle = first},
              {.process = "the program it started", .handle = firstProgram},
              {.process = "the second emulator", .handle = second},
              {.process = "the program it started", .handle = secondProgram}};
  const auto allGone = [&] { return std::all_of(std::begin(gone), std::end(gone), [&](auto& g) { return Ended(g.handle); }); };
  static_cast<void>(QTest::qWaitFor(allGone, 60000));  // bounded; each is looked at below
  for (const auto& g : gone) EXPECT_TRUE(Ended(g.handle)) << g.process;
  EXPECT_FALSE(Ended(unrelated));
  for (const int handle : {unrelated, unrelatedProgram}) ::syscall(SYS_pidfd_send_signal, handle, SIGKILL, nullptr, 0);
  ::waitpid(sameName, nullptr, 0);
}

}  // namespace
