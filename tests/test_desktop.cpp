// Desktop integration: `cmake --install` of this build into a temporary prefix,
// the desktop's validators when installed, and the icon of the program's windows.
#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

#include "app/Startup.h"
#include "app/TAboutBox.h"
#include "app/TSoraForm.h"
#include "document/TSoraChild.h"
#include "platform/AppIcon.h"

namespace {

const QString kDesktopFile = QStringLiteral("share/applications/jp.kazenosha.soramemo.desktop");
const QString kMetainfoFile = QStringLiteral("share/metainfo/jp.kazenosha.soramemo.metainfo.xml");
const QList<int> kIconSizes{16, 24, 32, 48, 64, 128, 256};

struct Run {
  int exitCode = -1;
  QString out, err;
};

Run Execute(const QString& program, const QStringList& args, const QProcessEnvironment& env = {}) {
  QProcess p;
  if (!env.isEmpty()) p.setProcessEnvironment(env);
  p.start(program, args);
  Run r;
  if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) return r;
  r.exitCode = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The keys of a desktop entry's main group ("Name", "Name[ja]", ...).
QMap<QString, QString> DesktopEntry(const QString& path) {
  QMap<QString, QString> keys;
  bool inMain = false;
  for (const QString& line : QString::fromUtf8(ReadAll(path)).split(u'\n')) {
    if (line.startsWith(u'[')) inMain = line == QStringLiteral("[Desktop Entry]");
    else if (inMain && !line.startsWith(u'#') && line.contains(u'='))
      keys.insert(line.section(u'=', 0, 0).trimmed(), line.section(u'=', 1).trimmed());
  }
  return keys;
}

QSet<QString> List(const QString& value) {
  const QStringList items = value.split(u';', Qt::SkipEmptyParts);
  return {items.begin(), items.end()};
}

QImage Picture(const QIcon& icon, int size) { return icon.pixmap(QSize(size, size)).toImage(); }
QString Png(int size) { return QStringLiteral("share/icons/hicolor/%1x%1/apps/soramemo.png").arg(size); }

QStringList Expected() {
  QStringList expected{"bin/soramemo", "bin/soramemo-convert", kDesktopFile, kMetainfoFile,
                       "share/icons/hicolor/scalable/apps/soramemo.svg", "share/man/man1/soramemo.1",
                       "share/man/man1/soramemo-convert.1", "share/doc/soramemo/help/index.html"};
  for (int size : kIconSizes) expected << Png(size);
#ifdef SORAMEMO_DESIGNER_PLUGIN_PATH
  expected << QStringLiteral(SORAMEMO_DESIGNER_PLUGIN_PATH);
#endif
  return expected;
}

}  // namespace

class TestDesktop : public QObject {
  Q_OBJECT

  QTemporaryDir prefix;
  QStringList installed;  // relative to the prefix
  QString P(const QString& rel) const { return prefix.filePath(rel); }

