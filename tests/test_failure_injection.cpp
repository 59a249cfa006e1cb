// Saves that cannot succeed, through the real frame, document windows and the
// dialog seam: each reports one Japanese message, leaves the document modified
// under its old name (closing still asks) and leaves what is on disk as it was.
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QMdiArea>

#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FrameHost.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "tests/ChildParts.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// Every file and folder under root (hidden ones too), with the files' bytes.
QMap<QString, QByteArray> Snapshot(const QString& root) {
  QMap<QString, QByteArray> all;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    all[path] = it.fileInfo().isDir() ? QByteArray("<folder>")
                : f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
  }
  return all;
}

// Typing as a keyboard does: one key event per character, Japanese included.
void Type(QWidget* w, const QString& text) {
  for (QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Lowers the file size limit while it lives: writes past it fail with EFBIG,
// as on a full disk, whatever rights the test runs with.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small{bytes, old.rlim_max};
    ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
  rlimit old{};
  bool ok = false;
};

}  // namespace

class TestFailureInjection : public QObject, FrameHost {
  Q_OBJECT

  QString Path(const QString& name) const { return dir.filePath(name); }

  // A document opened as the frame opens one, bulk text pasted, a few keys typed.
  TSoraChild* Edited(const QString& path, const QString& pasted = {}) {
    TSoraChild* child = frame->OpenDocument(path);
    child->Text()->setFocus();
    child->Text()->moveCursor(QTextCursor::End);
    child->Text()->SetSelText(pasted);
    Type(child->Text(), QStringLiteral("本文 text"));
    return child;
  }

