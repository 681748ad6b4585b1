#pragma once

#include <QtGlobal>
#include <optional>

// The two gradient colours (ARGB) of a colour scheme.
struct ColourPair {
    quint32 first;
    quint32 second;
    bool operator==(const ColourPair&) const = default;
};

// The colours of scheme n (1 blue, 2 green, 3 red, 4 white, 5 yellow); none for other n.
std::optional<ColourPair> colourSchemeColours(qint16 n);
