#pragma once
// The help window: the Japanese help pages bundled with the program.
#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // The resource folder that holds the pages of a help file ("SORA16.HLP").
  static QString HelpFolder(const QString& helpFile);

  // Shows the contents page of the help file and brings the window to the
  // front. False, showing nothing, when no pages exist for that name.
  bool ShowContents(const QString& helpFile);

  QTextBrowser* Browser = nullptr;
};
