#pragma once
// Our 0x00RRGGBB colour values and Qt's colours, both ways.
#include <QColor>

#include "platform/PixelBuffer.h"

namespace quillmont {

inline Rgb ToRgb(QColor colour) { return MakeRgb(colour.red(), colour.green(), colour.blue()); }
inline QColor ToQColor(Rgb colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

}  // namespace quillmont
