#pragma once

#include <QString>

namespace rm {

// What a numeric text field looks like when a key arrives.
struct NumericField {
    QString text;
    int caret = 0;        // counted from 0
    QString selectedText; // its length is the selection length
};

// The key filter of numeric entry fields: returns the key to let through, or 0 to swallow it.
// Keys are character codes: 8 backspace, 45 minus, 46 point, 48-57 digits.
int FilterNumericKey(const NumericField& field, int key, bool allowMinus, bool allowPoint, int decimals);

// True when the whole text is one the filter could have produced: used to refuse text that arrives
// without key presses (paste, drag and drop).
bool IsAcceptableNumericText(const QString& text, bool allowMinus, bool allowPoint, int decimals);

} // namespace rm
