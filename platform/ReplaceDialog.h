#pragma once
// The modeless find-and-replace dialog: find text, replace text, and the
// buttons Find Next, Replace, Replace All and Cancel.
#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TReplaceDialog : public QDialog {
  Q_OBJECT
  Q_PROPERTY(QString FindText READ GetFindText WRITE SetFindText)
  Q_PROPERTY(QString ReplaceText READ GetReplaceText WRITE SetReplaceText)
  Q_PROPERTY(int Options READ GetOptions WRITE SetOptions)
 public:
  enum TFindOption {
    frDown = 0x1,
    frWholeWord = 0x2,
    frMatchCase = 0x4,
    frReplace = 0x10,
    frReplaceAll = 0x20,
    frDisableMatchCase = 0x800,
    frDisableUpDown = 0x400,
    frDisableWholeWord = 0x1000,
  };
  Q_ENUM(TFindOption)

  explicit TReplaceDialog(QWidget* parent = nullptr);

  QString GetFindText() const;
  void SetFindText(const QString& text);
  QString GetReplaceText() const;
  void SetReplaceText(const QString& text);
  int GetOptions() const;
  void SetOptions(int options);

  // Where the dialog appears, in screen coordinates.
  void SetPosition(const QPoint& screen) { position_ = screen; hasPosition_ = true; }
  // Shows the dialog, or brings it to the front when it is already open.
  void Execute();

  QLineEdit* FindEdit() const { return findEdit_; }
  QLineEdit* ReplaceEdit() const { return replaceEdit_; }
  QPushButton* FindNextButton() const { return findButton_; }
  QPushButton* ReplaceButton() const { return replaceButton_; }
  QPushButton* ReplaceAllButton() const { return replaceAllButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

 signals:
  void OnFind();
  void OnReplace();

 private:
  void SyncOptionWidgets();

  QLineEdit* findEdit_;
  QLineEdit* replaceEdit_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QRadioButton* up_;
  QRadioButton* down_;
  QPushButton* findButton_;
  QPushButton* replaceButton_;
  QPushButton* replaceAllButton_;
  QPushButton* cancelButton_;
  int options_ = frDown;
  QPoint position_;
  bool hasPosition_ = false;
};
