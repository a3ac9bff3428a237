#pragma once
// Fonts by the pixel heights the windows were laid out for, with Linux
// families standing in for the designed ones.
#include <QFont>
#include <QString>

namespace quillmont {

QFont ProgramFont(int pixelSize, bool bold = false);
QFont ProgramFont(const QString& family, int pixelSize, bool bold);

}  // namespace quillmont
