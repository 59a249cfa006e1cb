// Guards the format toolbar: its layout, the reflection of the caret's format, and the commands it runs.
#include <QtTest>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

#include "DocumentHost.h"
#include "document/TSoraChild.h"
#include "document/UpDown.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "tests/ChildParts.h"

namespace {

constexpr TFontStyle B = TFontStyle::fsBold, I = TFontStyle::fsItalic, U = TFontStyle::fsUnderline,
                     S = TFontStyle::fsStrikeOut;

TFontStyles Styles(std::initializer_list<TFontStyle> list) {
  TFontStyles s;
  for (TFontStyle f : list) s = s.With(f);
  return s;
}

// The pressed buttons of the bar, by their first letters: Bold, Italic,
// Underline, Left, Centre, Right, bullets (N); "-" for one not pressed.
QString Down(const TSoraChild* c) {
  QString s;
  for (const char* name : {"BoldButton", "ItalicButton", "UnderlineButton", "LeftAlign", "CenterAlign", "RightAlign", "BulletsButton"})
    s += Part<QToolButton>(c, name)->isChecked() ? QChar::fromLatin1(name[0] == 'B' && name[1] == 'u' ? 'N' : name[0]) : u'-';
  return s;
}

TColor Shown(QLineEdit* field) { return FromQColor(field->palette().color(QPalette::Base)); }

// The whole bar: pressed buttons, size, font name, text and background colours.
QStringList Bar(const TSoraChild* c) {
  return {Down(c), Part<QLineEdit>(c, "FontS")->text(), Part<QComboBox>(c, "FontN")->currentText(),
          ToQColor(Shown(Part<QLineEdit>(c, "FontCol"))).name(), ToQColor(Shown(Part<QLineEdit>(c, "BackCol"))).name()};
}

// The font dialog's Apply button pressed with font, the dialog then closed.
void ApplyFont(Dialogs::Script& script, TSoraChild* c, const QFont& font, TColor color) {
  script.FontAnswers.push_back([font, color](TFontDialog& d) { return d.OnApply(font, color), false; });
  c->EditFontExecute();
}

// A document with its toolbar shown, the caret at the start, unmodified.
struct Host : DocumentHost {
  TSoraChild* c = nullptr;
  TTextAttributes* sel = nullptr;
  explicit Host(const QString& text) {
    c = new TSoraChild(area, &marks);
    c->ViewToolBarExecute();
    c->Text()->SetSelText(text);
    c->Text()->SetSelStart(0);
    c->Text()->SetModified(false);
    sel = &c->Text()->SelAttributes();
    QCoreApplication::processEvents();
  }
  void Select(int start, int length) { c->Text()->SetSelStart(start), c->Text()->SetSelLength(length); }
  TParaAttributes& ParaAt(int pos) {
    c->Text()->SetSelStart(pos);
    return c->Text()->Paragraph();
  }
  // A family the font list holds, other than the document's default.
  QString ListedFamily() const {
    const QString def = c->Text()->document()->defaultFont().family();
    for (int i = Part<QComboBox>(c, "FontN")->count() - 1; i >= 0; --i)
      if (Part<QComboBox>(c, "FontN")->itemText(i).compare(def, Qt::CaseInsensitive) != 0) return Part<QComboBox>(c, "FontN")->itemText(i);
    return {};
  }
  void Arrow(bool up) {
    QTest::mouseClick(Part<TUpDown>(c, "UpDown1"), Qt::LeftButton, {}, QPoint(7, up ? 3 : Part<TUpDown>(c, "UpDown1")->height() - 3));
  }
  bool TextHasFocus() const { return QApplication::focusWidget() == c->Text(); }
};

}  // namespace

