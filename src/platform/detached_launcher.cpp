#include "platform/detached_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <system_error>

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

[[noreturn]] void Refuse(const std::string& detail) {
  throw engine::HostFailure(engine::FailureKind::ProgramNotStartable, detail);
}

}  // namespace

void DetachedLauncher::Start(const std::string& commandLine, const std::string& dataFile) {
  // The process would get the text only up to the NUL.
  if (commandLine.find('\0') != std::string::npos) Refuse("the command line holds a NUL byte");
  const QString text = QString::fromStdString(commandLine).trimmed();
  QStringList arguments = QProcess::splitCommand(text);
  // The split drops an empty quoted word, which would make the word after "" the program.
  const bool emptyProgram = text.startsWith(u"\"\"") && (text.size() == 2 || text[2].isSpace());
  if (arguments.isEmpty() || emptyProgram) Refuse("no program in \"" + commandLine + "\"");
  const QString named = arguments.takeFirst();
  const QString program = ResolveProgram(named);
  // Whatever its mode bits say: the file the name stands for here, and the one the lookup found.
  if (SameFile(QDir::current().absoluteFilePath(named), dataFile) || SameFile(program, dataFile))
    Refuse("\"" + named.toStdString() + "\" is the output file, not a program");
  if (!QProcess::startDetached(program, arguments, QDir::currentPath()))
    throw engine::HostFailure(engine::FailureKind::ProgramNotStartable, program.toStdString());
}

}  // namespace platform
