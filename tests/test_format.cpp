// Guards the format toolbar: its layout, the reflection of the caret's format, and the commands it runs.
#include <QtTest>

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

TColor Shown(QLineEdit* field) { return FromQColor(field->palette().color(QPalette::Base)); }

// A document with its toolbar shown, the caret at the start, unmodified.
struct Host : DocumentHost {
  TSoraChild* c = nullptr;
  TTextAttributes* sel = nullptr;
  Dialogs::Script script;
  explicit Host(const QString& text) {
    c = new TSoraChild(area, &marks);
    c->ViewToolBarExecute();
    c->Text()->SetSelText(text);
    c->Text()->SetSelStart(0);
    c->Text()->SetModified(false);
    sel = &c->Text()->SelAttributes();
    QCoreApplication::processEvents();
  }
  QLineEdit* Field(const char* name) const { return Part<QLineEdit>(c, name); }
  QComboBox* Names() const { return Part<QComboBox>(c, "FontN"); }
  void Press(const char* button) const { QTest::mouseClick(Part<QToolButton>(c, button), Qt::LeftButton); }
  void Select(int start, int length) { c->Text()->SetSelStart(start), c->Text()->SetSelLength(length); }
  TParaAttributes& ParaAt(int pos) {
    c->Text()->SetSelStart(pos);
    return c->Text()->Paragraph();
  }
  // The pressed buttons of the bar, by their first letters: Bold, Italic,
  // Underline, Left, Centre, Right, bullets (N); "-" for one not pressed.
  QString Down() const {
    QString s;
    for (const char* name : {"BoldButton", "ItalicButton", "UnderlineButton", "LeftAlign", "CenterAlign", "RightAlign", "BulletsButton"})
      s += Part<QToolButton>(c, name)->isChecked() ? QChar::fromLatin1(name[0] == 'B' && name[1] == 'u' ? 'N' : name[0]) : u'-';
    return s;
  }
  // The whole bar: pressed buttons, size, font name, text and background colours.
  QStringList Bar() const {
    return {Down(), Field("FontS")->text(), Names()->currentText(), ToQColor(Shown(Field("FontCol"))).name(),
            ToQColor(Shown(Field("BackCol"))).name()};
  }
  // A family the font list holds, other than the document's default.
  QString ListedFamily() const {
    const QString def = c->Text()->document()->defaultFont().family();
    for (int i = Names()->count() - 1; i >= 0; --i)
      if (Names()->itemText(i).compare(def, Qt::CaseInsensitive) != 0) return Names()->itemText(i);
    return {};
  }
  // The font dialog's Apply button pressed with font, the dialog then closed.
  void ApplyFont(const QFont& font, TColor color) {
    script.FontAnswers.push_back([font, color](TFontDialog& d) { return d.OnApply(font, color), false; });
    c->EditFontExecute();
  }
};

}  // namespace

class TestFormat : public QObject {
  Q_OBJECT
 private slots:
  void barAndItsFields() {
    Host h(QStringLiteral("abc"));
    QCOMPARE(h.Names()->count(), QFontDatabase::families().size());
    // Left edges of the visible items; the hidden separator takes no room.
    QToolBar* bar = Part<QToolBar>(h.c, "ToolBar1");
    QStringList shown;
    for (QAction* a : bar->actions()) {
      const QWidget* w = bar->widgetForAction(a);
      if (a->isVisible()) shown << QStringLiteral("%1@%2,%3").arg(w->objectName()).arg(w->x()).arg(w->y());
    }
    QCOMPARE(shown.join(u' '), QStringLiteral("BoldButton@0,2 ItalicButton@23,2 UnderlineButton@46,2 ToolButton4@69,2 "
                                              "LeftAlign@77,2 CenterAlign@100,2 RightAlign@123,2 ToolButton8@146,2 "
                                              "BulletsButton@154,2 ToolButton12@177,2 ToolButton11@185,2 ToolButton1@208,2 "
                                              "FontCol@216,2 BackCol@261,2 ToolButton3@306,2 Panel4@310,2"));
    // Eight glyphs, all drawn and all different.
    QSet<QByteArray> glyphs;
    for (const char* name : {"BoldButton", "ItalicButton", "UnderlineButton", "LeftAlign", "CenterAlign", "RightAlign",
                             "BulletsButton", "ToolButton11"})
      if (const QImage img = Part<QToolButton>(h.c, name)->icon().pixmap(16, 16).toImage(); !img.isNull())
        glyphs << QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
    QCOMPARE(glyphs.size(), 8);
    // The undo button runs the editing command.
    QTest::keyClicks(h.c->Text(), "xyz");
    h.Press("ToolButton11");
    QCOMPARE(h.c->Text()->GetText(), QStringLiteral("abc"));
    h.Select(0, 3);
    // The arrows start from the number shown; the ends hold, and a size
    // above the range starts from its top. No text takes size 0: the field
    // shows the size kept. Each step: the number shown, the arrow, then the
    // size kept and the number shown.
    TUpDown* arrows = Part<TUpDown>(h.c, "UpDown1");
    QStringList steps;
    for (const auto& [from, up] : {std::pair{"12", false}, {"30", true}, {"100", true}, {"250", true}, {"250", false}, {"1", false}}) {
      h.Field("FontS")->setText(from);
      QTest::mouseClick(arrows, Qt::LeftButton, {}, QPoint(7, up ? 3 : arrows->height() - 3));
      steps << QStringLiteral("%1%2%3=%4").arg(from, up ? "+" : "-").arg(h.sel->GetSize()).arg(h.Field("FontS")->text());
    }
    QCOMPARE(steps.join(u' '), QStringLiteral("12-11=11 30+31=31 100+100=100 250+100=100 250-99=99 1-99=99"));
    // A click on the size field hands the focus back: sizes are not typed.
    QTest::mouseClick(h.Field("FontS"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), h.c->Text());

    // A font name is not typed either: the first key sends the focus back.
    const QString before = h.sel->GetName(), family = h.ListedFamily();
    h.Names()->lineEdit()->setFocus();
    QTest::keyClick(h.Names()->lineEdit(), Qt::Key_Z);
    QCOMPARE(h.sel->GetName(), before);
    QCOMPARE(QApplication::focusWidget(), h.c->Text());
    // Choosing from the list (Qt's pop-up reports it as activated) applies the name.
    h.Names()->setFocus();
    h.Names()->setCurrentIndex(h.Names()->findText(family, Qt::MatchFixedString));
    emit h.Names()->activated(h.Names()->currentIndex());
    QCOMPARE(h.sel->GetName(), family);
    QCOMPARE(QApplication::focusWidget(), h.c->Text());

    // The window's own entry hides the bar and clears the frame's mark; the frame's command is the frame test's.
    Part<QAction>(h.c, "ViewToolBar")->trigger();
    QCOMPARE(QList<int>({bar->isHidden(), h.marks.button}), QList<int>({1, 0}));
  }