  // Runs the failing save and checks what every failed save must leave.
  void ExpectFailed(TSoraChild* child, const std::function<void()>& save, Dialogs::Script& script,
                    const QString& fragment) {
    const QString oldPath = child->Path();
    const auto before = Snapshot(dir.path());
    save();
    QCOMPARE(Snapshot(dir.path()), before);
    QCOMPARE(script.Errors.size(), 1);
    const QString error = script.Errors.constFirst();
    QVERIFY2(error.contains(fragment), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("保存できません")), qPrintable(error));
    QVERIFY(child->Text()->GetModified());
    QCOMPARE(child->Path(), oldPath);
    QCOMPARE(child->windowTitle(), QFileInfo(oldPath).fileName());
    script.Answer(false);
    child->close();
    QCOMPARE(script.Questions.size(), 1);
    QVERIFY(frame->Children().contains(child));
    child->Text()->SetModified(false);
    child->close();
  }

 private slots:
  void initTestCase() { Start(); }
  void cleanup() { CloseDocuments(); }
  void cleanupTestCase() { Stop(); }

  void saveAsToWhereNoFileCanBe_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("type");  // 1 RTF, 2 text
    QTest::addColumn<QString>("fragment");
    QTest::newRow("missing folder") << Path("none/deeper/a.txt") << 2 << "がありません";
    QTest::newRow("under a file") << Path("plain.txt/a.rtf") << 1 << "";
    QTest::newRow("a folder, rich") << Path("folder") << 1 << "フォルダーです";
    QTest::newRow("a folder, text") << Path("folder") << 2 << "フォルダーです";
    QTest::newRow("name too long") << Path(QString(NAME_MAX + 1, u'x') + ".txt") << 2 << "";
    QTest::newRow("Japanese name too long") << Path(QString(NAME_MAX / 3 + 1, QChar(0x3042)) + ".txt") << 2 << "";
    // A device is written directly: never replaced by a rename.
    QTest::newRow("full device, rich") << "/dev/full" << 1 << "";
    QTest::newRow("full device, text") << "/dev/full" << 2 << "";
  }
  void saveAsToWhereNoFileCanBe() {
    QFETCH(QString, target);
    QFETCH(int, type);
    QFETCH(QString, fragment);
    if (target == "/dev/full" && !QFileInfo::exists(target)) QSKIP("no /dev/full here");
    WriteFile(Path("plain.txt"), "keep me");
    QVERIFY(QDir(dir.path()).mkpath("folder"));
    WriteFile(Path("folder/inside.txt"), "inside");
    Dialogs::Script script;
    TSoraChild* child = Edited(Path("doc.txt"), QStringLiteral("満杯のディスク").repeated(500));
    script.SaveFile(target, type);
    ExpectFailed(child, [&] {
      frame->MdiClient->setActiveSubWindow(child);
      frame->FileSaveAs1->trigger();
    }, script, fragment);
    if (target.startsWith("/dev/")) QVERIFY(!QFileInfo(target).isFile());  // still the device
    // The dialog still takes on the type chosen, as after any run.
    script.CancelSave();
    child->FileSaveAsExecute();
    QCOMPARE(script.SaveRuns.last().DefaultExt, QString::fromLatin1(type == 1 ? "rtf" : "txt"));
  }

  // A write that stops part way, as on a full disk, keeps the old file whole
  // and leaves no temporary file behind.
  void writeStopsPartWay_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("text") << "limit.txt";
    QTest::newRow("rich") << "limit.rtf";
  }
  void writeStopsPartWay() {
    QFETCH(QString, name);
    WriteFile(Path(name), "original bytes");
    Dialogs::Script script;
    TSoraChild* child = Edited(Path(name), QStringLiteral("長い文章 long text ").repeated(300));
    ExpectFailed(child, [&] {
      FileSizeLimit limit(1024);
      QVERIFY(limit.ok);
      Part<QAction>(child, "FileSave")->trigger();
    }, script, QStringLiteral("途中で失敗"));
  }

  // The file goes away after opening: Save writes it anew. Its folder goes
  // away: Save reports it and keeps the document.
  void fileOrFolderVanishes() {
    QVERIFY(QDir(dir.path()).mkpath("v"));
    const QString path = Path("v/a.txt");
    WriteFile(path, "old");
    Dialogs::Script script;
    TSoraChild* child = frame->OpenDocument(path);
    child->Text()->moveCursor(QTextCursor::End);
    Type(child->Text(), QStringLiteral("新しい"));
    QVERIFY(QFile::remove(path));
    Part<QAction>(child, "FileSave")->trigger();
    QVERIFY(script.Errors.isEmpty());
    QVERIFY(!child->Text()->GetModified());
    QCOMPARE(Snapshot(Path("v")).value(path), QByteArray("old\x90\x56\x82\xb5\x82\xa2"));  // Shift-JIS

    Type(child->Text(), "x");
    QVERIFY(QDir(Path("v")).removeRecursively());
    ExpectFailed(child, [&] { Part<QAction>(child, "FileSave")->trigger(); }, script, QStringLiteral("がありません"));
  }

  // A new document whose chosen folder disappears while the dialog closes.
  void folderVanishesBetweenNewAndSave() {
    QTemporaryDir other;
    QVERIFY(QDir(other.path()).mkpath("gone"));
    Dialogs::Script script;
    frame->FileNew1->trigger();
    TSoraChild* child = frame->ActiveChild();
    QVERIFY(child);
    Type(child->Text(), "draft");
    script.SaveAnswers.push_back([&](TSaveDialog& d) {
      d.FileName = other.filePath("gone/new.rtf");
      d.FilterIndex = 1;
      return QDir(other.filePath("gone")).removeRecursively();
    });
    ExpectFailed(child, [&] { frame->FileSave1->trigger(); }, script, QStringLiteral("がありません"));
    QVERIFY(!QFileInfo::exists(other.filePath("gone")));
  }

  // A writable file in a folder that takes no new file (a shared folder, a
  // file under /etc) is written in place; a write that fails there puts the
  // old bytes back. Run through the converter as an unprivileged user, since
  // permissions do not bind root.
  void fileInAFolderThatIsNotWritable() {
    QTemporaryDir root;
    QVERIFY(chmod(QFile::encodeName(root.path()).constData(), 0755) == 0);
    QVERIFY(QDir(root.path()).mkpath("ro"));
    const QString in = root.filePath("in.txt"), out = root.filePath("ro/out.txt");
    WriteFile(in, "new text, longer than the old one\n");
    WriteFile(out, "old");
    const uid_t nobody = 65534;
    if (geteuid() == 0) QVERIFY(chown(QFile::encodeName(out).constData(), nobody, nobody) == 0);
    QVERIFY(chmod(QFile::encodeName(root.filePath("ro")).constData(), 0555) == 0);
    const auto convert = [&](const QString& target, rlim_t limit) {
      QProcess p;
      p.setChildProcessModifier([limit] {
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(99);
        if (limit) {
          signal(SIGXFSZ, SIG_IGN);
          const rlimit r{limit, limit};
          setrlimit(RLIMIT_FSIZE, &r);
        }
      });
      p.start(QStringLiteral(SORAMEMO_BIN_DIR "/soramemo-convert"), {in, target});
      p.waitForFinished();
      return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    const auto written = convert(out, 0);
    QCOMPARE(written.first, 0);
    QCOMPARE(Snapshot(root.filePath("ro")), (QMap<QString, QByteArray>{{out, "new text, longer than the old one\r\n"}}));

    WriteFile(out, "old");
    const auto stopped = convert(out, 8);
    QCOMPARE(stopped.first, 1);
    QVERIFY2(stopped.second.contains(QStringLiteral("フォルダー")), qPrintable(stopped.second));
    QVERIFY2(stopped.second.contains(QStringLiteral("元の内容に戻しました")), qPrintable(stopped.second));
    QCOMPARE(Snapshot(root.filePath("ro")), (QMap<QString, QByteArray>{{out, "old"}}));

    // A new file there cannot be made; the message says why.
    const auto fresh = convert(root.filePath("ro/new.txt"), 0);
    QCOMPARE(fresh.first, 1);
    QVERIFY2(fresh.second.contains(QStringLiteral("書き込めません")), qPrintable(fresh.second));
    QVERIFY2(!fresh.second.contains(QStringLiteral("存在しない")), qPrintable(fresh.second));
    chmod(QFile::encodeName(root.filePath("ro")).constData(), 0755);
  }

  // A read-only file is not written over, whatever its folder allows.
  void readOnlyFile() {
    if (geteuid() == 0) QSKIP("permissions do not bind root");
    QVERIFY(QDir(dir.path()).mkpath("ro"));
    const QString path = Path("ro/a.txt");
    WriteFile(path, "locked");
    for (mode_t folder : {0755, 0555}) {
      QVERIFY(chmod(QFile::encodeName(path).constData(), 0444) == 0);
      QVERIFY(chmod(QFile::encodeName(Path("ro")).constData(), folder) == 0);
      Dialogs::Script script;
      TSoraChild* child = Edited(path);
      ExpectFailed(child, [&] { Part<QAction>(child, "FileSave")->trigger(); }, script, QStringLiteral("書き込み禁止"));
      chmod(QFile::encodeName(Path("ro")).constData(), 0755);
    }
  }
};

QTEST_MAIN(TestFailureInjection)
#include "test_failure_injection.moc"
