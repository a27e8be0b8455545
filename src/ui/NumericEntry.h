#pragma once

class QLineEdit;
class QPlainTextEdit;

namespace rm {

// Makes a line edit a numeric field: key presses go through FilterNumericKey, and text that arrives
// any other way (paste from the context menu or the middle button, drag and drop) is refused unless
// the filter could have produced it.
void AttachNumericFilter(QLineEdit* edit, bool allowMinus, bool allowPoint, int decimals);

// Makes a line edit select its whole text when it receives the focus.
void SelectAllOnFocus(QLineEdit* edit);
void SelectAllOnFocus(QPlainTextEdit* edit);

} // namespace rm
