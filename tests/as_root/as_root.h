#pragma once

// Tests that change the machine: they mount small file systems, make files immutable and run parts as the
// user nobody, since file permissions do not stop root. They run as root and are skipped for anyone else.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

class AsRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "runs as root only: it mounts file systems and runs parts as the user nobody";
  }
};

// Runs `body` as the user nobody in a child process and returns the texts it returns. Only for programs without
// threads.
inline std::vector<std::string> AsNobody(const std::function<std::vector<std::string>()>& body) {
  int pipe[2];
  if (::pipe(pipe) != 0) return {"no pipe"};
  if (::fork() == 0) {
    const bool nobody = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
    for (const std::string& text : nobody ? body() : std::vector<std::string>{"cannot become nobody"})
      (void)!::write(pipe[1], text.c_str(), text.size() + 1);  // each ends with its NUL
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string all;
  char chunk[4096];
  for (ssize_t got; (got = ::read(pipe[0], chunk, sizeof chunk)) > 0;) all.append(chunk, static_cast<std::size_t>(got));
  ::close(pipe[0]);
  ::wait(nullptr);
  std::vector<std::string> texts;
  for (std::size_t at = 0; at < all.size(); at = all.find('\0', at) + 1) texts.push_back(all.c_str() + at);
  return texts;
}

// A change to the machine made by a shell command and undone at the end; `made` when it could be made.
class Spoiled {
 public:
  Spoiled(const std::string& make, std::string undo)
      : made(std::system((make + " 2>/dev/null").c_str()) == 0), undo_(std::move(undo)) {}
  ~Spoiled() {
    if (made) (void)!std::system(undo_.c_str());
  }
  const bool made;

 private:
  std::string undo_;
};
