#include "app/Startup.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "app/TAboutBox.h"
#include "app/TSoraForm.h"
#include "platform/AppIcon.h"

TAboutBox* AboutBox = nullptr;

TApplicationInfo& Application() {
  static TApplicationInfo info;
  return info;
}

void InstallQtJapanese() {
  auto* qtTexts = new QTranslator(QCoreApplication::instance());
  if (qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qtTexts);
  else
    delete qtTexts;
}

void InitApplication() {
  Application().Title = QStringLiteral("ソラメモ");
  // Not the display name: Qt would append that to every window's title.
  QCoreApplication::setApplicationName(Application().Title);
  Application().HelpFile = QStringLiteral("SORA16.HLP");
  // Ties the windows to the installed launcher (Wayland app id, task bar icon).
  QGuiApplication::setDesktopFileName(QStringLiteral("jp.kazenosha.soramemo"));
  // The title bar and the task bar want 16 to 48 pixels. The icon theme's
  // lookup and the large sizes (decoded, then sent to the X server for every
  // window, the splash included) cost a fifth of the start-up: RunSoraMemo
  // sets the full icon once the frame is on the screen.
  QIcon small;
  const QIcon builtIn = BuiltInApplicationIcon();
  for (const int side : {16, 24, 32, 48}) small.addPixmap(builtIn.pixmap(side));
  QApplication::setWindowIcon(small);

  InstallQtJapanese();

  // The forms name Windows fonts; these stand in for them.
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
  QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("Sans Serif")});
}

void CreateForms() {
  SoraForm = new TSoraForm;
  AboutBox = new TAboutBox;
}

int RunSoraMemo(QApplication& app) {
  InitApplication();
  CreateForms();
  // The frame alone decides when the program ends (the help window may stay open).
  app.setQuitOnLastWindowClosed(false);
  QObject::connect(SoraForm, &TSoraForm::Closed, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  SoraForm->show();
  // Keyboard focus for the frame, so that its shortcuts work from the start
  // even where no window manager hands it over (the splash had the screen).
  SoraForm->activateWindow();
  QTimer::singleShot(TSoraForm::kAfterShown, &app, [] { QApplication::setWindowIcon(ApplicationIcon()); });
  const int status = app.exec();
  delete AboutBox;
  AboutBox = nullptr;
  delete SoraForm;
  SoraForm = nullptr;
  return status;
}
