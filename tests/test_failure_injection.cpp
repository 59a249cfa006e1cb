// Saves that cannot succeed, through the real frame, document windows and the
// dialog seam: each reports one Japanese message, leaves the document modified
// under its old name (closing still asks) and leaves what is on disk as it was.
#include <QMdiArea>

#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FrameHost.h"
#include "platform/Dialogs.h"
#include "platform/ShiftJis.h"
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
    QFile f(path);  // a folder does not open
    all[path] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<folder or unreadable>");
  }
  return all;
}

}  // namespace

class TestFailureInjection : public QObject, FrameHost {
  Q_OBJECT

  QString Path(const QString& name) const { return dir.filePath(name); }

  // A document opened as the frame opens one, text added at the end.
  TSoraChild* Edited(const QString& path, const QString& pasted = {}) {
    TSoraChild* child = frame->OpenDocument(path);
    child->Text()->moveCursor(QTextCursor::End);
    child->Text()->SetSelText(pasted + QStringLiteral("本文 text"));
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
    QCOMPARE(child->Path() + '|' + child->windowTitle(), oldPath + '|' + QFileInfo(oldPath).fileName());
    script.Answer(false);
    child->close();
    QCOMPARE(script.Questions.size(), 1);
    QVERIFY(frame->Children().contains(child));
  }

 private slots:
  void initTestCase() { Start(); }
  void cleanup() { CloseDocuments(); }
  void cleanupTestCase() { Stop(); }

