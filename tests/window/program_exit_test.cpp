// How the window programs end: the real binaries on Qt's offscreen platform end with exit code 0 when
// asked to close; the close box and the exit command end the program at once while the computer is
// thinking; without a display the program says so in one line.
#include <signal.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <thread>

#include "app/commands.h"
#include "app/game_state.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "think/think.h"
#include "platform/main_window.h"
#include "platform/window_program.h"
#include "tests/window/window_fixture.h"

using namespace halvane;

namespace {

const char* const CHILD_MODE = "HALVANE_EXIT_TEST_CHILD";

// A position no book knows, with the computer to move: bishops exchanged, two pawns advanced. Its think
// starts at once.
void computer_to_move_out_of_book(GameState& gs, Engine& e) {
  GameRecord record;
  std::string error;
  parse_sfen("lnsgkgsnl/1r7/pppppp1pp/6p2/9/2P6/PP1PPPPPP/7R1/LNSGKGSNL w Bb 1", record.start, error);
  take_record(gs, record);
  gs.flags.started = true;
  gs.flags.paused = false;
  advance_game(gs, e);
}

// The child: the window program's own run, its computer thinking; closed after a moment by the close box
// ("close-box") or by the menu's exit command ("exit-command"), or as soon as the window has seen the think
// begin ("close-while-thinking").
[[noreturn]] void run_child(int argc, char** argv, const QByteArray& mode) {
  start_application(argc, argv);
  MainWindow* window = open_test_window(STRENGTH_GEKIKARA);
  if (!window) std::_Exit(3);
  computer_to_move_out_of_book(g_game, *g_engine_handle);
  if (mode == "close-while-thinking") {
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, window, [window] {
      if (!g_game.flags.thinking) return;
      std::fprintf(stderr, "closing while the computer thinks\n");
      window->close();
    });
    poll->start(5);
    run_until_closed();
  }
  QTimer::singleShot(300, window, [window, mode] {
    if (mode == "close-box") {
      window->close();
      return;
    }
    for (QAction* menu : window->menuBar()->actions())
      for (QAction* item : menu->menu()->actions())
        if (item->data().toInt() == CMD_EXIT) item->trigger();
  });
  run_until_closed();
}

QString program(const char* name) { return QString(HALVANE_BIN_DIR) + "/" + name; }

// Whether the process has its own SIGTERM handler yet (from /proc/<pid>/status).
bool catches_sigterm(qint64 pid) {
  QFile status(QString("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
  return false;
}

QProcessEnvironment environment_without_display() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  return env;
}

}  // namespace

class ProgramExitTest : public QObject {
  Q_OBJECT

 private slots:
  void closingEndsAtOnceWithZero_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::newRow("close box") << QByteArray("close-box");
    QTest::newRow("menu exit command") << QByteArray("exit-command");
    QTest::newRow("close box during a real think") << QByteArray("close-while-thinking");
  }
  void closingEndsAtOnceWithZero() {
    QFETCH(QByteArray, mode);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(CHILD_MODE, QString::fromUtf8(mode));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QVERIFY2(child.waitForFinished(60000), "the program ends although its workers never stop");
    const QByteArray errors = child.readAllStandardError();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(!errors.contains("terminate called") && !errors.contains("QThread"), errors.constData());
    if (mode == "close-while-thinking") QVERIFY(errors.contains("closing while the computer thinks"));
  }

  void programsEndWithZeroWhenAskedToClose_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"halvane-chuukara", "halvane-karakuchi", "halvane-gekikara"}) QTest::newRow(name) << name;
  }
  void programsEndWithZeroWhenAskedToClose() {
    QFETCH(QString, name);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program(qPrintable(name)), {});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catches_sigterm(process.processId()), 30000);
    QTest::qWait(200);
    process.terminate();   // what a session manager sends: close the window
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
  }

  void withoutDisplayOneClearLine_data() {
    QTest::addColumn<QString>("display");
    QTest::newRow("no display set") << QString();
    QTest::newRow("display not reachable") << QString(":197");
  }
  void withoutDisplayOneClearLine() {
    QFETCH(QString, display);
    QProcess process;
    QProcessEnvironment env = environment_without_display();
    if (!display.isEmpty()) env.insert("DISPLAY", display);
    process.setProcessEnvironment(env);
    process.start(program("halvane-gekikara"), {});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QList<QByteArray> lines = process.readAllStandardError().trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith("halvane-gekikara: "), lines[0].constData());
    QVERIFY2(lines[0].contains("xvfb-run -a " + program("halvane-gekikara").toUtf8()), lines[0].constData());
    QVERIFY(process.readAllStandardOutput().isEmpty());
  }
};

int main(int argc, char** argv) {
  if (const char* mode = std::getenv(CHILD_MODE)) run_child(argc, argv, QByteArray(mode));
  QCoreApplication app(argc, argv);
  ProgramExitTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "program_exit_test.moc"
