#include "platform/AppIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <iterator>

static void InitAppIconResources() { Q_INIT_RESOURCE(appicon); }

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Decodes a built-in image only when something draws the icon at its size:
// Wayland and the off-screen platform never ask, a document window's title
// wants 16 pixels, and decoding all seven sizes cost a good part of the
// start-up and of opening each document.
class BuiltInIconEngine final : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Ensure(rect.size() * painter->device()->devicePixelRatio());
    icon_.paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    Ensure(size);
    return icon_.actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    Ensure(size);
    return icon_.pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    Ensure(size * scale);
    return icon_.pixmap(size, scale, mode, state);
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
  // Adds the image that serves `wanted`: the smallest as large, else the largest.
  void Ensure(QSize wanted) {
    const int side = std::max(wanted.width(), wanted.height());
    int pick = kSizes[std::size(kSizes) - 1];
    for (int size : kSizes) {
      if (size >= side) {
        pick = size;
        break;
      }
    }
    if (loaded_.contains(pick)) return;
    InitAppIconResources();
    loaded_.insert(pick);
    icon_.addFile(QStringLiteral(":/appicon/soramemo_%1.png").arg(pick), QSize(pick, pick));
  }
  QIcon icon_;
  QSet<int> loaded_;
};

}  // namespace

QIcon BuiltInApplicationIcon() { return QIcon(new BuiltInIconEngine); }

QIcon ApplicationIcon() {
  return QIcon::fromTheme(QStringLiteral("soramemo"), BuiltInApplicationIcon());
}
