#pragma once
// Colours given as Windows COLORREF values (0x00BBGGRR) and the program's fixed colours.

#include <QColor>
#include <cstdint>

namespace room::gui {

inline QColor fromColorRef(std::uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

constexpr std::uint32_t kRelayOnColorRef = 0x00FFFF00;
constexpr std::uint32_t kRelayOffColorRef = 0x000A0A0A;
constexpr std::uint32_t kRelayThirdColorRef = 0x00667E8B;

// Dialog background RGB(0x55, 0x78, 0x78) with white text.
inline QColor dialogBackground() {
    return QColor(0x55, 0x78, 0x78);
}
inline QColor dialogText() {
    return QColor(Qt::white);
}

}  // namespace room::gui
