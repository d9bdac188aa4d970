// The window programs' common run: display check, application, main window, event loop, exit.
#include "platform/window_program.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/render.h"
#include "platform/image_qt.h"
#include "platform/main_window.h"

namespace halvane {

namespace {

int g_signal_pipe[2] = {-1, -1};
const char* g_program_path = "halvane";

const char* base_name(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

[[noreturn]] void no_display(const char* why) {
  std::fprintf(stderr, "%s: %s; start it under a virtual one with: xvfb-run -a %s\n", base_name(g_program_path),
               why, g_program_path);
  std::fflush(stderr);
  std::_Exit(1);
}

bool set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// While the window system is being reached, its own complaints are replaced by one line.
void quiet_start_handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) no_display("cannot open a window: the display is not reachable");
  if (context.category && std::strncmp(context.category, "qt.qpa", 6) == 0) return;
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

void on_termination_signal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t n = write(g_signal_pipe[1], &byte, 1);
}

void close_on_termination_signals() {
  if (pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char drain[16];
    while (read(g_signal_pipe[0], drain, sizeof drain) > 0) {}
    // A modal box runs a loop of its own that a quit would not reach: then end at once.
    MainWindow* window = main_window();
    if (window && !QApplication::activeModalWidget()) {
      window->close();
    } else {
      std::fflush(nullptr);
      std::_Exit(0);
    }
  });
  struct sigaction action {};
  action.sa_handler = on_termination_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

}  // namespace

void start_application(int& argc, char** argv) {
  if (argc > 0 && argv[0]) g_program_path = argv[0];
  // Whoever names a Qt platform knows where the window goes; otherwise an X or Wayland display is needed.
  if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY"))
    no_display("no display to open a window on");

  QCoreApplication::setApplicationName(QStringLiteral("HALVANE"));   // also the X window class
  QGuiApplication::setDesktopFileName(QStringLiteral("halvane"));
  qInstallMessageHandler(quiet_start_handler);
  new QApplication(argc, argv);   // lives until the process ends
  qInstallMessageHandler(nullptr);

  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP"),
                    font.family()});
  QApplication::setFont(font);
  QApplication::setWindowIcon(halvane_icon());
  // The program speaks Japanese whatever the system's language: Qt's own buttons and dialogs too, when
  // Qt's Japanese translation is installed.
  auto* translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  close_on_termination_signals();
}

void run_until_closed() {
  const int code = QApplication::exec();
  std::fflush(nullptr);
  std::_Exit(code);
}

// Says in one line on standard error which pictures could not be found: the game still works (on a plain
// surface, without the missing pieces), but the user should know why the board looks bare.
static void report_missing_pictures(bool wallpaper_found, const GameState& gs) {
  int missing_pieces = 0;
  for (int code = 0; code < 32; ++code) {
    const int kind = code & 15;
    if (kind != 12 && kind != 15 && !gs.view.piece_images[code]) ++missing_pieces;
  }
  if (wallpaper_found && missing_pieces == 0) return;
  std::fprintf(stderr, "%s: missing pictures:%s", base_name(g_program_path), wallpaper_found ? "" : " wallpaper.jpg");
  if (missing_pieces) std::fprintf(stderr, " %d of the 28 piece pictures in koma/", missing_pieces);
  std::fprintf(stderr, " (looked in the current directory, beside the program and in share/halvane)\n");
}

void run_window_program(int argc, char** argv, GameState& gs, Engine& e, const Strength& strength) {
  static int arg_count;   // QApplication keeps a reference to it
  arg_count = argc;
  start_application(arg_count, argv);
  const bool wallpaper_found = load_back_buffer();
  MainWindow* window = open_main_window(gs, e, strength);
  report_missing_pictures(wallpaper_found, gs);
  window->show();
  run_until_closed();
}

}  // namespace halvane
