#pragma once

#include <QStringView>

// The number a text starts with, after any blanks, the way the stored texts of the player
// (count lines, labels holding numbers) are read: optional sign, digits, optional
// fraction. 0 when the text starts with no number.
double leadingNumber(QStringView text);
