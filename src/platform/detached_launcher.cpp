#include "platform/detached_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

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

}  // namespace

void DetachedLauncher::Start(const std::string& commandLine) {
  QStringList arguments = QProcess::splitCommand(QString::fromStdString(commandLine));
  if (arguments.isEmpty() || arguments.first().isEmpty())
    throw engine::HostFailure(engine::FailureKind::ProgramNotStartable, "no program in \"" + commandLine + "\"");
  const QString program = ResolveProgram(arguments.takeFirst());
  if (!QProcess::startDetached(program, arguments, QDir::currentPath()))
    throw engine::HostFailure(engine::FailureKind::ProgramNotStartable, program.toStdString());
}

}  // namespace platform
