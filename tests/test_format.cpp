#include <QtTest>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include "DocumentHost.h"
#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "document/UpDown.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"

namespace {

struct Host : DocumentHost {
  // A document with its toolbar shown, the caret at the start, unmodified.
  TSoraChild* NewChild(const QString& text) {
    auto* c = new TSoraChild(area, &marks);
    c->ViewToolBarExecute();
    c->RichEdit1->SetSelText(text);
    c->RichEdit1->SetSelStart(0);
    c->RichEdit1->SetModified(false);
    QCoreApplication::processEvents();
    return c;
  }
};

void Select(TSoraChild* c, int start, int length) {
  c->RichEdit1->SetSelStart(start);
  c->RichEdit1->SetSelLength(length);
}

TColor Shown(QLineEdit* field) { return FromQColor(field->palette().color(QPalette::Base)); }

TFontStyles Styles(std::initializer_list<TFontStyle> list) {
  TFontStyles s;
  for (TFontStyle f : list) s = s.With(f);
  return s;
}

// A family the font list holds, other than the document's default.
QString ListedFamily(TSoraChild* c) {
  const QString def = c->RichEdit1->document()->defaultFont().family();
  for (int i = c->FontN->count() - 1; i >= 0; --i)
    if (c->FontN->itemText(i).compare(def, Qt::CaseInsensitive) != 0) return c->FontN->itemText(i);
  return {};
}

void ClickArrow(TUpDown* u, TUpDown::TUDBtnType b) {
  QTest::mouseClick(u, Qt::LeftButton, {}, QPoint(7, b == TUpDown::btNext ? 3 : u->height() - 3));
}

}  // namespace

class TestFormat : public QObject {
  Q_OBJECT
 private slots:
  void formCreateFillsFontFields();
  void toolbarOrderSizesAndGlyphs();
  void reflectionShowsCaretFormatting();
  void failingStepIsSwallowed();
  void styleButtonsFollowAndKeepOtherStyles();
  void alignmentButtonsAreGrouped();
  void bulletsOnAndOff();
  void colourDialogs();
  void upDownStepsFromShownSize();
  void fontNameOnlyByChoice();
  void fontDialogPresetApplyAndConfirm();
  void fontDialogApplyOnOtherControls();
  void viewToolBarTwice();
  void rtfRoundTripKeepsEveryAttribute();
};

void TestFormat::formCreateFillsFontFields() {
  Host h;
  auto* c = new TSoraChild(h.area, &h.marks);
  const QStringList families = QFontDatabase::families();
  QCOMPARE(c->FontN->count(), families.size());
  if (!families.isEmpty()) QCOMPARE(c->FontN->itemText(families.size() - 1), families.last());
  const QFont def = c->RichEdit1->document()->defaultFont();
  QCOMPARE(c->FontN->currentText(), def.family());
  QCOMPARE(c->FontS->text(), QString::number(def.pointSize()));
}

