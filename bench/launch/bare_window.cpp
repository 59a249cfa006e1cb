// The yardstick for launch.sh: the least a Qt program with a menu bar and a
// text edit does before its window appears.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextEdit>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  QMenu* file = window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->addAction(QStringLiteral("新規作成(&N)"));
  file->addAction(QStringLiteral("終了(&X)"), &app, &QApplication::quit);
  window.menuBar()->addMenu(QStringLiteral("編集(&E)"))->addAction(QStringLiteral("元に戻す(&U)"));
  window.setCentralWidget(new QTextEdit);
  window.resize(680, 510);
  window.show();
  return app.exec();
}
