#pragma once

#include <QIcon>

namespace quorvex {

// The program's icon, drawn from its own SVG at the sizes a desktop asks for.
QIcon AppIcon();

}  // namespace quorvex
