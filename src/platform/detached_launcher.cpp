#include "platform/detached_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_WIN)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX  // MinGW's libstdc++ defines it already
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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
// The state letter, session and start time (clock ticks since boot) of a
// process from /proc/PID/stat; no state when there is no such process, '?'
// when that cannot be told.
struct ProcessState {
  char state = 0;
  std::int64_t session = -1;
  std::uint64_t started = 0;
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
  // the state, the parent, the process group, the session, 15 more and the
  // start time.
  const char* end = std::strrchr(text, ')');
  long long parent = 0, group = 0, session = -1;
  unsigned long long started = 0;
  if (end && std::sscanf(end + 1,
                         " %c %lld %lld %lld %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s "
                         "%*s %*s %llu",
                         &state.state, &parent, &group, &session, &started) == 5) {
    state.session = session;
    state.started = started;
  }
  return state;
}

// A process that has ended but is not yet collected by its parent writes no more.
bool Running(const ProcessState& state) {
  return state.state != '\0' && state.state != 'Z' && state.state != 'X';
}

// The ids of the processes there are now; nothing when that cannot be told.
std::optional<std::vector<std::string>> ProcessIds() {
  DIR* proc = ::opendir("/proc");
  if (!proc) return std::nullopt;
  std::vector<std::string> ids;
  while (const dirent* entry = ::readdir(proc)) {
    const std::string name = entry->d_name;
    if (std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      ids.push_back(name);
  }
  ::closedir(proc);
  return ids;
}

// Whether any running process belongs to `session`.
bool SessionRunning(std::int64_t session) {
  const auto ids = ProcessIds();
  return !ids || std::any_of(ids->begin(), ids->end(), [&](const std::string& id) {
    const ProcessState state = StateOf(id);
    return Running(state) && state.session == session;
  });
}

// Sends `signal` to the program started with process id `pid` at `since`,
// and to the processes of its session started no earlier. Each is checked
// through a handle taken before the check, so the signal reaches the process
// checked or none, even when its id goes to another meanwhile. A session id
// is free again only when no process of the session is left; one whose id
// is a running process's own is another session by then. Linux before 5.3
// gives no such handle: nothing is signalled there.
void SignalPrograms(std::int64_t pid, std::int64_t session, std::uint64_t since, int signal) {
  const std::string emulator = std::to_string(pid);
  const ProcessState leader = StateOf(std::to_string(session));
  const bool sessionOurs =
      session > 0 && (leader.state == '\0' || (session == pid && leader.started == since));
  const auto ours = [&](const std::string& id) {
    const ProcessState state = StateOf(id);
    if (!Running(state) || state.started < since) return false;
    return (id == emulator && state.started == since) || (sessionOurs && state.session == session);
  };
  for (const std::string& id : ProcessIds().value_or(std::vector<std::string>{})) {
    if (!ours(id)) continue;
    const int held = static_cast<int>(::syscall(SYS_pidfd_open, std::stoll(id), 0));
    if (held < 0) continue;  // ended meanwhile
    if (ours(id)) ::syscall(SYS_pidfd_send_signal, held, signal, nullptr, 0);
    ::close(held);
  }
}
#else
// Asks the windows of the processes of the job `context` to close. The
// process is held open while it is checked, so its id stays its own.
BOOL CALLBACK CloseWindowOfJob(HWND window, LPARAM context) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return TRUE;
  BOOL inJob = FALSE;
  if (::IsProcessInJob(process, reinterpret_cast<HANDLE>(context), &inJob) && inJob)
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  ::CloseHandle(process);
  return TRUE;
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
  Programs programs{pid};
#if defined(Q_OS_WIN)
  const DWORD id = static_cast<DWORD>(pid);
  started.handle = ::OpenProcess(SYNCHRONIZE | PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, id);
  if (!started.handle) started.handle = ::OpenProcess(SYNCHRONIZE, FALSE, id);
  // The programs it starts from now on join its job; any it started before escape it.
  programs.job = ::CreateJobObjectW(nullptr, nullptr);
  if (programs.job && !::AssignProcessToJobObject(programs.job, started.handle)) {
    ::CloseHandle(programs.job);
    programs.job = nullptr;
  }
#else
  // The detached start gives the program a session of its own; the programs
  // it starts stay in it unless they leave it themselves.
  const ProcessState state = StateOf(std::to_string(pid));
  if (state.session > 0 && state.session != ::getsid(0)) started.session = state.session;
  programs.session = started.session;
  programs.since = state.started;
  // Ended already, or not to be told from a later process with its id.
  if (!Running(state)) programs.pid = 0;
#endif
  started_.push_back(std::move(started));
#if defined(Q_OS_WIN)
  if (previous_ && previous_->job) ::CloseHandle(previous_->job);
#endif
  previous_ = programs;
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

void DetachedLauncher::EndPrevious() {
  if (!previous_) return;
#if defined(Q_OS_WIN)
  if (previous_->job) ::EnumWindows(CloseWindowOfJob, reinterpret_cast<LPARAM>(previous_->job));
#else
  if (previous_->pid > 0)
    SignalPrograms(previous_->pid, previous_->session, previous_->since, SIGTERM);
#endif
  ending_.push_back(*previous_);
  previous_.reset();
  // Graces are of one length: the oldest ends first.
  QTimer::singleShot(grace_, &timers_, [this] { EndForcibly(); });
}

void DetachedLauncher::EndForcibly() {
  if (ending_.empty()) return;
  const Programs programs = ending_.front();
  ending_.erase(ending_.begin());
#if defined(Q_OS_WIN)
  if (programs.job) {
    ::TerminateJobObject(programs.job, 1);
    ::CloseHandle(programs.job);
  }
#else
  if (programs.pid > 0) SignalPrograms(programs.pid, programs.session, programs.since, SIGKILL);
#endif
}

DetachedLauncher::~DetachedLauncher() {
  while (!ending_.empty()) EndForcibly();
#if defined(Q_OS_WIN)
  if (previous_ && previous_->job) ::CloseHandle(previous_->job);
  for (const Started& started : started_) {
    if (started.handle) ::CloseHandle(started.handle);
  }
#endif
}

}  // namespace platform