void TestFormat::toolbarOrderSizesAndGlyphs() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("abc"));
  struct Item {
    const char* name;
    int left, width;
  };
  // The hidden separator between the colour fields takes no room.
  const Item items[] = {{"BoldButton", 0, 23},   {"ItalicButton", 23, 23}, {"UnderlineButton", 46, 23},
                        {"ToolButton4", 69, 8},  {"LeftAlign", 77, 23},    {"CenterAlign", 100, 23},
                        {"RightAlign", 123, 23}, {"ToolButton8", 146, 8},  {"BulletsButton", 154, 23},
                        {"ToolButton12", 177, 8}, {"ToolButton11", 185, 23}, {"ToolButton1", 208, 8},
                        {"FontCol", 216, 45},    {"BackCol", 261, 45},     {"ToolButton3", 306, 4},
                        {"Panel4", 310, 199}};
  QStringList order;
  for (QAction* a : c->ToolBar1->actions())
    if (a->isVisible()) order << c->ToolBar1->widgetForAction(a)->objectName();
  QStringList expected;
  for (const Item& it : items) expected << QLatin1String(it.name);
  QCOMPARE(order, expected);
  for (const Item& it : items) {
    auto* w = c->ToolBar1->findChild<QWidget*>(QLatin1String(it.name));
    QVERIFY2(w, it.name);
    QCOMPARE(w->geometry(), QRect(it.left, 2, it.width, 22));
  }
  QVERIFY(c->ToolBar1->findChild<QWidget*>("ToolButton2")->isHidden());
  QCOMPARE(c->FontN->geometry(), QRect(1, 1, 145, 20));
  QCOMPARE(c->FontS->geometry(), QRect(150, 1, 30, 20));
  QCOMPARE(c->UpDown1->geometry(), QRect(180, 1, 15, 20));
  // Eight glyphs, all drawn and all different.
  const QToolButton* buttons[] = {c->BoldButton, c->ItalicButton, c->UnderlineButton, c->LeftAlign,
                                  c->CenterAlign, c->RightAlign, c->BulletsButton, c->ToolButton11};
  QList<QImage> glyphs;
  for (const QToolButton* b : buttons) {
    const QImage img = b->icon().pixmap(16, 16).toImage();
    QVERIFY(!img.isNull());
    QVERIFY(!glyphs.contains(img));
    glyphs << img;
  }
  // The undo button runs the editing command.
  QTest::keyClicks(c->RichEdit1, "xyz");
  QVERIFY(c->RichEdit1->GetText().contains("xyz"));
  QTest::mouseClick(c->ToolButton11, Qt::LeftButton);
  QVERIFY(!c->RichEdit1->GetText().contains("xyz"));
}

void TestFormat::reflectionShowsCaretFormatting() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("plain STYLED plain"));
  const QString family = ListedFamily(c);
  QVERIFY(!family.isEmpty());
  Select(c, 6, 6);
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  sel.SetStyle(Styles({TFontStyle::fsBold, TFontStyle::fsItalic}));
  sel.SetSize(20);
  sel.SetName(family);
  sel.SetColor(clRed);
  c->RichEdit1->SetModified(false);
  const TColor background = Shown(c->BackCol);

  c->RichEdit1->SetSelStart(9);
  QVERIFY(c->BoldButton->isChecked());
  QVERIFY(c->ItalicButton->isChecked());
  QVERIFY(!c->UnderlineButton->isChecked());
  QCOMPARE(c->FontS->text(), QString("20"));
  QCOMPARE(c->FontN->currentText(), family);
  QVERIFY(c->FontN->currentIndex() >= 0);
  QCOMPARE(Shown(c->FontCol), clRed);
  QCOMPARE(Shown(c->BackCol), background);
  QVERIFY(!c->Updating);
  // Showing the formatting changes nothing in the text.
  QVERIFY(!c->RichEdit1->GetModified());
  QCOMPARE(sel.GetStyle(), Styles({TFontStyle::fsBold, TFontStyle::fsItalic}));

  c->RichEdit1->SetSelStart(2);
  QVERIFY(!c->BoldButton->isChecked());
  QVERIFY(!c->ItalicButton->isChecked());
  QCOMPARE(c->FontS->text(), QString::number(sel.GetSize()));
  QVERIFY(c->FontS->text() != QString("20"));

  // A font the list does not hold leaves the name field empty.
  Select(c, 0, 5);
  sel.SetName(QStringLiteral("No Such Family 7f3a"));
  c->RichEdit1->SetSelStart(2);
  QCOMPARE(c->FontN->currentIndex(), -1);
  QCOMPARE(c->FontN->currentText(), QString());
}

void TestFormat::styleButtonsFollowAndKeepOtherStyles() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("one two three"));
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  Select(c, 4, 3);
  sel.SetStyle(Styles({TFontStyle::fsItalic, TFontStyle::fsStrikeOut}));
  Select(c, 4, 3);
  QVERIFY(!c->BoldButton->isChecked());
  QTest::mouseClick(c->BoldButton, Qt::LeftButton);
  QCOMPARE(sel.GetStyle(), Styles({TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsStrikeOut}));
  QTest::mouseClick(c->BoldButton, Qt::LeftButton);
  QCOMPARE(sel.GetStyle(), Styles({TFontStyle::fsItalic, TFontStyle::fsStrikeOut}));
  QTest::mouseClick(c->UnderlineButton, Qt::LeftButton);
  QCOMPARE(sel.GetStyle(), Styles({TFontStyle::fsItalic, TFontStyle::fsUnderline, TFontStyle::fsStrikeOut}));
  QTest::mouseClick(c->ItalicButton, Qt::LeftButton);  // italic was down: released
  QCOMPARE(sel.GetStyle(), Styles({TFontStyle::fsUnderline, TFontStyle::fsStrikeOut}));
  // The text outside the selection is untouched.
  Select(c, 0, 3);
  QCOMPARE(sel.GetStyle(), TFontStyles{});
  // While the reflection runs, the commands do nothing.
  c->Updating = true;
  QTest::mouseClick(c->BoldButton, Qt::LeftButton);
  c->Updating = false;
  QCOMPARE(sel.GetStyle(), TFontStyles{});
}

