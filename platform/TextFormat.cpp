#include "platform/TextFormat.h"

#include <cmath>

namespace textfmt {

Indents GetIndents(const QTextBlockFormat& f) {
  Indents in;
  if (f.hasProperty(FirstIndentProperty)) {
    in.first = f.intProperty(FirstIndentProperty);
    in.left = f.intProperty(LeftIndentProperty);
    in.right = f.intProperty(RightIndentProperty);
    return in;
  }
  // Formats made by Qt itself (pasted HTML): derive from the layout margins.
  const double left = f.leftMargin() / PixelsPerPoint;
  const double indent = f.textIndent() / PixelsPerPoint;
  in.first = int(std::lround(left + indent));
  in.left = int(std::lround(-indent));
  in.right = int(std::lround(f.rightMargin() / PixelsPerPoint));
  return in;
}

void SetIndents(QTextBlockFormat& f, const Indents& in) {
  f.setProperty(FirstIndentProperty, in.first);
  f.setProperty(LeftIndentProperty, in.left);
  f.setProperty(RightIndentProperty, in.right);
  f.setLeftMargin((in.first + in.left) * PixelsPerPoint);
  f.setTextIndent(-in.left * PixelsPerPoint);
  f.setRightMargin(in.right * PixelsPerPoint);
}

}  // namespace textfmt
