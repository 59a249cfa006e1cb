#include "platform/FileNames.h"

QString ExtractFileName(const QString& path) {
  return path.mid(path.lastIndexOf(u'/') + 1);
}

QString ExtractFileExt(const QString& path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i) {
    if (path[i] == u'/') break;
    if (path[i] == u'.') return path.mid(i);
  }
  return {};
}
