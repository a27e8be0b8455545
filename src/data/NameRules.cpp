#include "data/NameRules.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"

#include <QRegularExpression>

namespace rm {

QString NameKey(const QString& name) {
    return name.simplified().toCaseFolded();
}

bool IsEmailAddress(const QString& address) {
    static const QRegularExpression pattern(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    return address.isEmpty() || pattern.match(address).hasMatch();
}

std::optional<QString> ExistingName(const QString& listSql, const QString& name, qint32 ownKey) {
    const QString wanted = NameKey(name);
    for (RowSet rows = Db().execute(listSql); !rows.eof(); rows.moveNext()) {
        const QString stored = rows.valueAt(1).toString().trimmed();
        if (rows.valueAt(0).toInt() != ownKey && NameKey(stored) == wanted)
            return stored;
    }
    return std::nullopt;
}

QString DuplicateNameText(const QString& what, const QString& existing) {
    return QStringLiteral("There is already a %1 named \"%2\".\n"
                          "Names that differ only in capitals or blanks are the same name; please "
                          "choose another or use the existing one.")
        .arg(what, existing);
}

bool RefuseDuplicateName(const QString& what, const QString& listSql, const QString& name, qint32 ownKey) {
    const std::optional<QString> existing = ExistingName(listSql, name, ownKey);
    if (!existing)
        return false;
    ShowMessage(DuplicateNameText(what, *existing), AlignCenterText, vbOKOnly, vbExclamation,
                kDuplicateNameTitle);
    return true;
}

QString InUseText(const QString& what) {
    return QStringLiteral("That %1 is currently in use with some Players.\n"
                          "You must first either delete the Players that use it, or change that Player's "
                          "%1 to delete!")
        .arg(what);
}

QString InUseTitle(const QString& what) {
    return what + QStringLiteral(" Currently in Use");
}

bool AnyRow(const QString& sql) {
    RowSet rows = Db().execute(sql);
    const bool any = !rows.eof();
    rows.close();
    return any;
}

} // namespace rm