  void reflection() {
    Host h(QStringLiteral("plain STYLED plain\r\nnext"));
    const QString family = h.ListedFamily();
    h.Select(6, 6);
    h.sel->SetStyle(Styles({B, I})); h.sel->SetSize(20); h.sel->SetName(family); h.sel->SetColor(clRed);
    h.c->Text()->SetModified(false);
    const QString background = h.Bar()[4];
    h.c->Text()->SetSelStart(9);
    QCOMPARE(h.Bar(), QStringList({"BI-L---", "20", family, "#ff0000", background}));
    QVERIFY(!h.c->Text()->GetModified());  // showing the formatting changes nothing in the text
    // A font the list does not hold leaves the name field empty.
    h.Select(0, 5);
    h.sel->SetName(QStringLiteral("No Such Family 7f3a"));
    h.c->Text()->SetSelStart(2);
    QCOMPARE(h.Bar().mid(0, 3), QStringList({"---L---", QString::number(h.sel->GetSize()), QString()}));

    // Hidden, the text cannot take the focus: the steps before that run, the
    // alignment step after it does not, and nothing is reported.
    h.ParaAt(22).SetAlignment(taCenter);
    h.Select(6, 1);
    QCOMPARE(h.Down(), QStringLiteral("BI-L---"));
    h.window.hide();
    h.c->Text()->SetSelStart(22);
    QCOMPARE(h.Down(), QStringLiteral("---L---"));
  }

  void commandsFollowTheButtons() {
    Host h(QStringLiteral("aa two\r\nbb\r\ncc"));
    h.Select(3, 3);
    h.sel->SetStyle(Styles({I, S}));
    h.Select(3, 3);
    // Each style button adds or removes its own style and keeps the others.
    QList<TFontStyles> styles;
    for (const char* button : {"BoldButton", "BoldButton", "UnderlineButton", "ItalicButton"})
      h.Press(button), styles << h.sel->GetStyle();
    QCOMPARE(styles, QList<TFontStyles>({Styles({B, I, S}), Styles({I, S}), Styles({I, U, S}), Styles({U, S})}));
    h.Select(0, 2);
    QCOMPARE(h.sel->GetStyle(), TFontStyles{});

    // Alignment: one of three, for the caret's paragraph only.
    h.c->Text()->SetSelStart(0);
    h.Press("CenterAlign");
    h.Press("CenterAlign");  // a pressed group button stays pressed
    QCOMPARE(h.Down(), QStringLiteral("----C--"));
    h.Press("RightAlign");
    QCOMPARE(h.Down(), QStringLiteral("-----R-"));
    h.ParaAt(9);  // the bar shows each paragraph's own alignment
    QCOMPARE(h.Down(), QStringLiteral("---L---"));
    QCOMPARE(h.ParaAt(1).GetAlignment(), taRightJustify);

    // Bullets for every paragraph the selection touches, and off again.
    h.c->Text()->SetModified(false);
    h.Select(1, 8);
    h.Press("BulletsButton");
    QVERIFY(h.c->Text()->GetModified());
    const auto bullets = [&] {
      return QList<TNumberingStyle>{h.ParaAt(0).GetNumbering(), h.ParaAt(9).GetNumbering(), h.ParaAt(13).GetNumbering()};
    };
    QCOMPARE(bullets(), (QList<TNumberingStyle>{nsBullet, nsBullet, nsNone}));
    h.Select(1, 8);
    QCOMPARE(h.Down(), QStringLiteral("-----RN"));
    h.Press("BulletsButton");
    QCOMPARE(bullets(), (QList<TNumberingStyle>{nsNone, nsNone, nsNone}));
    QCOMPARE(h.c->Text()->GetText(), QStringLiteral("aa two\r\nbb\r\ncc"));
  }

