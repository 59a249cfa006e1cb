#include "platform/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace Dialogs {

QStringList QtNameFilters(const QString& filter) {
  QStringList out;
  const QStringList parts = filter.split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == u"*.*") p = QStringLiteral("*");
    }
    out << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return out;
}

namespace {

void PrepareFileDialog(QFileDialog& dlg, const QString& filter, int filterIndex,
                       const QString& fileName) {
  const QStringList filters = QtNameFilters(filter);
  dlg.setOption(QFileDialog::HideNameFilterDetails);
  if (!filters.isEmpty()) {
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filters.value(qBound(1, filterIndex, int(filters.size())) - 1));
  }
  if (!fileName.isEmpty()) dlg.selectFile(fileName);
}

int ChosenFilterIndex(const QFileDialog& dlg, const QString& filter, int old) {
  const int i = int(QtNameFilters(filter).indexOf(dlg.selectedNameFilter()));
  return i >= 0 ? i + 1 : old;
}

class QtDialogs final : public Provider {
 public:
  bool Open(QWidget* parent, TOpenDialog& d) override {
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::AnyFile);
    PrepareFileDialog(dlg, d.Filter, d.FilterIndex, d.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    d.FileName = dlg.selectedFiles().constFirst();
    d.FilterIndex = ChosenFilterIndex(dlg, d.Filter, d.FilterIndex);
    return true;
  }

  bool Save(QWidget* parent, TSaveDialog& d) override {
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(d.DefaultExt);
    PrepareFileDialog(dlg, d.Filter, d.FilterIndex, d.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    d.FileName = dlg.selectedFiles().constFirst();
    d.FilterIndex = ChosenFilterIndex(dlg, d.Filter, d.FilterIndex);
    return true;
  }

  bool Print(QWidget* parent, QPrinter& printer) override {
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
  }

  bool Color(QWidget* parent, TColorDialog& d) override {
    const QColor c = QColorDialog::getColor(ToQColor(d.Color), parent);
    if (!c.isValid()) return false;
    d.Color = FromQColor(c);
    return true;
  }

  bool Font(QWidget* parent, TFontDialog& d) override {
    QFontDialog dlg(d.Font, parent);
    if (d.OnApply) {
      // Qt's font dialog has no Apply button of its own; add one to its box.
      dlg.setOption(QFontDialog::DontUseNativeDialog);
      if (auto* box = dlg.findChild<QDialogButtonBox*>()) {
        QPushButton* apply = box->addButton(QDialogButtonBox::Apply);
        QObject::connect(apply, &QPushButton::clicked, &dlg,
                         [&] { d.OnApply(dlg.currentFont(), d.Color); });
      }
    }
    if (dlg.exec() != QDialog::Accepted) return false;
    d.Font = dlg.selectedFont();
    return true;
  }

  void Message(QWidget* parent, const QString& text, MessageKind kind) override {
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.exec();
  }

  bool YesNo(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    // Japanese also where Qt's translations are not installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    return box.exec() == QMessageBox::Yes;
  }

  int Exec(QDialog* dialog) override { return dialog->exec(); }
};

QtDialogs qtDialogs;
Provider* current = &qtDialogs;

}  // namespace

Provider& Current() { return *current; }

Provider* SetProvider(Provider* provider) {
  Provider* old = current;
  current = provider ? provider : &qtDialogs;
  return old;
}

bool Print(QWidget* parent, QPrinter& printer) { return current->Print(parent, printer); }
void ShowMessage(QWidget* parent, const QString& text) {
  current->Message(parent, text, MessageKind::Information);
}
bool AskYesNo(QWidget* parent, const QString& text) { return current->YesNo(parent, text); }
int Exec(QDialog* dialog) { return current->Exec(dialog); }
void ReportError(QWidget* parent, const QString& text) {
  current->Message(parent, text, MessageKind::Error);
}

// ---- Script ----

Script::Script() : previous_(SetProvider(this)) {}
Script::~Script() { SetProvider(previous_); }

Script& Script::OpenFile(const QString& fileName) {
  OpenAnswers.push_back([fileName](TOpenDialog& d) { d.FileName = fileName; return true; });
  return *this;
}
Script& Script::SaveFile(const QString& fileName, int filterIndex) {
  SaveAnswers.push_back([fileName, filterIndex](TSaveDialog& d) {
    d.FileName = fileName;
    d.FilterIndex = filterIndex;
    return true;
  });
  return *this;
}
Script& Script::CancelOpen() {
  OpenAnswers.push_back([](TOpenDialog&) { return false; });
  return *this;
}
Script& Script::CancelSave() {
  SaveAnswers.push_back([](TSaveDialog&) { return false; });
  return *this;
}
Script& Script::CancelPrint() {
  PrintAnswers.push_back([](QPrinter&) { return false; });
  return *this;
}
Script& Script::Answer(bool yes) {
  YesNoAnswers.push_back(yes);
  return *this;
}

namespace {
template <class Queue, class Arg>
bool Take(Queue& q, Arg& arg, QStringList& unexpected, const char* what) {
  if (q.empty()) {
    unexpected << QString::fromLatin1(what);
    return false;
  }
  auto answer = std::move(q.front());
  q.pop_front();
  return answer(arg);
}
}  // namespace

bool Script::Open(QWidget*, TOpenDialog& d) { return Take(OpenAnswers, d, Unexpected, "open"); }
bool Script::Save(QWidget*, TSaveDialog& d) {
  SaveRuns << d;
  return Take(SaveAnswers, d, Unexpected, "save");
}
bool Script::Print(QWidget*, QPrinter& printer) {
  ++PrintRuns;
  return Take(PrintAnswers, printer, Unexpected, "print");
}
bool Script::Color(QWidget*, TColorDialog& d) { return Take(ColorAnswers, d, Unexpected, "color"); }
bool Script::Font(QWidget*, TFontDialog& d) { return Take(FontAnswers, d, Unexpected, "font"); }

void Script::Message(QWidget*, const QString& text, MessageKind kind) {
  (kind == MessageKind::Error ? Errors : Messages) << text;
}

bool Script::YesNo(QWidget*, const QString& text) {
  Questions << text;
  if (YesNoAnswers.empty()) {
    Unexpected << QStringLiteral("yes/no: ") + text;
    return false;
  }
  const bool yes = YesNoAnswers.front();
  YesNoAnswers.pop_front();
  return yes;
}

int Script::Exec(QDialog* dialog) {
  Executed << dialog;
  if (ExecAnswers.empty()) {
    Unexpected << QStringLiteral("exec");
    return 0;
  }
  const int r = ExecAnswers.front();
  ExecAnswers.pop_front();
  return r;
}

}  // namespace Dialogs

bool TOpenDialog::Execute(QWidget* parent) { return Dialogs::Current().Open(parent, *this); }
bool TSaveDialog::Execute(QWidget* parent) { return Dialogs::Current().Save(parent, *this); }
bool TColorDialog::Execute(QWidget* parent) { return Dialogs::Current().Color(parent, *this); }
bool TFontDialog::Execute(QWidget* parent) { return Dialogs::Current().Font(parent, *this); }
