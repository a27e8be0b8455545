#pragma once

#include <QString>

namespace rm {

// Players carry this many free-text and as many pick-list custom fields, numbered from 1.
inline constexpr int kCustomFieldCount = 4;

// Statements of the entries of the pick-list custom fields.
QString CustomEntriesSql(int fieldNumber);
QString CustomEntrySelectSql(qint32 key);
QString CustomEntryInsertSql(int fieldNumber, const QString& text);
QString CustomEntryUpdateSql(const QString& text, qint32 key);
QString CustomEntryDeleteSql(qint32 key);
// The players whose pick-list choice is the entry.
QString CustomEntryInUseSql(qint32 key);

// The stored text of an entry, trimmed; empty when no row has the key. Raises DbError.
QString RetrieveCustomEntry(qint32 key);

// The first pick-list field that is switched on in the Options record, 0 when none is.
int FirstEnabledPickListField();

// The OK step of the entry dialog for a mode ("Add", "Edit", "Delete", any case): shows its own
// message for an empty entry, a text that another entry of the field already has, or an entry that
// players still use (named after the field's caption), and returns true when the statement has run.
// Raises DbError when the store refuses.
bool SaveCustomEntry(const QString& mode, int fieldNumber, qint32 key, const QString& text,
                     const QString& caption = QString());

} // namespace rm
