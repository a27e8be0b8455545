#include "data/CustomFields.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "data/SqlText.h"

namespace rm {

QString CustomEntriesSql(int fieldNumber) {
    return QStringLiteral("Select Custom_ID, Custom_FieldText ") + QStringLiteral("From CustomFields ") +
           QStringLiteral("Where Custom_FieldNumber = ") + QString::number(fieldNumber) +
           QStringLiteral(" ") + QStringLiteral("Order By Custom_FieldText");
}

QString CustomEntrySelectSql(qint32 key) {
    return QStringLiteral("Select Custom_FieldText From CustomFields Where Custom_ID = ") +
           QString::number(key);
}

QString CustomEntryInsertSql(int fieldNumber, const QString& text) {
    return QStringLiteral("Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) VALUES(") +
           QString::number(fieldNumber) + QStringLiteral(", '") + EscapeQuotes(text.trimmed()) +
           QStringLiteral("')");
}

QString CustomEntryUpdateSql(const QString& text, qint32 key) {
    return QStringLiteral("Update CustomFields Set Custom_FieldText = '") + EscapeQuotes(text.trimmed()) +
           QStringLiteral("' Where Custom_ID = ") + QString::number(key);
}

QString CustomEntryDeleteSql(qint32 key) {
    return QStringLiteral("Delete From CustomFields Where Custom_ID = ") + QString::number(key);
}

QString RetrieveCustomEntry(qint32 key) {
    // Empty when no row has the key.
    return Db().scalar(CustomEntrySelectSql(key)).toString().trimmed();
}

int FirstEnabledPickListField() {
    for (int n = 1; n <= kCustomFieldCount; ++n)
        if (CurrentOptions().CustomDropEnabled[n - 1])
            return n;
    return 0;
}

bool SaveCustomEntry(const QString& mode, int fieldNumber, qint32 key, const QString& text) {
    if (text.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Please provide a description before continuing."), AlignCenterText,
                    vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
        return false;
    }
    const QString m = mode.toUpper();
    if (m == QLatin1String("EDIT"))
        Db().execute(CustomEntryUpdateSql(text, key));
    else if (m == QLatin1String("ADD"))
        Db().execute(CustomEntryInsertSql(fieldNumber, text));
    else if (m == QLatin1String("DELETE"))
        Db().execute(CustomEntryDeleteSql(key));
    else
        return false;
    return true;
}

} // namespace rm
