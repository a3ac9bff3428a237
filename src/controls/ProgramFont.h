#pragma once
// Fonts by the pixel heights the windows were laid out for, with Linux
// families standing in for the designed ones.
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <functional>

namespace quillmont {

QFont ProgramFont(int pixelSize, bool bold = false);
QFont ProgramFont(const QString& family, int pixelSize, bool bold);

// For text broken into lines or boxed for a narrow font: the program's font,
// or where that is too wide for `fits`, the first narrower face of the same
// size that fits; the program's font when none does.
QFont FirstFontThatFits(int pixelSize, bool bold, const std::function<bool(const QFontMetrics&)>& fits);

}  // namespace quillmont
