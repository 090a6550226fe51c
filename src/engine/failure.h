#pragma once

#include <stdexcept>
#include <string>

namespace engine {

// The kinds of failure a host service or the number notation can raise.
enum class FailureKind {
  InvalidArgument,
  Overflow,
  DivisionByZero,
  FileNotFound,       // no file under that name (or a name no file can have)
  FileNotOpenable,    // the file is there but cannot be opened (permissions, a folder, a pipe)
  FileAccess,         // a read or write that did not complete
  PathNotFound,       // the directory or drive does not exist
  PathNotAccessible,  // the directory is there but cannot be entered
  ProgramNotStartable,
  OutOfMemory,
};

// A failure raised by a host service or by Val2. what() is the description
// that the "last error text" shows; it always names the kind of failure.
// place() names the file or program it is about and the system's reason, as
// the second line of a message shows them ("\"mario.nes\": No such file or
// directory"); empty for a failure about no file.
class HostFailure : public std::runtime_error {
 public:
  HostFailure(FailureKind kind, const std::string& detail = {}, std::string place = {});
  FailureKind kind() const { return kind_; }
  const std::string& place() const { return place_; }

 private:
  FailureKind kind_;
  std::string place_;
};

// A failure about the file or folder `path`: its name in quotes (a NUL byte
// written as \0, so that the text is not cut there on its way to a message
// box), then the reason in brackets.
[[noreturn]] void RaiseAbout(FailureKind kind, const std::string& path, const std::string& reason);

// The fixed wording for each kind, e.g. "Overflow", "File not found" or "Cannot open file".
const char* DescribeFailure(FailureKind kind);

// The description of the exception being handled, for use inside a catch
// block: a HostFailure's own text, "Out of memory" for a failed allocation,
// and what() for any other exception. The one place where an exception
// becomes the text the user sees.
std::string DescribeCurrentFailure();

// The second line of a message about the exception being handled: its place
// where it has one, else its description.
std::string PlaceOfCurrentFailure();

}  // namespace engine
