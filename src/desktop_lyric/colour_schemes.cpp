#include "desktop_lyric/colour_schemes.h"

#include <array>

std::optional<ColourPair> colourSchemeColours(qint16 n) {
    static constexpr std::array<ColourPair, 5> schemes{{
        {0xFFA5DAF7, 0xFF468DCC}, // blue
        {0xFF7FF157, 0xFF27AD13}, // green
        {0xFFFECEFC, 0xFFE144CD}, // red
        {0xFFFBFBFA, 0xFFCBCBCB}, // white
        {0xFFFF4400, 0xFFFFC800}, // yellow
    }};
    if (n < 1 || n > qint16(schemes.size()))
        return std::nullopt;
    return schemes[std::size_t(n - 1)];
}