 private slots:
  void initTestCase() {
    QVERIFY(prefix.isValid());
    const Run r = Execute(QStringLiteral(SORAMEMO_CMAKE),
                          {"--install", SORAMEMO_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    // Every file the install wrote must lie under the prefix it was given.
    static const QRegularExpression line(QStringLiteral("^-- (?:Installing|Up-to-date): (.*)$"),
                                         QRegularExpression::MultilineOption);
    auto it = line.globalMatch(r.out);
    const QString root = QDir(prefix.path()).canonicalPath() + u'/';
    while (it.hasNext()) {
      const QString path = QFileInfo(it.next().captured(1)).canonicalFilePath();
      QVERIFY2(path.startsWith(root), qPrintable(QStringLiteral("installed outside the prefix: ") + path));
      installed << path.mid(root.size());
    }
    QVERIFY(!installed.isEmpty());
  }

  // Every part lands where the desktop looks for it, here and in the Debian package.
  void installsEveryPart() {
    for (const QString& rel : Expected()) QVERIFY2(installed.contains(rel), qPrintable(rel));
    QVERIFY(QFileInfo(P("bin/soramemo")).isExecutable());
    QVERIFY(QFileInfo(P("bin/soramemo-convert")).isExecutable());
  }

  // The installed converter is a working program on its own.
  void installedConverterRuns() {
    QTemporaryDir work;
    QFile in(work.filePath("in.txt"));
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write("空の下で\n") > 0 && in.flush());
    const Run r = Execute(P("bin/soramemo-convert"), {in.fileName(), work.filePath("out.txt")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(ReadAll(work.filePath("out.txt")), QByteArray("\x8b\xf3\x82\xcc\x89\xba\x82\xc5\r\n"));

    // UTF-8 output keeps what Shift-JIS lacks.
    QVERIFY(in.write("\xED\x95\x9C\r\n") > 0 && in.flush());
    const Run utf8 = Execute(P("bin/soramemo-convert"), {"--encoding=utf8", in.fileName(), work.filePath("u.txt")});
    QVERIFY2(utf8.exitCode == 0, qPrintable(utf8.err));
    QCOMPARE(ReadAll(work.filePath("u.txt")), QByteArray("空の下で\n\xED\x95\x9C\n"));
  }

  // A device or a pipe is no document: refused at once, never read into memory.
  void converterReadsOnlyFiles() {
    QTemporaryDir work;
    const QString fifo = work.filePath("pipe");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& in : {QStringLiteral("/dev/zero"), fifo}) {
      const Run r = Execute(P("bin/soramemo-convert"), {in, work.filePath("out.txt")});
      QCOMPARE(r.exitCode, 1);
      QVERIFY2(r.err.contains(QStringLiteral("通常のファイルではない")), qPrintable(r.err));
    }
  }

  // Asked for usage or version, the programs answer on standard output and
  // open no window: there is no display here to open one on.
  void usageAndVersion() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    const Run help = Execute(P("bin/soramemo"), {"--help"}, env);
    QVERIFY2(help.out.startsWith(QStringLiteral("使い方:")), qPrintable(help.out + help.err));  // Japanese under LANG=C too
    const Run version = Execute(P("bin/soramemo"), {"--version"}, env);
    QVERIFY2(version.out.startsWith("soramemo 1."), qPrintable(version.out + version.err));
    const Run convert = Execute(P("bin/soramemo-convert"), {"--help"}, env);
    QVERIFY2(convert.out.contains("--encoding=sjis|utf8"), qPrintable(convert.out + convert.err));
    QCOMPARE(QList<int>({help.exitCode, version.exitCode, convert.exitCode}), QList<int>({0, 0, 0}));
  }

  void desktopEntry() {
    const QMap<QString, QString> e = DesktopEntry(P(kDesktopFile));
    QCOMPARE(e.value("Name[ja]"), QStringLiteral("ソラメモ"));
    // Several files open as several documents: the program takes many paths.
    QCOMPARE(e.value("Exec"), QStringLiteral("soramemo %F"));
    // Both names RTF goes by, so that either kind of file manager offers it.
    QCOMPARE(List(e.value("MimeType")), (QSet<QString>{"text/rtf", "application/rtf", "text/plain"}));
    QVERIFY(List(e.value("Categories")).contains({"Office", "WordProcessor"}));
    QCOMPARE(e.value("Icon"), QStringLiteral("soramemo"));
    // The launcher names the packages that bring Japanese input to Qt 6 programs.
    const QByteArray text = ReadAll(P(kDesktopFile));
    QVERIFY(text.contains("fcitx5-frontend-qt6") && text.contains("ibus-mozc"));

    // Wayland and the task bar find the launcher by the name the program gives.
    InitApplication();
    QCOMPARE(QGuiApplication::desktopFileName() + ".desktop", QFileInfo(kDesktopFile).fileName());

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty()) QSKIP("desktop-file-validate is not installed (desktop-file-utils)");
    const Run r = Execute(validator, {P(kDesktopFile)});
    QVERIFY2(r.exitCode == 0 && r.out.isEmpty(), qPrintable(r.out + r.err));
  }

  void appStreamData() {
    QFile f(P(kMetainfoFile));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QString id, launchable;
    QStringList binaries;
    QSet<QString> mediaTypes;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == u"id") id = xml.readElementText();
      else if (xml.name() == u"launchable") launchable = xml.readElementText();
      else if (xml.name() == u"binary") binaries << xml.readElementText();
      else if (xml.name() == u"mediatype") mediaTypes << xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(id + ".metainfo.xml", QFileInfo(kMetainfoFile).fileName());
    QCOMPARE(launchable, QFileInfo(kDesktopFile).fileName());
    for (const QString& b : binaries) QVERIFY2(installed.contains("bin/" + b), qPrintable(b));
    QCOMPARE(mediaTypes, List(DesktopEntry(P(kDesktopFile)).value("MimeType")));

