#pragma once

#include <cstdlib>
#include <functional>
#include <string>

#ifndef _WIN32  // Windows has no user nobody and no permissions that stop its user: the body runs as that user.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `body` as the user nobody (root ignores permissions) in a child process and returns
// what it returns; a user other than root runs it here. Only for programs without threads.
inline std::string AsNobody(const std::function<std::string()>& body) {
  if (::geteuid() != 0) return body();
  int pipe[2];
  if (::pipe(pipe) != 0) return "no pipe";
  if (::fork() == 0) {
    const bool nobody = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
    const std::string result = nobody ? body() : "cannot become nobody";
    (void)!::write(pipe[1], result.data(), result.size());
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string result;
  char chunk[4096];
  for (ssize_t got; (got = ::read(pipe[0], chunk, sizeof chunk)) > 0;)
    result.append(chunk, static_cast<std::size_t>(got));
  ::close(pipe[0]);
  ::wait(nullptr);
  return result;
}
#else
inline std::string AsNobody(const std::function<std::string()>& body) { return body(); }
#endif

// A change to the machine made by a shell command and undone at the end; `made` when allowed.
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
