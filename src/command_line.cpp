#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <vector>

namespace {

constexpr const char* kProgram = "glitchforge";

// The options QGuiApplication, QApplication and the X11 platform plugin take for themselves,
// accepted here so that QApplication sees them untouched.
constexpr const char* kQtOptionsWithValue[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "geometry",
                                               "title",
                                               "icon",
                                               "session",
                                               "display",
                                               "name",
                                               "style",
                                               "stylesheet"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "sync",
                                    "nograb",  "dograb",      "testability"};

void AddQtOptions(QCommandLineParser& parser) {
  for (const char* name : kQtOptionsWithValue) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : kQtFlags) {
    QCommandLineOption option(QString::fromLatin1(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
}

int UsageError(const QString& text) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
               qPrintable(text), kProgram);
  return 2;
}

}  // namespace

std::optional<int> HandleCommandLine(int argc, char** argv) {
  // A QCoreApplication needs no display; it works on copies, since it takes some options out of
  // the argument list and QApplication must see them all.
  int count = argc;
  std::vector<char*> copy(argv, argv + argc + 1);
  const QCoreApplication core(count, copy.data());

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "Makes a damaged copy of a game ROM image, one byte range at a time, and starts your\n"
      "emulator on it. Everything else is chosen in the window. Qt's own options, such as\n"
      "-platform NAME, -style NAME and -reverse, are accepted too."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version and exit."));
  parser.addOption(help);
  parser.addOption(version);
  AddQtOptions(parser);

  if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return UsageError(QStringLiteral("Unexpected argument '%1': the ROM and every other option "
                                     "are chosen in the window.")
                          .arg(parser.positionalArguments().constFirst()));
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("Glitchforge %s\n", GLITCHFORGE_VERSION);
    return 0;
  }
#if defined(Q_OS_LINUX)
  // Without this, the X11 plugin fails to connect and aborts the program.
  const bool platformChosen =
      parser.isSet(QStringLiteral("platform")) || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
  if (!platformChosen && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    std::fprintf(stderr,
                 "%s: no display to open the window on: set DISPLAY (or WAYLAND_DISPLAY), "
                 "or give -platform offscreen to run without one.\n",
                 kProgram);
    return 2;
  }
#endif
  return std::nullopt;
}
