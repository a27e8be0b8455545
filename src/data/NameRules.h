#pragma once

#include <QString>

#include <optional>

namespace rm {

// The rules that keep names and addresses apart, shared by the dialogs and the roster import.

// What two names are compared by: blanks at the ends dropped, runs of blanks inside made one, case
// folded. "Bravo  Team " and "bravo team" have the same key.
QString NameKey(const QString& name);

// An e-mail address has the shape local@domain.tld with no blanks; an empty address is allowed.
bool IsEmailAddress(const QString& address);

// The stored name that `name` would duplicate: `listSql` selects key and name (in that order); the
// row whose key is `ownKey` (the entry being edited) does not count. Raises DbError.
std::optional<QString> ExistingName(const QString& listSql, const QString& name, qint32 ownKey);

// Shows the refusal of a duplicate name when there is one and returns true: `what` is the kind of
// entry as the message names it ("Division", "Genre", ...). Raises DbError.
bool RefuseDuplicateName(const QString& what, const QString& listSql, const QString& name, qint32 ownKey);

// The message that refuses a duplicate, naming the entry that is already there.
QString DuplicateNameText(const QString& what, const QString& existing);
inline const QString kDuplicateNameTitle = QStringLiteral("Name Already Used");

// The refusal of a delete while other rows still point at the entry, in the shape of every
// catalogue's refusal: "That <what> is currently in use with some Players." and what to do first.
QString InUseText(const QString& what);
QString InUseTitle(const QString& what);

// True when `sql` returns at least one row. Raises DbError.
bool AnyRow(const QString& sql);

} // namespace rm
