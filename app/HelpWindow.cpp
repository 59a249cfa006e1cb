#include "app/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The pages live in the core library; a static library registers them only when asked.
static void InitHelpResources() { Q_INIT_RESOURCE(frame); }

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitHelpResources();
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("ソラメモ ヘルプ"));
  resize(560, 480);
  Browser = new QTextBrowser(this);
  Browser->setObjectName(QStringLiteral("HelpBrowser"));
  Browser->setOpenLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Browser);
  connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
    setWindowTitle(Browser->documentTitle() + QStringLiteral(" - ソラメモ ヘルプ"));
  });
}

QString THelpWindow::HelpFolder(const QString& helpFile) {
  // Only the file-name part counts: the help file is named without a directory.
  return QStringLiteral(":/help/") + QFileInfo(helpFile).fileName();
}

bool THelpWindow::ShowContents(const QString& helpFile) {
  const QString contents = HelpFolder(helpFile) + QStringLiteral("/index.html");
  if (helpFile.isEmpty() || !QFileInfo::exists(contents)) return false;
  Browser->setSource(QUrl(QStringLiteral("qrc") + contents));
  show();
  raise();
  activateWindow();
  return true;
}
