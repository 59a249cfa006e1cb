#pragma once
// The real main frame as start-up makes it, shown, without command-line
// documents, and a folder for the files a test writes.
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "app/Startup.h"
#include "app/TSoraForm.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"

struct FrameHost {
  QTemporaryDir dir;
  std::unique_ptr<TSoraForm> frame;

  void Start() {
    InitApplication();
    QVERIFY(dir.isValid());
    frame = std::make_unique<TSoraForm>();
    frame->Params.clear();
    frame->show();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
  }
  // Every document goes without being asked about.
  void CloseDocuments() {
    for (TSoraChild* c : frame->Children()) {
      c->Text()->SetModified(false);
      c->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Stop() {
    CloseDocuments();
    frame.reset();
  }
};