    const QString validator = QStandardPaths::findExecutable("appstreamcli");
    if (validator.isEmpty()) QSKIP("appstreamcli is not installed (appstream)");
    const Run r = Execute(validator, {"validate", "--no-net", P(kMetainfoFile)});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    const Run tree = Execute(validator, {"validate-tree", "--no-net", prefix.path()});
    QVERIFY2(tree.exitCode == 0, qPrintable(tree.out + tree.err));
  }

  void icons() {
    QFile svg(P("share/icons/hicolor/scalable/apps/soramemo.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), u"svg");
    while (!xml.atEnd()) xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));

    // The copy inside the program is the installed one at every size (and so of that size).
    const QIcon builtIn = BuiltInApplicationIcon();
    for (int size : kIconSizes) {
      QVERIFY(builtIn.availableSizes().contains(QSize(size, size)));
      const QImage image = Picture(builtIn, size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
      QCOMPARE(image, QImage(P(Png(size))).convertToFormat(QImage::Format_ARGB32_Premultiplied));
      QVERIFY(qAlpha(image.pixel(size / 2, size / 2)) == 255);
    }
  }

  // The pages installed are the pages the program shows, and none links to a
  // page that is not there.
  void helpPages() {
    const QString root = QStringLiteral(":/help/SORA16.HLP");
    int pages = 0;
    for (QDirIterator it(root, QDir::Files); it.hasNext();) {
      const QString file = it.next();
      const QString rel = "share/doc/soramemo/help/" + QFileInfo(file).fileName();
      QVERIFY2(installed.contains(rel), qPrintable(rel));
      QCOMPARE(ReadAll(P(rel)), ReadAll(file));
      ++pages;
    }
    QVERIFY(pages > 1);
    static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#:]+)"));
    for (QDirIterator it(P("share/doc/soramemo/help"), {"*.html"}, QDir::Files); it.hasNext();) {
      const QString page = it.next();
      for (auto m = link.globalMatch(QString::fromUtf8(ReadAll(page))); m.hasNext();) {
        const QString target = QFileInfo(page).dir().filePath(m.next().captured(1));
        QVERIFY2(QFileInfo::exists(target), qPrintable(page + " -> " + target));
      }
    }
  }

  void manualPages() {
    const QString man = QStandardPaths::findExecutable("man");
    QVERIFY2(!man.isEmpty(), "man is not installed");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8"); env.insert("MANWIDTH", "80");
    for (const QString name : {"soramemo", "soramemo-convert"}) {
      const Run r = Execute(man, {"--warnings", "-l", P("share/man/man1/" + name + ".1")}, env);
      QVERIFY2(r.exitCode == 0, qPrintable(r.err));
      QCOMPARE(r.err, QString());
      QVERIFY2(r.out.contains("SYNOPSIS"), qPrintable(r.out));
      QVERIFY2(r.out.contains(name.toUpper() + "(1)"), qPrintable(r.out));
    }
  }

  void debianPackage() {
    QTemporaryDir work;
    const Run made = Execute(QStringLiteral(SORAMEMO_CPACK),
                             {"--config", SORAMEMO_BUILD_DIR "/CPackConfig.cmake", "-G", "DEB", "-B", work.path()});
    QVERIFY2(made.exitCode == 0, qPrintable(made.out + made.err));
    const QStringList debs = QDir(work.path()).entryList({"soramemo_*.deb"}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = work.filePath(debs.first());
    const Run depends = Execute("dpkg-deb", {"--field", deb, "Depends"});
    QVERIFY2(depends.out.contains("libqt6widgets6"), qPrintable(depends.out + depends.err));
    QVERIFY2(depends.out.contains("libicu"), qPrintable(depends.out));
    QCOMPARE(Execute("dpkg", {"-x", deb, work.filePath("root")}).exitCode, 0);
    const QStringList packed = Expected() << "share/doc/soramemo/LICENSE";
    for (const QString& rel : packed)
      QVERIFY2(QFileInfo::exists(work.filePath("root/usr/" + rel)), qPrintable(rel));
  }

  // The frame and every document window carry the program's icon.
  void windowIcons() {
    InitApplication();
    const QImage icon = Picture(ApplicationIcon(), 32);
    QVERIFY(!icon.isNull());
    QCOMPARE(Picture(QApplication::windowIcon(), 32), icon);
    CreateForms();
    QCOMPARE(Picture(SoraForm->windowIcon(), 32), icon);
    SoraForm->Params.clear();
    SoraForm->OpenDocument(QStringLiteral("新規作成 1"));
    TSoraChild* second = SoraForm->OpenDocument(QStringLiteral("新規作成 2"));
    QCOMPARE(Picture(second->windowIcon(), 32), icon);
    delete std::exchange(AboutBox, nullptr);
    delete std::exchange(SoraForm, nullptr);
  }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
