#pragma once
// The program's icon, for the frame, the document windows and the desktop.
#include <QIcon>

// The icon theme's "soramemo" (installed with the program, or a theme's own),
// else the copy built into the program.
QIcon ApplicationIcon();
// The built-in copy alone.
QIcon BuiltInApplicationIcon();
