// Saves that cannot succeed, through the real frame, document windows and the
// dialog seam: each reports a Japanese message, leaves the document modified
// (closing still asks) and leaves what is on disk as it was.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Startup.h"
#include "app/TSoraForm.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Typing as a keyboard does: one key event per character, Japanese included.
void Type(QWidget* w, const QString& text) {
  for (QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

bool IsJapanese(const QString& s) {
  for (QChar c : s)
    if (c.unicode() >= 0x3000) return true;
  return false;
}

// Lowers the file size limit for one scope; writes past it fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_;
    small.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, previous_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  void (*previous_)(int) = nullptr;
  bool ok_ = false;
};

}  // namespace

class TestFailureInjection : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<TSoraForm> frame;

  QString Path(const QString& name) const { return dir.filePath(name); }

  // A document opened as the frame opens one, then edited by typing.
  // Bulk text, if any, comes in as a paste would; then a few keys are typed.
  TSoraChild* Edited(const QString& path, const QString& typed = QStringLiteral("本文 text"),
                     const QString& pasted = {}) {
    TSoraChild* child = frame->OpenDocument(path);
    child->RichEdit1->setFocus();
    child->RichEdit1->moveCursor(QTextCursor::End);
    if (!pasted.isEmpty()) child->RichEdit1->SetSelText(pasted);
    Type(child->RichEdit1, typed);
    return child;
  }

  // The state every failed save must leave: one Japanese error naming the
  // cause, the document still modified under its old name, and closing it
  // still asking before anything is lost.
  void ExpectFailed(Dialogs::Script& script, TSoraChild* child, const QString& fragment,
                    const QString& oldPath) {
    QCOMPARE(script.Errors.size(), 1);
    const QString error = script.Errors.constFirst();
    QVERIFY2(IsJapanese(error), qPrintable(error));
    QVERIFY2(error.contains(fragment), qPrintable(error));
    QVERIFY(child->RichEdit1->GetModified());
    QCOMPARE(child->FilePath, oldPath);
    QCOMPARE(child->windowTitle(), QFileInfo(oldPath).fileName());
    script.Answer(false);
    child->close();
    QCOMPARE(script.Questions.size(), 1);
    QVERIFY(frame->Children().contains(child));
  }

  void SaveAs(TSoraChild* child) {
    frame->MdiClient->setActiveSubWindow(child);
    frame->FileSaveAs1->trigger();
  }

 private slots:
  void initTestCase() {
    InitApplication();
    QVERIFY(dir.isValid());
    frame = std::make_unique<TSoraForm>();
    frame->Params.clear();
    frame->show();
  }
  void cleanup() {
    for (TSoraChild* c : frame->Children()) c->RichEdit1->SetModified(false);
    qDeleteAll(frame->Children());
  }
  void cleanupTestCase() { frame.reset(); }

  void missingFolder() {
    Dialogs::Script script;
    TSoraChild* child = Edited(Path("m.txt"));
    script.SaveFile(Path("none/deeper/a.txt"), 2);
    SaveAs(child);
    ExpectFailed(script, child, QStringLiteral("がありません"), Path("m.txt"));
    QVERIFY(!QFileInfo::exists(Path("none")));
  }

  void parentIsARegularFile() {
    WriteFile(Path("plain.txt"), "keep me");
    Dialogs::Script script;
    TSoraChild* child = Edited(Path("p.txt"));
    script.SaveFile(Path("plain.txt/a.rtf"), 1);
    SaveAs(child);
    ExpectFailed(script, child, QStringLiteral("保存できません"), Path("p.txt"));
    QCOMPARE(ReadFile(Path("plain.txt")), QByteArray("keep me"));
  }

  void pathIsAFolder() {
    QVERIFY(QDir(dir.path()).mkpath("folder"));
    WriteFile(Path("folder/inside.txt"), "inside");
    for (int type : {1, 2}) {
      Dialogs::Script script;
      TSoraChild* child = Edited(Path("f.txt"));
      script.SaveFile(Path("folder"), type);
      SaveAs(child);
      ExpectFailed(script, child, QStringLiteral("フォルダー"), Path("f.txt"));
      QVERIFY(QFileInfo(Path("folder")).isDir());
      QCOMPARE(QDir(Path("folder")).entryList(QDir::Files), QStringList{"inside.txt"});
      child->RichEdit1->SetModified(false);
      child->close();
    }
  }

  void nameTooLong() {
    const QString name = QString(NAME_MAX + 1, QChar('x')) + QStringLiteral(".txt");
    const QString japanese = QString(NAME_MAX / 3 + 1, QChar(0x3042)) + QStringLiteral(".txt");
    for (const QString& n : {name, japanese}) {
      Dialogs::Script script;
      TSoraChild* child = Edited(Path("n.txt"));
      script.SaveFile(Path(n), 2);
      SaveAs(child);
      ExpectFailed(script, child, QStringLiteral("保存できません"), Path("n.txt"));
      child->RichEdit1->SetModified(false);
      child->close();
    }
    QCOMPARE(QDir(dir.path()).entryList({"x*", "\u3042*"}, QDir::Files), QStringList());
  }

  void fullDisk() {
    if (!QFileInfo::exists("/dev/full")) QSKIP("no /dev/full here");
    for (int type : {1, 2}) {
      Dialogs::Script script;
      TSoraChild* child =
          Edited(Path("full.txt"), QStringLiteral("満杯"), QStringLiteral("満杯のディスク").repeated(500));
      script.SaveFile("/dev/full", type);
      SaveAs(child);
      ExpectFailed(script, child, QStringLiteral("保存できません"), Path("full.txt"));
      QVERIFY(!QFileInfo("/dev/full").isFile());  // still the device
      child->RichEdit1->SetModified(false);
      child->close();
    }
  }

  // A write that stops part way (file size limit, as a full disk would) keeps
  // the old file whole and leaves no temporary file behind.
  void writeStopsPartWay() {
    for (const char* name : {"limit.txt", "limit.rtf"}) {
      const QString path = Path(name);
      WriteFile(path, "original bytes");
      const QByteArray before = ReadFile(path);
      Dialogs::Script script;
      TSoraChild* child =
          Edited(path, QStringLiteral("長い"), QStringLiteral("長い文章 long text ").repeated(300));
      {
        FileSizeLimit limit(1024);
        QVERIFY(limit.ok());
        child->FileSave->trigger();
      }
      ExpectFailed(script, child, QStringLiteral("保存できません"), path);
      QCOMPARE(ReadFile(path), before);
      QCOMPARE(QDir(dir.path()).entryList({"limit*"}, QDir::Files | QDir::Hidden).size(), 1);
      child->RichEdit1->SetModified(false);
      child->close();
      QFile::remove(path);
    }
  }

  // The file goes away after the document was opened: Save writes it anew.
  // Its folder goes away: Save reports it and keeps the document.
  void fileVanishes() {
    QVERIFY(QDir(dir.path()).mkpath("v"));
    const QString path = Path("v/a.txt");
    WriteFile(path, "old");
    Dialogs::Script script;
    TSoraChild* child = Edited(path, QStringLiteral("新しい"));
    QVERIFY(QFile::remove(path));
    child->FileSave->trigger();
    QVERIFY(script.Errors.isEmpty());
    QVERIFY(!child->RichEdit1->GetModified());
    QCOMPARE(ReadFile(path), QByteArray("old\x90\x56\x82\xb5\x82\xa2"));  // Shift-JIS

    Type(child->RichEdit1, "x");
    QVERIFY(QDir(Path("v")).removeRecursively());
    child->FileSave->trigger();
    ExpectFailed(script, child, QStringLiteral("がありません"), path);
    QVERIFY(!QFileInfo::exists(Path("v")));
  }

  // A new document whose chosen folder disappears while the dialog closes.
  void folderVanishesBetweenNewAndSave() {
    QVERIFY(QDir(dir.path()).mkpath("gone"));
    Dialogs::Script script;
    frame->FileNew1->trigger();
    TSoraChild* child = frame->ActiveChild();
    QVERIFY(child);
    const QString oldPath = child->FilePath;
    Type(child->RichEdit1, "draft");
    const QString target = Path("gone/new.rtf");
    script.SaveAnswers.push_back([&](TSaveDialog& d) {
      d.FileName = target;
      d.FilterIndex = 1;
      return QDir(Path("gone")).removeRecursively();
    });
    frame->FileSave1->trigger();  // no extension: Save As
    QCOMPARE(script.Errors.size(), 1);
    QVERIFY(IsJapanese(script.Errors[0]));
    QVERIFY(child->RichEdit1->GetModified());
    QCOMPARE(child->FilePath, oldPath);
    QVERIFY(!QFileInfo::exists(target));
  }

  void readOnlyFolderAndFile() {
    if (geteuid() == 0) QSKIP("permissions do not bind root");
    QVERIFY(QDir(dir.path()).mkpath("ro"));
    WriteFile(Path("ro/a.txt"), "locked");
    QVERIFY(chmod(QFile::encodeName(Path("ro")).constData(), 0555) == 0);
    {
      Dialogs::Script script;
      TSoraChild* child = Edited(Path("ro/a.txt"));
      child->FileSave->trigger();
      ExpectFailed(script, child, QStringLiteral("保存できません"), Path("ro/a.txt"));
      QCOMPARE(ReadFile(Path("ro/a.txt")), QByteArray("locked"));
      child->RichEdit1->SetModified(false);
    }
    chmod(QFile::encodeName(Path("ro")).constData(), 0755);
    QVERIFY(chmod(QFile::encodeName(Path("ro/a.txt")).constData(), 0444) == 0);
    {
      Dialogs::Script script;
      TSoraChild* child = Edited(Path("ro/a.txt"));
      child->FileSave->trigger();
      ExpectFailed(script, child, QStringLiteral("書き込み禁止"), Path("ro/a.txt"));
      QCOMPARE(ReadFile(Path("ro/a.txt")), QByteArray("locked"));
      child->RichEdit1->SetModified(false);
    }
  }
};

QTEST_MAIN(TestFailureInjection)
#include "test_failure_injection.moc"
