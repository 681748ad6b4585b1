#include "desktop_lyric/colour_schemes.h"

#include "desktop_lyric/lyric_settings.h"

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

bool chooseColourScheme(LyricSettings& settings, qint16 n) {
    const std::optional<ColourPair> colours = colourSchemeColours(n);
    if (!colours)
        return false;
    settings.colourScheme = n;
    settings.firstColour = colours->first;
    settings.secondColour = colours->second;
    return true;
}
