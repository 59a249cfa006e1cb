#pragma once
// Start-up of the program, in one place for main(), the tests and the benchmarks.
#include <QApplication>
#include <QString>

class TAboutBox;

// The application object's settings.
struct TApplicationInfo {
  QString Title;     // the name the desktop shows for the program
  QString HelpFile;  // the help file, without a directory
};
TApplicationInfo& Application();

// The About window, created hidden at start-up.
extern TAboutBox* AboutBox;

// Qt's own texts (message box buttons, the standard dialogs, context menus,
// the command-line help) in Japanese whatever the locale.
void InstallQtJapanese();
// Steps before the forms: title, help file, Qt's texts, font substitutions, a
// small window icon.
void InitApplication();
// Creates SoraForm (splash and set-up loop included) and AboutBox.
void CreateForms();
// The whole start-up: InitApplication, CreateForms, the frame shown, the full
// window icon, the event loop until the frame closes. Returns the exit status.
int RunSoraMemo(QApplication& app);