class TestFormat : public QObject {
  Q_OBJECT
 private slots:
  void barLayoutAndToggle() {
    Host h(QStringLiteral("abc"));
    TSoraChild* c = h.c;
    QCOMPARE(Part<QComboBox>(c, "FontN")->count(), QFontDatabase::families().size());
    // Left edges of the visible items; the hidden separator takes no room.
    QStringList shown;
    for (QAction* a : Part<QToolBar>(c, "ToolBar1")->actions()) {
      const QWidget* w = Part<QToolBar>(c, "ToolBar1")->widgetForAction(a);
      if (a->isVisible()) shown << QStringLiteral("%1@%2,%3").arg(w->objectName()).arg(w->x()).arg(w->y());
    }
    QCOMPARE(shown.join(u' '), QStringLiteral("BoldButton@0,2 ItalicButton@23,2 UnderlineButton@46,2 ToolButton4@69,2 "
                                              "LeftAlign@77,2 CenterAlign@100,2 RightAlign@123,2 ToolButton8@146,2 "
                                              "BulletsButton@154,2 ToolButton12@177,2 ToolButton11@185,2 ToolButton1@208,2 "
                                              "FontCol@216,2 BackCol@261,2 ToolButton3@306,2 Panel4@310,2"));
    // Eight glyphs, all drawn and all different.
    QSet<QByteArray> glyphs;
    for (const char* name : {"BoldButton", "ItalicButton", "UnderlineButton", "LeftAlign", "CenterAlign", "RightAlign",
                             "BulletsButton", "ToolButton11"}) {
      const QImage img = Part<QToolButton>(c, name)->icon().pixmap(16, 16).toImage();
      if (!img.isNull()) glyphs << QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
    }
    QCOMPARE(glyphs.size(), 8);
    // The undo button runs the editing command.
    QTest::keyClicks(c->Text(), "xyz");
    QTest::mouseClick(Part<QToolButton>(c, "ToolButton11"), Qt::LeftButton);
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abc"));
    for (bool visible : {false, true}) {
      visible ? c->ViewToolBarExecute() : Part<QAction>(c, "ViewToolBar")->trigger();
      QCOMPARE(Part<QToolBar>(c, "ToolBar1")->isHidden(), !visible);
      QCOMPARE(h.marks.button, int(visible));
    }
  }

  void reflection() {
    Host h(QStringLiteral("plain STYLED plain\r\nnext"));
    TSoraChild* c = h.c;
    const QString family = h.ListedFamily();
    h.Select(6, 6);
    h.sel->SetStyle(Styles({B, I})); h.sel->SetSize(20); h.sel->SetName(family); h.sel->SetColor(clRed);
    c->Text()->SetModified(false);
    const QString background = Bar(c)[4];
    c->Text()->SetSelStart(9);
    QCOMPARE(Bar(c), QStringList({"BI-L---", "20", family, "#ff0000", background}));
    // Showing the formatting changes nothing in the text.
    QVERIFY(!c->Text()->GetModified());
    QCOMPARE(h.sel->GetStyle(), Styles({B, I}));
    // A font the list does not hold leaves the name field empty.
    h.Select(0, 5);
    h.sel->SetName(QStringLiteral("No Such Family 7f3a"));
    c->Text()->SetSelStart(2);
    QCOMPARE(Bar(c).mid(0, 3), QStringList({"---L---", QString::number(h.sel->GetSize()), QString()}));

    // Hidden, the text cannot take the focus: the steps before that run, the
    // alignment step after it does not, and nothing is reported.
    h.ParaAt(22).SetAlignment(taCenter);
    h.Select(6, 1);
    QCOMPARE(Down(c), QStringLiteral("BI-L---"));
    h.window.hide();
    c->Text()->SetSelStart(22);
    QCOMPARE(Down(c), QStringLiteral("---L---"));
  }

