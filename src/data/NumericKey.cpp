#include "data/NumericKey.h"

namespace rm {

int FilterNumericKey(const NumericField& field, int key, bool allowMinus, bool allowPoint, int decimals) {
    const QChar minus = QLatin1Char('-');
    const QChar point = QLatin1Char('.');
    switch (key) {
    case 8:
        return key;
    case 45:
        if (!allowMinus)
            return 0;
        if (field.caret > 0)
            return 0;
        if (!field.selectedText.contains(minus) && field.text.contains(minus))
            return 0;
        return key;
    case 46:
        if (!allowPoint)
            return 0;
        if (!field.selectedText.contains(point) && field.text.contains(point))
            return 0;
        if (field.caret == 0 && field.selectedText.isEmpty() && field.text.startsWith(minus))
            return 0;
        return key;
    default:
        break;
    }
    if (key >= 48 && key <= 57) {
        const qsizetype p = field.text.indexOf(point) + 1; // 1-based, 0 when there is none
        if (p > 0 && decimals >= 1 && field.caret > decimals + p - 1)
            return 0;
        return key;
    }
    return 0;
}

bool IsAcceptableNumericText(const QString& text, bool allowMinus, bool allowPoint, int decimals) {
    bool seenPoint = false;
    int digitsAfterPoint = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('-')) {
            if (!allowMinus || i != 0)
                return false;
        } else if (c == QLatin1Char('.')) {
            if (!allowPoint || seenPoint)
                return false;
            seenPoint = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (seenPoint && ++digitsAfterPoint > decimals && decimals >= 1)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace rm