  void saveAsFails_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("type");  // 1 RTF, 2 text
    QTest::addColumn<QString>("fragment");
    // Bytes a file may grow to while the save runs (writes past it fail with EFBIG,
    // as on a full disk, whatever rights the test runs with); 0: no limit.
    QTest::addColumn<int>("sizeLimit");
    QTest::newRow("under a file") << Path("plain.txt/a.rtf") << 1 << "" << 0;
    QTest::newRow("a folder") << Path("folder") << 2 << "フォルダーです" << 0;
    QTest::newRow("name too long in bytes") << Path(QString(NAME_MAX / 3 + 1, QChar(0x3042)) + ".txt") << 2 << "" << 0;
    // A device is written directly: never replaced by a rename.
    QTest::newRow("full device") << "/dev/full" << 2 << "" << 0;
    // A write that stops part way, as on a full disk, keeps the old file whole
    // and leaves no temporary file behind.
    QTest::newRow("write stops part way") << Path("plain.txt") << 1 << "途中で失敗" << 1024;
  }
  void saveAsFails() {
    QFETCH(QString, target);
    QFETCH(int, type);
    QFETCH(QString, fragment);
    QFETCH(int, sizeLimit);
    WriteFile(Path("plain.txt"), "keep me");
    QVERIFY(QDir(dir.path()).mkpath("folder"));
    WriteFile(Path("folder/inside.txt"), "inside");
    Dialogs::Script script;
    TSoraChild* child = Edited(Path("doc.txt"), QStringLiteral("満杯のディスク").repeated(500));
    script.SaveFile(target, type);
    ExpectFailed(child, [&] {
      rlimit old{};
      getrlimit(RLIMIT_FSIZE, &old);
      const rlimit small{rlim_t(sizeLimit), old.rlim_max};
      signal(SIGXFSZ, SIG_IGN);
      if (sizeLimit) QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
      frame->MdiClient->setActiveSubWindow(child);
      frame->FileSaveAs1->trigger();
      setrlimit(RLIMIT_FSIZE, &old);
    }, script, fragment);
    if (target.startsWith("/dev/")) QVERIFY(!QFileInfo(target).isFile());  // still the device
  }

  // The file goes away after opening: Save writes it anew.
  void fileVanishes() {
    const QString path = Path("a.txt");
    WriteFile(path, "old");
    Dialogs::Script script;
    TSoraChild* child = Edited(path);
    QVERIFY(QFile::remove(path));
    Part<QAction>(child, "FileSave")->trigger();
    QCOMPARE(script.Errors, QStringList());
    QCOMPARE(Snapshot(dir.path()).value(path), sjis::Encode(u"old本文 text"));
  }

  // A new document whose chosen folder is gone stays new.
  void newDocumentToAMissingFolder() {
    Dialogs::Script script;
    frame->FileNew1->trigger();
    TSoraChild* child = frame->ActiveChild();
    child->Text()->SetSelText(QStringLiteral("draft"));
    script.SaveFile(Path("gone/new.rtf"), 1);
    ExpectFailed(child, [&] { frame->FileSave1->trigger(); }, script, QStringLiteral("がありません"));
  }

  // Permissions, through the converter as an unprivileged user since they do not
  // bind root. A writable file in a folder that takes no new file (a shared folder,
  // a file under /etc) is written in place, and a write that fails there puts the
  // old bytes back; no new file can be made there; a read-only file is not written
  // over, even where its folder would let a rename replace it.
  void permissions() {
    QTemporaryDir root;
    QVERIFY(chmod(QFile::encodeName(root.path()).constData(), 0755) == 0);
    QVERIFY(QDir(root.path()).mkpath("ro"));
    QVERIFY(QDir(root.path()).mkpath("rw"));
    const QString in = root.filePath("in.txt"), out = root.filePath("ro/out.txt");
    const QString locked = root.filePath("rw/locked.txt");
    WriteFile(in, "new text, longer than the old one\n");
    WriteFile(out, "old");
    WriteFile(locked, "locked");
    const uid_t nobody = 65534;
    // A copy nobody can run, wherever the build lies (a home folder it cannot enter).
    const QString converter = root.filePath("soramemo-convert");
    QVERIFY(QFile::copy(QStringLiteral(SORAMEMO_BIN_DIR "/soramemo-convert"), converter));
    for (const QString& path : {out, locked, root.filePath("rw")})
      if (geteuid() == 0) QVERIFY(chown(QFile::encodeName(path).constData(), nobody, nobody) == 0);
    QVERIFY(chmod(QFile::encodeName(locked).constData(), 0444) == 0);
    QVERIFY(chmod(QFile::encodeName(root.filePath("ro")).constData(), 0555) == 0);
    // The exit code, a space, and the message reported (on one line).
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
      p.setWorkingDirectory(root.path());
      p.start(converter, {in, target});
      p.waitForFinished();
      const QString said = QString::fromUtf8(p.readAllStandardError()).section("soramemo-convert: ", 1);
      return QString::number(p.exitCode()) + ' ' + said;
    };
    QCOMPARE(convert(out, 0), QStringLiteral("0 "));
    QCOMPARE(Snapshot(root.filePath("ro")), (QMap<QString, QByteArray>{{out, "new text, longer than the old one\r\n"}}));
    WriteFile(out, "old");
    const QString cannot = QStringLiteral("1 「%1」に保存できません。 "), folder = QStringLiteral(
        "保存先のフォルダー「%1」に書き込めません（アクセス権がありません）。").arg(root.filePath("ro"));
    QCOMPARE(convert(out, 8), cannot.arg(out) + folder +
             QStringLiteral(" ファイルに直接書き込みましたが、途中で失敗しました。ファイルは元の内容に戻しました。\n"));
    QCOMPARE(Snapshot(root.filePath("ro")), (QMap<QString, QByteArray>{{out, "old"}}));
    QCOMPARE(convert(root.filePath("ro/new.txt"), 0), cannot.arg(root.filePath("ro/new.txt")) + folder + '\n');
    QCOMPARE(convert(locked, 0), cannot.arg(locked) + QStringLiteral("ファイルが書き込み禁止です。\n"));
    QCOMPARE(Snapshot(root.filePath("rw")), (QMap<QString, QByteArray>{{locked, "locked"}}));
    chmod(QFile::encodeName(root.filePath("ro")).constData(), 0755);
  }
};

QTEST_MAIN(TestFailureInjection)
#include "test_failure_injection.moc"
