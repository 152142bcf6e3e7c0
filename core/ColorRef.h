#pragma once

#include <QtGlobal>

namespace core {

// Colours are stored as 0x00BBGGRR (red in the low byte). A value with the
// high bit set names a system colour by index (0x80000000 | index).

// The 0xAARRGGBB value (alpha 255) of a stored colour, system colours
// resolved to the usual RGB values; what QColor::fromRgb takes.
quint32 RgbFromColorRef(quint32 colorRef);
// The stored form of an 0x??RRGGBB value; alpha is dropped.
quint32 ColorRefFromRgb(quint32 rgb);

// Adds amount to red, green and blue; with amount > 0 a channel above 255
// becomes 254, with amount <= 0 a channel below 0 becomes 1.
quint32 ShiftColor(quint32 colorRef, int amount);

}  // namespace core