void TestFormat::alignmentButtonsAreGrouped() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("first\r\nsecond"));
  TParaAttributes& para = c->RichEdit1->Paragraph();
  QVERIFY(c->LeftAlign->isChecked());
  QTest::mouseClick(c->CenterAlign, Qt::LeftButton);
  QCOMPARE(para.GetAlignment(), taCenter);
  QVERIFY(c->CenterAlign->isChecked());
  QVERIFY(!c->LeftAlign->isChecked() && !c->RightAlign->isChecked());
  QTest::mouseClick(c->CenterAlign, Qt::LeftButton);  // a pressed group button stays pressed
  QVERIFY(c->CenterAlign->isChecked());
  QCOMPARE(para.GetAlignment(), taCenter);
  QTest::mouseClick(c->RightAlign, Qt::LeftButton);
  QCOMPARE(para.GetAlignment(), taRightJustify);
  QVERIFY(!c->CenterAlign->isChecked());
  // Only the caret's paragraph changed.
  c->RichEdit1->SetSelStart(8);
  QCOMPARE(para.GetAlignment(), taLeftJustify);
  QVERIFY(c->LeftAlign->isChecked() && !c->RightAlign->isChecked());
  c->RichEdit1->SetSelStart(1);
  QVERIFY(c->RightAlign->isChecked());
}

void TestFormat::bulletsOnAndOff() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("aa\r\nbb\r\ncc"));
  TParaAttributes& para = c->RichEdit1->Paragraph();
  Select(c, 1, 4);  // touches "aa" and "bb"
  QTest::mouseClick(c->BulletsButton, Qt::LeftButton);
  QVERIFY(c->BulletsButton->isChecked());
  const auto numbering = [&](int pos) {
    c->RichEdit1->SetSelStart(pos);
    return para.GetNumbering();
  };
  QCOMPARE(numbering(0), nsBullet);
  QCOMPARE(numbering(4), nsBullet);
  QCOMPARE(numbering(8), nsNone);
  QVERIFY(c->RichEdit1->GetModified());
  Select(c, 1, 4);
  QVERIFY(c->BulletsButton->isChecked());
  QTest::mouseClick(c->BulletsButton, Qt::LeftButton);
  QCOMPARE(numbering(0), nsNone);
  QCOMPARE(numbering(4), nsNone);
  QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("aa\r\nbb\r\ncc"));
}

