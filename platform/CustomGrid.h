#pragma once
// TCustomGrid: a cell grid with one current cell, for controls that show a table
// of cells and let the user move between them. It never scrolls: every cell
// lies at a fixed place, the fixed rows and columns first.
//
// Before the current cell moves (mouse, keyboard, Col/Row, MoveColRow) the grid
// asks SelectCell and moves only on true; after the move it calls Click. Each cell
// is painted by DrawCell with the painter's brush, pen (text colour) and font
// already set for the cell's state.
#include <QFlags>
#include <QFrame>
#include <QRect>

#include "platform/Colors.h"

class QPainter;

class TCustomGrid : public QFrame {
  Q_OBJECT
 public:
  enum TGridOption {
    goFixedVertLine = 0x01,
    goFixedHorzLine = 0x02,
    goVertLine = 0x04,
    goHorzLine = 0x08,
    goRangeSelect = 0x10,
    goDrawFocusSelected = 0x20,
  };
  Q_DECLARE_FLAGS(TGridOptions, TGridOption)
  Q_FLAG(TGridOptions)

  enum TGridDrawStateFlag { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
  Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)

  enum TBorderStyle { bsNone, bsSingle };
  Q_ENUM(TBorderStyle)
  enum TDragKind { dkDrag, dkDock };
  Q_ENUM(TDragKind)

 private:
  Q_PROPERTY(int ColCount READ GetColCount WRITE SetColCount DESIGNABLE false)
  Q_PROPERTY(int RowCount READ GetRowCount WRITE SetRowCount DESIGNABLE false)
  Q_PROPERTY(int FixedCols READ GetFixedCols WRITE SetFixedCols DESIGNABLE false)
  Q_PROPERTY(int FixedRows READ GetFixedRows WRITE SetFixedRows DESIGNABLE false)
  Q_PROPERTY(int DefaultColWidth READ GetDefaultColWidth WRITE SetDefaultColWidth DESIGNABLE false)
  Q_PROPERTY(int DefaultRowHeight READ GetDefaultRowHeight WRITE SetDefaultRowHeight DESIGNABLE false)
  Q_PROPERTY(int GridLineWidth READ GetGridLineWidth WRITE SetGridLineWidth)
  Q_PROPERTY(int Col READ GetCol WRITE SetCol STORED false DESIGNABLE false)
  Q_PROPERTY(int Row READ GetRow WRITE SetRow STORED false DESIGNABLE false)
  Q_PROPERTY(TGridOptions Options READ GetOptions WRITE SetOptions DESIGNABLE false)
  Q_PROPERTY(TBorderStyle BorderStyle READ GetBorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(bool Ctl3D READ GetCtl3D WRITE SetCtl3D)
  Q_PROPERTY(TColor Color READ GetColor WRITE SetColor)
  Q_PROPERTY(bool TabStop READ GetTabStop WRITE SetTabStop)
  Q_PROPERTY(TDragKind DragKind READ GetDragKind WRITE SetDragKind)

 public:
  explicit TCustomGrid(QWidget* parent = nullptr);

  int GetColCount() const { return FColCount; }
  int GetRowCount() const { return FRowCount; }
  int GetFixedCols() const { return FFixedCols; }
  int GetFixedRows() const { return FFixedRows; }
  int GetDefaultColWidth() const { return FDefaultColWidth; }
  int GetDefaultRowHeight() const { return FDefaultRowHeight; }
  int GetGridLineWidth() const { return FGridLineWidth; }
  int GetCol() const { return FCol; }
  int GetRow() const { return FRow; }
  TGridOptions GetOptions() const { return FOptions; }
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  bool GetCtl3D() const { return FCtl3D; }
  TColor GetColor() const { return FColor; }
  bool GetTabStop() const { return FTabStop; }
  TDragKind GetDragKind() const { return FDragKind; }
  void SetDragKind(TDragKind value) { FDragKind = value; }

  void SetColCount(int value);
  void SetRowCount(int value);
  void SetFixedCols(int value);
  void SetFixedRows(int value);
  void SetDefaultColWidth(int value);
  void SetDefaultRowHeight(int value);
  void SetGridLineWidth(int value);
  void SetCol(int value);
  void SetRow(int value);
  void SetOptions(TGridOptions value);
  void SetBorderStyle(TBorderStyle value);
  void SetCtl3D(bool value);
  void SetColor(TColor value);
  void SetTabStop(bool value);

  // The cell's rectangle in widget coordinates (it may lie partly outside the
  // visible area when the cells are larger than the control).
  QRect CellRect(int ACol, int ARow) const;
  // The cell under a widget position, false when the position is on no cell
  // (a grid line, the border, the space beyond the last cell).
  bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;
  // The selected block: the current cell and the anchor at opposite corners.
  QRect Selection() const;

  // Drags the control itself (as a dock when DragKind is dkDock) until the
  // button is released or Escape pressed.
  void BeginDrag();

 signals:
  void OnClick();
  void OnDblClick();
  void OnKeyDown(int key, Qt::KeyboardModifiers shift);
  void OnKeyUp(int key, Qt::KeyboardModifiers shift);
  void OnEnter();
  void OnExit();
  // A typed character, after OnKeyDown; the grid itself types nothing.
  void OnKeyPress(QChar& key);
  void OnDragOver(QObject* source, int x, int y, bool& accept);
  void OnDragDrop(QObject* source, int x, int y);
  void OnStartDrag();
  void OnEndDrag(QObject* target, int x, int y);
  void OnStartDock();
  void OnEndDock(QObject* target, int x, int y);

 protected:
  // Moves the current cell when SelectCell agrees, then calls Click. MoveAnchor
  // false keeps the anchor (extending a range) when goRangeSelect is set. Show
  // asks for the cell to be brought into view, which a grid that never scrolls
  // has no use for. Cells outside the grid are ignored.
  void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
  virtual bool SelectCell(int ACol, int ARow);
  virtual void Click();
  virtual void DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect,
                        TGridDrawState AState);

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

  // Stored directly by descendants that adjust the options at construction
  // without a repaint.
  TGridOptions FOptions;

 private:
  void UpdateFrame();
  void ClampCurrent();
  bool IsFixed(int ACol, int ARow) const;
  int ColLeft(int ACol) const;
  int RowTop(int ARow) const;

  int FColCount = 5;
  int FRowCount = 5;
  int FFixedCols = 1;
  int FFixedRows = 1;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  int FGridLineWidth = 1;
  int FCol = 1;
  int FRow = 1;
  int FAnchorCol = 1;
  int FAnchorRow = 1;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
  TColor FColor = clWindow;
  bool FTabStop = true;
  TDragKind FDragKind = dkDrag;
  bool FSelecting = false;  // left button held after a press on a cell
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCustomGrid::TGridOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(TCustomGrid::TGridDrawState)
