#pragma once
// A stand-in for the main frame in document-window tests: an MDI area in a
// shown main window, and the View check marks the documents set on it.
#include <QMainWindow>
#include <QMdiArea>
#include <QtTest>

#include "document/FrameLink.h"

struct FrameMarks : IFrameLink {
  int count = -1, button = -1, ruler = -1;  // -1: never set
  void SetViewCountChecked(bool c) override { count = c; }
  void SetViewButtonChecked(bool c) override { button = c; }
  void SetViewRulerChecked(bool c) override { ruler = c; }
};

struct DocumentHost {
  QMainWindow window;
  QMdiArea* area = new QMdiArea;
  FrameMarks marks;
  DocumentHost() {
    window.setCentralWidget(area);
    window.resize(900, 700);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }
};
