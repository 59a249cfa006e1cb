#pragma once
// TCColorGrid: the sixteen standard colours as a grid of squares, from which
// the user picks a foreground colour (left button, F key) and a background
// colour (other buttons, B key). The selection is the keyboard cursor.
#include <QWidget>

#include "platform/Colors.h"

class QPainter;

namespace Cgrid {
void Register();
}

class TCColorGrid : public QWidget {
  Q_OBJECT
 public:
  enum TGridOrdering : quint8 { go16x1 = 0, go8x2 = 1, go4x4 = 2, go2x8 = 3, go1x16 = 4 };
  Q_ENUM(TGridOrdering)

 private:
  Q_PROPERTY(bool ClickEnablesColor READ GetClickEnablesColor WRITE SetClickEnablesColor)
  Q_PROPERTY(bool Ctl3D READ GetCtl3D WRITE SetCtl3D)
  Q_PROPERTY(TGridOrdering GridOrdering READ GetGridOrdering WRITE SetGridOrdering)
  Q_PROPERTY(int ForegroundIndex READ GetForegroundIndex WRITE SetForegroundIndex)
  Q_PROPERTY(int BackgroundIndex READ GetBackgroundIndex WRITE SetBackgroundIndex)
  Q_PROPERTY(bool ForegroundEnabled READ GetForegroundEnabled WRITE EnableForeground)
  Q_PROPERTY(bool BackgroundEnabled READ GetBackgroundEnabled WRITE EnableBackground)
  Q_PROPERTY(int Selection READ GetSelection WRITE SetSelection)
  Q_PROPERTY(bool TabStop READ GetTabStop WRITE SetTabStop)

 public:
  explicit TCColorGrid(QWidget* owner = nullptr);

  // What the colour getters answer for an index that names no square.
  static constexpr TColor NoColor = 0x1FFFFFFF;

  bool GetClickEnablesColor() const { return FClickEnablesColor; }
  void SetClickEnablesColor(bool value) { FClickEnablesColor = value; }
  bool GetCtl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  TGridOrdering GetGridOrdering() const { return FGridOrdering; }
  void SetGridOrdering(TGridOrdering value);
  int GetForegroundIndex() const { return FForegroundIndex; }
  void SetForegroundIndex(int value);
  int GetBackgroundIndex() const { return FBackgroundIndex; }
  void SetBackgroundIndex(int value);
  bool GetForegroundEnabled() const { return FForegroundEnabled; }
  void EnableForeground(bool value);
  bool GetBackgroundEnabled() const { return FBackgroundEnabled; }
  void EnableBackground(bool value);
  int GetSelection() const { return FSelection; }
  void SetSelection(int value);
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool value);

  TColor GetForegroundColor() const;
  TColor GetBackgroundColor() const;
  // The colour of square 0..15; NoColor for any other index.
  TColor SquareColor(int index) const;

  // The square under a client position, clamped into the grid; -1 while the
  // control is too small to give every square at least one pixel.
  int SquareFromPos(int X, int Y) const;
  // The square's cell rectangle; empty for an index outside 0..15.
  QRect CellRect(int index) const;

  // Drags the control itself until the button is released or Escape pressed.
  void BeginDrag();

 signals:
  void OnChange(QObject* Sender);
  void OnClick();
  void OnKeyDown(int key, Qt::KeyboardModifiers shift);
  void OnKeyUp(int key, Qt::KeyboardModifiers shift);
  void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void OnEnter();
  void OnExit();
  // A typed character, after OnKeyDown.
  void OnKeyPress(QChar& key);
  void OnDragOver(QObject* source, int x, int y, bool& accept);
  void OnDragDrop(QObject* source, int x, int y);
  void OnStartDrag();
  void OnEndDrag(QObject* target, int x, int y);

 protected:
  virtual void Change();
  virtual void Click();
  void UpdateCellSizes(bool redraw);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct TPaletteEntry {
    quint8 peRed, peGreen, peBlue, peFlags;
  };

  // Derived from the current size rather than kept: a hidden widget gets its
  // resize events only when shown, and the squares must fit the size it has.
  int CellWidth() const { return width() / FColumns; }
  int CellHeight() const { return height() / FRows; }
  void DrawSquare(QPainter& p, int index, bool highlight) const;
  void DrawFgBg(QPainter& p) const;
  // Schedules the square (with its marker) for repainting.
  void RedrawSquare(int index);
  void EnableForegroundOnClick();
  void EnableBackgroundOnClick();

  TPaletteEntry FPalette[20];
  TGridOrdering FGridOrdering = go4x4;
  int FColumns = 4;
  int FRows = 4;
  int FForegroundIndex = 0;
  int FBackgroundIndex = 0;
  int FSelection = 0;
  bool FForegroundEnabled = true;
  bool FBackgroundEnabled = true;
  bool FClickEnablesColor = false;
  bool FCtl3D = true;
  bool FTabStop = false;
  bool FFocused = false;
  Qt::MouseButton FDragButton = Qt::NoButton;
  bool FDragging = false;
};
