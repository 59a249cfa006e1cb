#include "platform/AppIcon.h"

#include <QIconEngine>
#include <QPainter>

static void InitAppIconResources() { Q_INIT_RESOURCE(appicon); }

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Decodes the built-in images only when something draws the icon: Wayland
// and the off-screen platform never ask, and decoding all sizes was a good
// part of the start-up.
class BuiltInIconEngine final : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Loaded().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Loaded().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Loaded().pixmap(size, scale, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    QList<QSize> sizes;
    if (mode == QIcon::Normal && state == QIcon::Off)
      for (int size : kSizes) sizes << QSize(size, size);
    return sizes;
  }
  bool isNull() override { return false; }
  QString key() const override { return QStringLiteral("soramemo-builtin"); }
  QIconEngine* clone() const override { return new BuiltInIconEngine(*this); }

 private:
  const QIcon& Loaded() {
    if (icon_.isNull()) {
      InitAppIconResources();
      for (int size : kSizes)
        icon_.addFile(QStringLiteral(":/appicon/soramemo_%1.png").arg(size), QSize(size, size));
    }
    return icon_;
  }
  QIcon icon_;
};

}  // namespace

QIcon BuiltInApplicationIcon() { return QIcon(new BuiltInIconEngine); }

QIcon ApplicationIcon() {
  return QIcon::fromTheme(QStringLiteral("soramemo"), BuiltInApplicationIcon());
}