void TestFormat::colourDialogs() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("colour me"));
  Dialogs::Script script;
  TColor preset = 0;
  const auto answer = [&](TColor chosen, bool ok) {
    script.ColorAnswers.push_back([&preset, chosen, ok](TColorDialog& d) {
      preset = d.Color;
      d.Color = chosen;
      return ok;
    });
  };
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  Select(c, 0, 6);
  sel.SetColor(clGreen);
  Select(c, 0, 6);
  QCOMPARE(Shown(c->FontCol), clGreen);
  c->RichEdit1->SetModified(false);

  // Text colour: preset to the selection's; Cancel changes nothing.
  answer(clBlue, false);
  QTest::mouseClick(c->FontCol, Qt::LeftButton);
  QCOMPARE(preset, clGreen);
  QCOMPARE(sel.GetColor(), clGreen);
  QCOMPARE(Shown(c->FontCol), clGreen);
  QVERIFY(!c->RichEdit1->GetModified());
  answer(clBlue, true);
  c->EditCharColor->trigger();
  QCOMPARE(sel.GetColor(), clBlue);
  QCOMPARE(Shown(c->FontCol), clBlue);
  QCOMPARE(c->RichEdit1->GetColor(), clWindow);

  // Background: the whole control, not the selection.
  const TColor before = Shown(c->BackCol);
  answer(clYellow, false);
  QTest::mouseClick(c->BackCol, Qt::LeftButton);
  QCOMPARE(preset, clWindow);
  QCOMPARE(c->RichEdit1->GetColor(), clWindow);
  QCOMPARE(Shown(c->BackCol), before);
  answer(clAqua, true);
  c->EditBackColor->trigger();
  QCOMPARE(c->RichEdit1->GetColor(), clAqua);
  QCOMPARE(FromQColor(c->RichEdit1->palette().color(QPalette::Base)), clAqua);
  QCOMPARE(Shown(c->BackCol), clAqua);
  QCOMPARE(sel.GetColor(), clBlue);
  // Moving the caret leaves the background field alone.
  c->RichEdit1->SetSelStart(8);
  QVERIFY(sel.GetColor() != clBlue);
  QCOMPARE(Shown(c->BackCol), clAqua);
  QVERIFY(script.ColorAnswers.empty() && script.Unexpected.isEmpty());
}

void TestFormat::upDownStepsFromShownSize() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("sizes"));
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  Select(c, 0, 5);
  sel.SetSize(12);
  Select(c, 0, 5);
  QCOMPARE(c->FontS->text(), QString("12"));
  ClickArrow(c->UpDown1, TUpDown::btNext);
  QCOMPARE(sel.GetSize(), 13);
  QCOMPARE(c->FontS->text(), QString("13"));
  Select(c, 0, 5);
  sel.SetSize(12);
  Select(c, 0, 5);
  ClickArrow(c->UpDown1, TUpDown::btPrev);
  QCOMPARE(sel.GetSize(), 11);
  QCOMPARE(c->FontS->text(), QString("11"));
  // The arrows start from the number shown, not from their last position.
  c->FontS->setText("30");
  ClickArrow(c->UpDown1, TUpDown::btNext);
  QCOMPARE(sel.GetSize(), 31);
  // A click on the size field hands the focus back: sizes are not typed.
  QTest::mouseClick(c->FontS, Qt::LeftButton);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c->RichEdit1));
  QVERIFY(!c->FontS->isReadOnly());
  // The ends hold; a size above the range starts from its top.
  c->FontS->setText("100");
  ClickArrow(c->UpDown1, TUpDown::btNext);
  QCOMPARE(c->FontS->text(), QString("100"));
  QCOMPARE(sel.GetSize(), 100);
  c->FontS->setText("250");
  ClickArrow(c->UpDown1, TUpDown::btPrev);
  QCOMPARE(c->FontS->text(), QString("99"));
  c->FontS->setText("1");
  ClickArrow(c->UpDown1, TUpDown::btPrev);
  ClickArrow(c->UpDown1, TUpDown::btPrev);
  QCOMPARE(c->FontS->text(), QString("0"));
  QCOMPARE(c->UpDown1->GetPosition(), short(0));
}

void TestFormat::fontNameOnlyByChoice() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("names"));
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  const QString family = ListedFamily(c);
  Select(c, 0, 5);
  const QString before = sel.GetName();

  // Typing is not applied: the first key sends the focus back to the text.
  c->FontN->lineEdit()->setFocus();
  QTest::keyClick(c->FontN->lineEdit(), Qt::Key_Z);
  QCOMPARE(sel.GetName(), before);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c->RichEdit1));

  // Choosing from the list applies the name.
  const int index = c->FontN->findText(family, Qt::MatchFixedString);
  c->FontN->showPopup();
  QAbstractItemView* view = c->FontN->view();
  QTRY_VERIFY(view->isVisible());
  const QModelIndex item = view->model()->index(index, 0);
  view->scrollTo(item);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
  QTRY_VERIFY(!view->isVisible());
  QCOMPARE(sel.GetName(), family);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c->RichEdit1));
}

