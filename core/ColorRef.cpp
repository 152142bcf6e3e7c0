#include "core/ColorRef.h"

#include <iterator>

namespace core {

quint32 RgbFromColorRef(quint32 c)
{
    if (c & 0xFF000000u) {
        // System colours of the original platform, by index.
        static const quint32 kSystem[] = {
            0xC8D0D4, 0x984E00, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
            0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4,
            0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0,
        };
        const quint32 index = c & 0xFF;
        c = index < std::size(kSystem) ? kSystem[index] : 0;
    }
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

quint32 ColorRefFromRgb(quint32 rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

quint32 ShiftColor(quint32 colorRef, int amount)
{
    const quint32 rgb = RgbFromColorRef(colorRef);
    auto shift = [amount](int v) {
        v += amount;
        if (amount > 0 && v > 255)
            v = 254;
        if (amount <= 0 && v < 0)
            v = 1;
        return static_cast<quint32>(v);
    };
    const quint32 r = shift((rgb >> 16) & 0xFF), g = shift((rgb >> 8) & 0xFF), b = shift(rgb & 0xFF);
    return r | (g << 8) | (b << 16);
}

}  // namespace core
