#pragma once

#include <QtGlobal>
#include <optional>

struct LyricSettings;

// The two gradient colours (ARGB) of a colour scheme.
struct ColourPair {
    quint32 first;
    quint32 second;
    bool operator==(const ColourPair&) const = default;
};

// The colours of scheme n (1 blue, 2 green, 3 red, 4 white, 5 yellow); none for other n.
std::optional<ColourPair> colourSchemeColours(qint16 n);

// Makes scheme n the current one. Numbers outside 1..5 leave the settings as they are;
// returns whether anything was chosen.
bool chooseColourScheme(LyricSettings& settings, qint16 n);
