#pragma once

// Tests that change the machine (they mount small file systems, make files immutable and run parts as the user
// nobody, since file permissions do not stop root) are in suites named AsRoot...: `ctest -R AsRoot` runs them. They
// run as root and are skipped for anyone else.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

class AsRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "runs as root only: it mounts file systems and runs parts as the user nobody";
  }
};

// Runs `part` as the user nobody on a thread of its own while the test goes on as root: Linux keeps a user for each
// thread, and the bare system calls change this thread's alone, where setuid() would change every thread's.
inline void AsNobody(const std::function<void()>& part) {
  std::thread([&] {
    const long nobody = 65534;
    ASSERT_TRUE(::syscall(SYS_setgroups, 0, nullptr) == 0 && ::syscall(SYS_setresgid, nobody, nobody, nobody) == 0 &&
                ::syscall(SYS_setresuid, nobody, nobody, nobody) == 0);
    part();
  }).join();
}

// A change to the machine made by a shell command and undone at the end; `made` when it could be made.
class Spoiled {
 public:
  Spoiled(const std::string& make, std::string undo) : made(std::system((make + " 2>/dev/null").c_str()) == 0), undo_(std::move(undo)) {}
  ~Spoiled() {
    if (made) (void)!std::system(undo_.c_str());
  }
  const bool made;

 private:
  std::string undo_;
};
