#pragma once
// Every modal dialog and message box of the program opens through one
// provider: Qt's own dialogs in the program, a script in the tests.
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "platform/Colors.h"
#include "platform/FileError.h"

class QDialog;
class QPrinter;
class QWidget;

// Filters are written "description|pattern|description|pattern...", a
// pattern list separated by ';'. Filter indexes count from 1.

// File-open dialog: one file; a typed name that does not exist is accepted.
struct TOpenDialog {
  QString Filter;
  int FilterIndex = 1;
  QString FileName;  // in: the name to propose; out: the chosen full path
  bool Execute(QWidget* parent);
};

// File-save dialog. Asks before an existing file is replaced.
struct TSaveDialog {
  QString Filter;
  int FilterIndex = 1;
  QString DefaultExt;  // without the period; completes a typed name that has none
  QString FileName;
  bool Execute(QWidget* parent);
};

struct TColorDialog {
  TColor Color = clBlack;
  bool Execute(QWidget* parent);
};

struct TFontDialog {
  QFont Font;
  TColor Color = clWindowText;
  // When set, the dialog has an Apply button that calls it with the font shown.
  std::function<void(const QFont&, TColor)> OnApply;
  bool Execute(QWidget* parent);
};

namespace Dialogs {

enum class MessageKind { Information, Error };

class Provider {
 public:
  virtual ~Provider() = default;
  virtual bool Open(QWidget* parent, TOpenDialog& d) = 0;
  virtual bool Save(QWidget* parent, TSaveDialog& d) = 0;
  virtual bool Print(QWidget* parent, QPrinter& printer) = 0;
  virtual bool Color(QWidget* parent, TColorDialog& d) = 0;
  virtual bool Font(QWidget* parent, TFontDialog& d) = 0;
  virtual void Message(QWidget* parent, const QString& text, MessageKind kind) = 0;
  virtual bool YesNo(QWidget* parent, const QString& text) = 0;  // true: Yes
  virtual int Exec(QDialog* dialog) = 0;  // a window of ours, shown modally
};

Provider& Current();
// nullptr puts Qt's dialogs back. Returns the provider that was in place.
Provider* SetProvider(Provider* provider);

// The print dialog on printer; true when the user confirmed.
bool Print(QWidget* parent, QPrinter& printer);
// A plain message box with an OK button.
void ShowMessage(QWidget* parent, const QString& text);
// A confirmation box with Yes and No; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text);
// Shows a dialog of ours modally and returns its result.
int Exec(QDialog* dialog);

// The application's error report: the text in an error box.
void ReportError(QWidget* parent, const QString& text);

// Runs fn. A file error it raises ends fn where it was raised and is reported.
template <class F>
void ReportFileErrors(QWidget* parent, F&& fn) {
  try {
    fn();
  } catch (const EFileError& e) {
    ReportError(parent, e.text());
  }
}

// A provider for tests: answers come from queues, in order, and everything
// shown is recorded. Installs itself while it lives. A dialog that finds no
// answer queued is cancelled (a question is answered No) and noted in
// Unexpected.
class Script : public Provider {
 public:
  Script();
  ~Script() override;
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  std::deque<std::function<bool(TOpenDialog&)>> OpenAnswers;
  std::deque<std::function<bool(TSaveDialog&)>> SaveAnswers;
  std::deque<std::function<bool(QPrinter&)>> PrintAnswers;
  std::deque<std::function<bool(TColorDialog&)>> ColorAnswers;
  std::deque<std::function<bool(TFontDialog&)>> FontAnswers;
  std::deque<bool> YesNoAnswers;
  std::deque<int> ExecAnswers;

  // Shortcuts for the common answers.
  Script& OpenFile(const QString& fileName);
  Script& SaveFile(const QString& fileName, int filterIndex);
  Script& CancelOpen();
  Script& CancelSave();
  Script& CancelPrint();
  Script& Answer(bool yes);

  QStringList Messages;         // texts of OK boxes
  QStringList Errors;           // texts of error reports
  QStringList Questions;        // texts of Yes/No boxes
  QList<TSaveDialog> SaveRuns;  // each save dialog as it was opened
  int PrintRuns = 0;
  QList<QDialog*> Executed;
  QStringList Unexpected;       // dialogs that found no answer

  bool Open(QWidget* parent, TOpenDialog& d) override;
  bool Save(QWidget* parent, TSaveDialog& d) override;
  bool Print(QWidget* parent, QPrinter& printer) override;
  bool Color(QWidget* parent, TColorDialog& d) override;
  bool Font(QWidget* parent, TFontDialog& d) override;
  void Message(QWidget* parent, const QString& text, MessageKind kind) override;
  bool YesNo(QWidget* parent, const QString& text) override;
  int Exec(QDialog* dialog) override;

 private:
  Provider* previous_;
};

// "description|pattern;pattern|..." as Qt name filters. The patterns go in
// parentheses after the description (which the dialog then hides); "*.*"
// becomes "*" so that names without a period are listed too.
QStringList QtNameFilters(const QString& filter);

}  // namespace Dialogs
