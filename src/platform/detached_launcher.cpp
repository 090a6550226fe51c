#include "platform/detached_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_WIN)
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

#include "engine/failure.h"

namespace platform {
namespace {

bool HasDirectoryPart(const QString& program) {
#if defined(Q_OS_WIN)
  return program.contains(u'/') || program.contains(u'\\') || program.contains(u':');
#else
  return program.contains(u'/');
#endif
}

// A bare program name is looked for in the current directory first, as on
// Windows, then on the PATH. Anything else is used as given.
QString ResolveProgram(const QString& program) {
  if (HasDirectoryPart(program)) return program;
  const QFileInfo local(QDir::current(), program);
  if (local.isFile() && local.isExecutable()) return local.absoluteFilePath();
  const QString onPath = QStandardPaths::findExecutable(program);
  return onPath.isEmpty() ? program : onPath;
}

bool SameFile(const QString& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::path(a.toStdString()),
                                     std::filesystem::path(b), error) &&
         !error;
}

// The name a data file is known by: full, links followed, so that a later
// query by another spelling finds it.
std::string FullName(const std::string& dataFile) {
  std::error_code error;
  const auto full = std::filesystem::weakly_canonical(
      std::filesystem::path(
          QDir::current().absoluteFilePath(QString::fromStdString(dataFile)).toStdString()),
      error);
  return error ? dataFile : full.string();
}

#if !defined(Q_OS_WIN)
// The state letter and session of a process from /proc/PID/stat; no state when
// there is no such process, '?' when that cannot be told.
struct ProcessState {
  char state = 0;
  std::int64_t session = -1;
};

ProcessState StateOf(const std::string& pid) {
  const int fd = ::open(("/proc/" + pid + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const bool gone = (errno == ENOENT || errno == ESRCH) && ::access("/proc/self/stat", R_OK) == 0;
    return {gone ? '\0' : '?', -1};
  }
  char text[1024];
  const ssize_t got = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  ProcessState state{'?', -1};
  if (got <= 0) return state;
  text[got] = '\0';
  // The name in brackets may hold anything; the fields after its last ")" are
  // the state, the parent, the process group and the session.
  const char* end = std::strrchr(text, ')');
  long long parent = 0, group = 0, session = -1;
  if (end &&
      std::sscanf(end + 1, " %c %lld %lld %lld", &state.state, &parent, &group, &session) == 4)
    state.session = session;
  return state;
}

// A process that has ended but is not yet collected by its parent writes no more.
bool Running(const ProcessState& state) {
  return state.state != '\0' && state.state != 'Z' && state.state != 'X';
}

// Whether any running process belongs to `session`.
bool SessionRunning(std::int64_t session) {
  DIR* proc = ::opendir("/proc");
  if (!proc) return true;
  bool running = false;
  while (const dirent* entry = ::readdir(proc)) {
    const std::string name = entry->d_name;
    if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const ProcessState state = StateOf(name);
    if (Running(state) && state.session == session) {
      running = true;
      break;
    }
  }
  ::closedir(proc);
  return running;
}
#endif

std::string Quoted(const std::string& text) {
  std::string quoted(1, '"');
  quoted.append(text);
  quoted.push_back('"');
  return quoted;
}

// `place` names the program and says why, as a message's second line shows it.
[[noreturn]] void Refuse(const std::string& detail, const std::string& place) {
  throw engine::HostFailure(engine::FailureKind::ProgramNotStartable, detail, place);
}

// Why `program`, as resolved from `named`, cannot be started, where that can
// be told before trying.
void RequireProgram(const QString& named, const QString& program) {
  const QFileInfo found(program);
  if (!HasDirectoryPart(named) && !found.isAbsolute())
    Refuse(named.toStdString(),
           named.toStdString() + ": no such program in the working folder or on PATH");
  std::string shown = "\"";
  shown += program.toStdString();
  shown += "\": ";
  if (!found.exists()) Refuse(program.toStdString(), shown + "No such file or directory");
  if (found.isDir()) Refuse(program.toStdString(), shown + "is a folder, not a program");
  if (!found.isExecutable())
    Refuse(program.toStdString(), shown + "not a program you may run (no permission to execute)");
}

}  // namespace

void DetachedLauncher::Start(const std::string& commandLine, const std::string& dataFile) {
  // The process would get the text only up to the NUL.
  if (commandLine.find('\0') != std::string::npos)
    Refuse("the command line holds a NUL byte", "the emulator command holds a NUL byte");
  const QString text = QString::fromStdString(commandLine).trimmed();
  QStringList arguments = QProcess::splitCommand(text);
  // The split drops an empty quoted word, which would make the word after "" the program.
  const bool emptyProgram = text.startsWith(u"\"\"") && (text.size() == 2 || text[2].isSpace());
  if (arguments.isEmpty() || emptyProgram)
    Refuse("no program in " + Quoted(commandLine),
           "the emulator command " + Quoted(commandLine) + " names no program");
  const QString named = arguments.takeFirst();
  const QString program = ResolveProgram(named);
  // Whatever its mode bits say: the file the name stands for here, and the one the lookup found.
  if (SameFile(QDir::current().absoluteFilePath(named), dataFile) || SameFile(program, dataFile))
    Refuse(Quoted(named.toStdString()) + " is the output file, not a program",
           Quoted(named.toStdString()) + " is the output file, not a program");
  RequireProgram(named, program);
  qint64 pid = 0;
  if (!QProcess::startDetached(program, arguments, QDir::currentPath(), &pid))
    Refuse(program.toStdString(), Quoted(program.toStdString()) + ": cannot be started");
  Started started{FullName(dataFile), pid};
#if defined(Q_OS_WIN)
  started.handle = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
#else
  // The detached start gives the program a session of its own; the programs
  // it starts stay in it unless they leave it themselves.
  const std::int64_t session = StateOf(std::to_string(pid)).session;
  if (session > 0 && session != ::getsid(0)) started.session = session;
#endif
  started_.push_back(std::move(started));
}

// Programs known to have ended are forgotten on the way.
bool DetachedLauncher::MayStillWrite(const std::string& dataFile) {
  std::erase_if(started_, [](Started& started) {
#if defined(Q_OS_WIN)
    if (!started.handle) return true;  // ended before it could be held, or never ours to wait for
    if (::WaitForSingleObject(started.handle, 0) == WAIT_TIMEOUT) return false;
    ::CloseHandle(started.handle);
    return true;
#else
    if (Running(StateOf(std::to_string(started.pid)))) return false;
    return started.session < 0 || !SessionRunning(started.session);
#endif
  });
  const std::string name = FullName(dataFile);
  return std::any_of(started_.begin(), started_.end(),
                     [&](const Started& started) { return started.dataFile == name; });
}

DetachedLauncher::~DetachedLauncher() {
#if defined(Q_OS_WIN)
  for (const Started& started : started_) {
    if (started.handle) ::CloseHandle(started.handle);
  }
#endif
}

}  // namespace platform
