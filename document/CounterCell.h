#pragma once
// One cell of the counter bar: a borderless black memo that shows a number or
// a unit. A press takes the focus away from the text for a moment; the
// window's click handler hands it straight back.
#include <QLineEdit>

class TCounterCell : public QLineEdit {
  Q_OBJECT
 public:
  explicit TCounterCell(QWidget* parent = nullptr);

  // Shows the text; an unchanged text costs no repaint.
  void SetText(const QString& text) {
    if (text != this->text()) setText(text);
  }
  // Font colour of the text (0x00BBGGRR).
  void SetFontColor(quint32 color);
  quint32 FontColor() const { return color_; }

 signals:
  void OnMouseDown();
  void OnClick();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  quint32 color_ = 0;
  bool pressed_ = false;
};
