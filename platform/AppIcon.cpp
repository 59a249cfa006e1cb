#include "platform/AppIcon.h"

static void InitAppIconResources() { Q_INIT_RESOURCE(appicon); }

QIcon BuiltInApplicationIcon() {
  InitAppIconResources();
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/appicon/soramemo_%1.png").arg(size), QSize(size, size));
  return icon;
}

QIcon ApplicationIcon() {
  return QIcon::fromTheme(QStringLiteral("soramemo"), BuiltInApplicationIcon());
}