void TestFormat::fontDialogPresetApplyAndConfirm() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("dialog text"));
  Dialogs::Script script;
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  const QString family = ListedFamily(c);
  Select(c, 0, 6);
  sel.SetName(family);
  sel.SetSize(14);
  sel.SetStyle(Styles({TFontStyle::fsBold}));
  sel.SetColor(clRed);
  Select(c, 0, 6);
  c->RichEdit1->setFocus();

  // Apply sets the selection at once; a later Cancel keeps it.
  int sizeAfterApply = 0;
  script.FontAnswers.push_back([&](TFontDialog& d) {
    [&] {
      QCOMPARE(d.Font.family(), family);
      QCOMPARE(d.Font.pointSize(), 14);
      QVERIFY(d.Font.bold() && !d.Font.italic());
      QCOMPARE(d.Color, clRed);
      QVERIFY(bool(d.OnApply));
    }();
    QFont f = d.Font;
    f.setPointSize(20);
    d.OnApply(f, clBlue);
    sizeAfterApply = sel.GetSize();
    return false;
  });
  // Ctrl+F in the text opens the dialog.
  QTest::keyClick(c->RichEdit1, Qt::Key_F, Qt::ControlModifier);
  QVERIFY(script.FontAnswers.empty());
  QCOMPARE(sizeAfterApply, 20);
  QCOMPARE(sel.GetSize(), 20);
  QCOMPARE(sel.GetColor(), clBlue);

  // Confirming copies the dialog's font.
  script.FontAnswers.push_back([](TFontDialog& d) {
    d.Font.setPointSize(9);
    d.Font.setBold(false);
    d.Font.setItalic(true);
    return true;
  });
  c->EditFontExecute();
  QCOMPARE(sel.GetSize(), 9);
  QCOMPARE(sel.GetStyle(), Styles({TFontStyle::fsItalic}));
  QCOMPARE(sel.GetName(), family);

  // Cancelled without Apply: nothing changes.
  c->RichEdit1->SetModified(false);
  script.FontAnswers.push_back([](TFontDialog& d) {
    d.Font.setPointSize(40);
    return false;
  });
  c->EditFont->trigger();
  QCOMPARE(sel.GetSize(), 9);
  QVERIFY(!c->RichEdit1->GetModified());
  QVERIFY(script.Unexpected.isEmpty());
}

void TestFormat::fontDialogApplyOnOtherControls() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("apply"));
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  Select(c, 0, 5);
  const int size = sel.GetSize();
  QFont big(c->FontS->font());
  big.setPointSize(31);

  // An edit that last held the focus takes the whole font.
  c->FontS->setFocus();
  c->FontDialog1.OnApply(big, clRed);
  QCOMPARE(c->FontS->font().pointSize(), 31);
  QCOMPARE(c->FontS->palette().color(QPalette::Text), ToQColor(clRed));
  QCOMPARE(sel.GetSize(), size);

  // Anything else only beeps.
  const QFont fieldFont = c->FontCol->font();
  c->FontN->setFocus();
  big.setPointSize(33);
  c->FontDialog1.OnApply(big, clBlue);
  QCOMPARE(sel.GetSize(), size);
  QVERIFY(c->FontN->font().pointSize() != 33);
  QCOMPARE(c->FontCol->font(), fieldFont);
}

void TestFormat::viewToolBarTwice() {
  Host h;
  auto* c = new TSoraChild(h.area, &h.marks);
  QVERIFY(c->ToolBar1->isHidden());
  c->ViewToolBar->trigger();
  QVERIFY(!c->ToolBar1->isHidden());
  QCOMPARE(h.marks.button, 1);
  c->ViewToolBarExecute();
  QVERIFY(c->ToolBar1->isHidden());
  QCOMPARE(h.marks.button, 0);
}