  void colourAndFontDialogs() {
    Host h(QStringLiteral("colour me"));
    TSoraChild* c = h.c;
    TColor preset = 0;
    const auto answer = [&](TColor chosen, bool ok) {
      h.script.ColorAnswers.push_back([&preset, chosen, ok](TColorDialog& d) {
        preset = d.Color;
        d.Color = chosen;
        return ok;
      });
    };
    // The selection's colour, the two fields, the control's background, Modified.
    const auto colours = [&] {
      return QList<TColor>{h.sel->GetColor(), Shown(h.Field("FontCol")), Shown(h.Field("BackCol")),
                           FromQColor(c->Text()->palette().color(QPalette::Base)), TColor(c->Text()->GetModified())};
    };
    h.Select(0, 6);
    h.sel->SetColor(clGreen);
    c->Text()->SetModified(false);
    const QList<TColor> before = colours();
    // Text colour: preset to the selection's; Cancel changes nothing.
    answer(clBlue, false);
    QTest::mouseClick(h.Field("FontCol"), Qt::LeftButton);
    QCOMPARE(preset, clGreen);
    QCOMPARE(colours(), before);
    answer(clBlue, true);
    Part<QAction>(c, "EditCharColor")->trigger();
    QCOMPARE(colours(), (QList<TColor>{clBlue, clBlue, before[2], before[3], 1}));
    // Background: preset to the control's; the whole control, not the selection.
    answer(clYellow, false);
    QTest::mouseClick(h.Field("BackCol"), Qt::LeftButton);
    QCOMPARE(preset, clWindow);
    QCOMPARE(Shown(h.Field("BackCol")), before[2]);
    answer(clAqua, true);
    Part<QAction>(c, "EditBackColor")->trigger();
    QCOMPARE(colours(), (QList<TColor>{clBlue, clBlue, clAqua, clAqua, 1}));
    // Moving the caret leaves the background field alone.
    c->Text()->SetSelStart(8);
    QVERIFY(h.sel->GetColor() != clBlue);
    QCOMPARE(Shown(h.Field("BackCol")), clAqua);

    // The font dialog: preset from the selection; Apply sets the selection at
    // once and a later Cancel keeps it. Ctrl+F in the text opens the dialog.
    h.Select(0, 6);
    h.sel->SetSize(14); h.sel->SetStyle(Styles({B})); h.sel->SetColor(clRed);
    c->Text()->setFocus();
    QList<int> presetFont;
    h.script.FontAnswers.push_back([&](TFontDialog& d) {
      presetFont = {d.Font.pointSize(), d.Font.bold(), d.Font.italic(), int(d.Color)};
      QFont f = d.Font;
      f.setPointSize(20);
      return d.OnApply(f, clBlue), false;
    });
    QTest::keyClick(c->Text(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(presetFont, QList<int>({14, 1, 0, int(clRed)}));
    QCOMPARE(QList<int>({h.sel->GetSize(), int(h.sel->GetColor())}), QList<int>({20, int(clBlue)}));
    // Confirming copies the dialog's font; cancelling without Apply changes nothing.
    h.script.FontAnswers.push_back([](TFontDialog& d) {
      d.Font.setPointSize(9); d.Font.setBold(false); d.Font.setItalic(true);
      return true;
    });
    c->EditFontExecute();
    QCOMPARE(h.sel->GetSize(), 9);
    QCOMPARE(h.sel->GetStyle(), Styles({I}));
    c->Text()->SetModified(false);
    h.script.FontAnswers.push_back([](TFontDialog& d) { return d.Font.setPointSize(40), false; });
    Part<QAction>(c, "EditFont")->trigger();
    QCOMPARE(h.sel->GetSize(), 9);
    QVERIFY(!c->Text()->GetModified());
    QVERIFY(h.script.Unexpected.isEmpty());

    // Apply with the focus on a plain edit gives that edit the font; elsewhere it only beeps.
    QFont big(h.Field("FontS")->font());
    big.setPointSize(31);
    h.Field("FontS")->setFocus();
    h.ApplyFont(big, clRed);
    QCOMPARE(h.Field("FontS")->font().pointSize(), 31);
    QCOMPARE(h.Field("FontS")->palette().color(QPalette::Text), ToQColor(clRed));
    h.Names()->setFocus();
    big.setPointSize(33);
    h.ApplyFont(big, clBlue);
    QVERIFY(h.Names()->font().pointSize() != 33);
    QCOMPARE(h.sel->GetSize(), 9);
  }
};

QTEST_MAIN(TestFormat)
#include "test_format.moc"
