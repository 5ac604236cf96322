#pragma once

#include <QStringView>

// The streaming code compares every new text with the one before it, which grows to hundreds
// of thousands of characters; comparing them a character at a time would cost more than the
// work the comparison saves.
class TextPrefix
{
public:
    // How many characters a and b share from their start.
    static int commonLength(QStringView a, QStringView b);
};