void TestFormat::failingStepIsSwallowed() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("bold\r\ncentre"));
  Select(c, 0, 4);
  c->RichEdit1->SelAttributes().SetStyle(Styles({TFontStyle::fsBold}));
  c->RichEdit1->SetSelStart(8);
  c->RichEdit1->Paragraph().SetAlignment(taCenter);
  c->RichEdit1->SetSelStart(1);
  QVERIFY(c->BoldButton->isChecked() && c->LeftAlign->isChecked());
  // Hidden, the text cannot take the focus: the steps before it run, the
  // alignment step after it does not, and nothing is reported.
  h.window.hide();
  c->RichEdit1->SetSelStart(9);
  QVERIFY(!c->BoldButton->isChecked());
  QVERIFY(c->LeftAlign->isChecked() && !c->CenterAlign->isChecked());
  QVERIFY(!c->Updating);
  h.window.show();
  c->RichEdit1->SetSelStart(10);
  QVERIFY(c->CenterAlign->isChecked());
}

void TestFormat::rtfRoundTripKeepsEveryAttribute() {
  Host h;
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  TSoraChild* c = h.NewChild(QString::fromUtf8("太字の見出し\r\ncentred strike\r\nright bullets\r\nplain"));
  TTextAttributes& sel = c->RichEdit1->SelAttributes();
  TParaAttributes& para = c->RichEdit1->Paragraph();
  const QString family = ListedFamily(c);

  Select(c, 0, 12);
  sel.SetName(family);
  sel.SetSize(18);
  sel.SetStyle(Styles({TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline}));
  sel.SetColor(clRed);
  c->RichEdit1->SetSelStart(14);
  c->CenterAlign->click();
  Select(c, 14, 7);
  sel.SetStyle(Styles({TFontStyle::fsStrikeOut}));
  sel.SetColor(0x123456);
  c->RichEdit1->SetSelStart(30);
  c->RightAlign->click();
  c->BulletsButton->click();
  para.SetFirstIndent(18);
  para.SetLeftIndent(-10);
  para.SetRightIndent(12);

  c->FilePath = dir.filePath("formatted.rtf");
  c->FileSaveExecute();
  QVERIFY(!c->RichEdit1->GetModified());

  auto* d = new TSoraChild(h.area, &h.marks);
  d->ViewToolBarExecute();
  d->RichEdit1->LoadFromFile(c->FilePath);
  QCOMPARE(d->RichEdit1->GetText(), c->RichEdit1->GetText());
  TTextAttributes& got = d->RichEdit1->SelAttributes();
  TParaAttributes& gotPara = d->RichEdit1->Paragraph();

  Select(d, 2, 4);
  QCOMPARE(got.GetName(), family);
  QCOMPARE(got.GetSize(), 18);
  QCOMPARE(got.GetStyle(), Styles({TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline}));
  QCOMPARE(got.GetColor(), clRed);
  QCOMPARE(gotPara.GetAlignment(), taLeftJustify);
  // The toolbar shows it too.
  QVERIFY(d->BoldButton->isChecked() && d->ItalicButton->isChecked() && d->UnderlineButton->isChecked());
  QCOMPARE(d->FontS->text(), QString("18"));
  QCOMPARE(d->FontN->currentText(), family);
  QCOMPARE(Shown(d->FontCol), clRed);

  Select(d, 15, 3);
  QCOMPARE(got.GetStyle(), Styles({TFontStyle::fsStrikeOut}));
  QCOMPARE(got.GetColor(), TColor(0x123456));
  QCOMPARE(gotPara.GetAlignment(), taCenter);
  QCOMPARE(gotPara.GetNumbering(), nsNone);
  QVERIFY(d->CenterAlign->isChecked());

  d->RichEdit1->SetSelStart(31);
  QCOMPARE(gotPara.GetAlignment(), taRightJustify);
  QCOMPARE(gotPara.GetNumbering(), nsBullet);
  QCOMPARE(gotPara.GetFirstIndent(), 18);
  QCOMPARE(gotPara.GetLeftIndent(), -10);
  QCOMPARE(gotPara.GetRightIndent(), 12);
  QVERIFY(d->BulletsButton->isChecked() && d->RightAlign->isChecked());

  d->RichEdit1->SetSelStart(d->RichEdit1->GetTextLen() - 1);
  QCOMPARE(gotPara.GetAlignment(), taLeftJustify);
  QCOMPARE(gotPara.GetNumbering(), nsNone);
  QCOMPARE(gotPara.GetFirstIndent(), 0);
  QCOMPARE(got.GetStyle(), TFontStyles{});
}

QTEST_MAIN(TestFormat)
#include "test_format.moc"