  void commandsFollowTheButtons() {
    Host h(QStringLiteral("aa two\r\nbb\r\ncc"));
    TSoraChild* c = h.c;
    h.Select(3, 3);
    h.sel->SetStyle(Styles({I, S}));
    h.Select(3, 3);
    // Each style button adds or removes its own style and keeps the others.
    QList<TFontStyles> styles;
    for (const char* button : {"BoldButton", "BoldButton", "UnderlineButton", "ItalicButton"}) {
      QTest::mouseClick(Part<QToolButton>(c, button), Qt::LeftButton);
      styles << h.sel->GetStyle();
    }
    QCOMPARE(styles, QList<TFontStyles>({Styles({B, I, S}), Styles({I, S}), Styles({I, U, S}), Styles({U, S})}));
    h.Select(0, 2);
    QCOMPARE(h.sel->GetStyle(), TFontStyles{});

    // Alignment: one of three, for the caret's paragraph only.
    c->Text()->SetSelStart(0);
    QTest::mouseClick(Part<QToolButton>(c, "CenterAlign"), Qt::LeftButton);
    QTest::mouseClick(Part<QToolButton>(c, "CenterAlign"), Qt::LeftButton);  // a pressed group button stays pressed
    QCOMPARE(c->Text()->Paragraph().GetAlignment(), taCenter);
    QCOMPARE(Down(c), QStringLiteral("----C--"));
    QTest::mouseClick(Part<QToolButton>(c, "RightAlign"), Qt::LeftButton);
    QCOMPARE(Down(c), QStringLiteral("-----R-"));
    h.ParaAt(9);  // the bar shows each paragraph's own alignment
    QCOMPARE(Down(c), QStringLiteral("---L---"));
    QCOMPARE(h.ParaAt(1).GetAlignment(), taRightJustify);

    // Bullets for every paragraph the selection touches, and off again.
    c->Text()->SetModified(false);
    h.Select(1, 8);
    QTest::mouseClick(Part<QToolButton>(c, "BulletsButton"), Qt::LeftButton);
    QVERIFY(c->Text()->GetModified());
    const auto bullets = [&] {
      return QList<TNumberingStyle>{h.ParaAt(0).GetNumbering(), h.ParaAt(9).GetNumbering(), h.ParaAt(13).GetNumbering()};
    };
    QCOMPARE(bullets(), (QList<TNumberingStyle>{nsBullet, nsBullet, nsNone}));
    h.Select(1, 8);
    QVERIFY(Part<QToolButton>(c, "BulletsButton")->isChecked());
    QTest::mouseClick(Part<QToolButton>(c, "BulletsButton"), Qt::LeftButton);
    QCOMPARE(bullets(), (QList<TNumberingStyle>{nsNone, nsNone, nsNone}));
    QCOMPARE(c->Text()->GetText(), QStringLiteral("aa two\r\nbb\r\ncc"));
  }

