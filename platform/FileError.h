#pragma once
#include <QString>
#include <stdexcept>

// A file that cannot be read or written; text() is the message the user sees.
class EFileError : public std::runtime_error {
 public:
  explicit EFileError(const QString& text)
      : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};
