#pragma once

// Window designs give positions and sizes in twips; the program lays windows out at 96 dots
// per inch whatever the screen reports, which is 15 twips to the pixel.
inline constexpr int TwipsPerPixel = 15;