  void colourAndFontDialogs() {
    Host h(QStringLiteral("colour me"));
    TSoraChild* c = h.c;
    Dialogs::Script script;
    TColor preset = 0;
    const auto answer = [&](TColor chosen, bool ok) {
      script.ColorAnswers.push_back([&preset, chosen, ok](TColorDialog& d) {
        preset = d.Color;
        d.Color = chosen;
        return ok;
      });
    };
    h.Select(0, 6);
    h.sel->SetColor(clGreen);
    c->Text()->SetModified(false);
    // Text colour: preset to the selection's; Cancel changes nothing.
    answer(clBlue, false);
    QTest::mouseClick(Part<QLineEdit>(c, "FontCol"), Qt::LeftButton);
    QCOMPARE(preset, clGreen);
    QCOMPARE(h.sel->GetColor(), clGreen);
    QVERIFY(!c->Text()->GetModified());
    answer(clBlue, true);
    Part<QAction>(c, "EditCharColor")->trigger();
    QCOMPARE(h.sel->GetColor(), clBlue);
    QCOMPARE(Shown(Part<QLineEdit>(c, "FontCol")), clBlue);
    // Background: the whole control, not the selection.
    const TColor before = Shown(Part<QLineEdit>(c, "BackCol"));
    answer(clYellow, false);
    QTest::mouseClick(Part<QLineEdit>(c, "BackCol"), Qt::LeftButton);
    QCOMPARE(preset, clWindow);
    QCOMPARE(Shown(Part<QLineEdit>(c, "BackCol")), before);
    answer(clAqua, true);
    Part<QAction>(c, "EditBackColor")->trigger();
    QCOMPARE(FromQColor(c->Text()->palette().color(QPalette::Base)), clAqua);
    QCOMPARE(Shown(Part<QLineEdit>(c, "BackCol")), clAqua);
    QCOMPARE(h.sel->GetColor(), clBlue);
    // Moving the caret leaves the background field alone.
    c->Text()->SetSelStart(8);
    QVERIFY(h.sel->GetColor() != clBlue);
    QCOMPARE(Shown(Part<QLineEdit>(c, "BackCol")), clAqua);
    QVERIFY(script.ColorAnswers.empty());

    // The font dialog, on the same document.
    h.Select(0, 6);
    h.sel->SetSize(14); h.sel->SetStyle(Styles({B})); h.sel->SetColor(clRed);
    c->Text()->setFocus();
    // Preset from the selection; Apply sets the selection at once and a later
    // Cancel keeps it. Ctrl+F in the text opens the dialog.
    QFont presetFont;
    TColor presetColour = 0;
    script.FontAnswers.push_back([&](TFontDialog& d) {
      presetFont = d.Font;
      presetColour = d.Color;
      QFont f = d.Font;
      f.setPointSize(20);
      return d.OnApply(f, clBlue), false;
    });
    QTest::keyClick(c->Text(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(script.FontAnswers.empty());
    QCOMPARE(QList<int>({presetFont.pointSize(), presetFont.bold(), presetFont.italic(), int(presetColour)}), QList<int>({14, 1, 0, int(clRed)}));
    QCOMPARE(QList<int>({h.sel->GetSize(), int(h.sel->GetColor())}), QList<int>({20, int(clBlue)}));
    // Confirming copies the dialog's font; cancelling without Apply changes nothing.
    script.FontAnswers.push_back([](TFontDialog& d) {
      d.Font.setPointSize(9); d.Font.setBold(false); d.Font.setItalic(true);
      return true;
    });
    c->EditFontExecute();
    QCOMPARE(h.sel->GetSize(), 9);
    QCOMPARE(h.sel->GetStyle(), Styles({I}));
    c->Text()->SetModified(false);
    script.FontAnswers.push_back([](TFontDialog& d) { return d.Font.setPointSize(40), false; });
    Part<QAction>(c, "EditFont")->trigger();
    QCOMPARE(h.sel->GetSize(), 9);
    QVERIFY(!c->Text()->GetModified());
    QVERIFY(script.Unexpected.isEmpty());

    // Apply with the focus on a plain edit gives that edit the font; elsewhere it only beeps.
    QFont big(Part<QLineEdit>(c, "FontS")->font());
    big.setPointSize(31);
    Part<QLineEdit>(c, "FontS")->setFocus();
    ApplyFont(script, c, big, clRed);
    QCOMPARE(Part<QLineEdit>(c, "FontS")->font().pointSize(), 31);
    QCOMPARE(Part<QLineEdit>(c, "FontS")->palette().color(QPalette::Text), ToQColor(clRed));
    const QFont fieldFont = Part<QLineEdit>(c, "FontCol")->font();
    Part<QComboBox>(c, "FontN")->setFocus();
    big.setPointSize(33);
    ApplyFont(script, c, big, clBlue);
    QVERIFY(Part<QComboBox>(c, "FontN")->font().pointSize() != 33);
    QCOMPARE(Part<QLineEdit>(c, "FontCol")->font(), fieldFont);
    QCOMPARE(h.sel->GetSize(), 9);
  }

  void sizeAndNameFields() {
    Host h(QStringLiteral("sizes"));
    TSoraChild* c = h.c;
    h.Select(0, 5);
    // The arrows start from the number shown; the ends hold, and a size
    // above the range starts from its top. No text takes size 0: the field
    // shows the size kept. Each step: the number shown, the arrow, then the
    // size kept and the number shown.
    QStringList steps;
    for (const auto& [from, up] : {std::pair{"12", false}, {"30", true}, {"100", true}, {"250", true}, {"250", false}, {"1", false}, {"0", false}}) {
      Part<QLineEdit>(c, "FontS")->setText(from);
      h.Arrow(up);
      steps << QStringLiteral("%1%2%3=%4").arg(from, up ? "+" : "-").arg(h.sel->GetSize()).arg(Part<QLineEdit>(c, "FontS")->text());
    }
    QCOMPARE(steps.join(u' '), QStringLiteral("12-11=11 30+31=31 100+100=100 250+100=100 250-99=99 1-99=99 0-99=99"));
    // A click on the size field hands the focus back: sizes are not typed.
    QTest::mouseClick(Part<QLineEdit>(c, "FontS"), Qt::LeftButton);
    QVERIFY(h.TextHasFocus());

    // A font name is not typed either: the first key sends the focus back.
    const QString before = h.sel->GetName(), family = h.ListedFamily();
    Part<QComboBox>(c, "FontN")->lineEdit()->setFocus();
    QTest::keyClick(Part<QComboBox>(c, "FontN")->lineEdit(), Qt::Key_Z);
    QCOMPARE(h.sel->GetName(), before);
    QVERIFY(h.TextHasFocus());
    // Choosing from the list applies the name.
    Part<QComboBox>(c, "FontN")->showPopup();
    QAbstractItemView* view = Part<QComboBox>(c, "FontN")->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex item = view->model()->index(Part<QComboBox>(c, "FontN")->findText(family, Qt::MatchFixedString), 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(h.sel->GetName(), family);
    QVERIFY(h.TextHasFocus());
  }
};

QTEST_MAIN(TestFormat)
#include "test_format.moc"
