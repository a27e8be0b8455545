#include "data/CustomFields.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/NameRules.h"
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

QString CustomEntryInUseSql(qint32 key) {
    const QString k = QString::number(key);
    return QStringLiteral("Select Player_ID From Players Where Player_CustomDrop1 = ") + k +
           QStringLiteral(" Or Player_CustomDrop2 = ") + k + QStringLiteral(" Or Player_CustomDrop3 = ") + k +
           QStringLiteral(" Or Player_CustomDrop4 = ") + k;
}

bool SaveCustomEntry(const QString& mode, int fieldNumber, qint32 key, const QString& text,
                     const QString& caption) {
    if (text.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Please provide a description before continuing."), AlignCenterText,
                    vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
        return false;
    }
    const QString m = mode.toUpper();
    const QString what = caption.trimmed().isEmpty() ? QStringLiteral("Custom Entry") : caption.trimmed();
    if (m == QLatin1String("EDIT") || m == QLatin1String("ADD")) {
        // Entries are told apart within their own field only.
        const int field =
            m == QLatin1String("ADD")
                ? fieldNumber
                : Db().scalar(
                          QStringLiteral("Select Custom_FieldNumber From CustomFields Where Custom_ID = ") +
                          QString::number(key))
                      .toInt();
        if (RefuseDuplicateName(what + QStringLiteral(" entry"), CustomEntriesSql(field), text,
                                m == QLatin1String("EDIT") ? key : 0))
            return false;
    }
    if (m == QLatin1String("EDIT")) {
        Db().execute(CustomEntryUpdateSql(text, key));
    } else if (m == QLatin1String("ADD")) {
        Db().execute(CustomEntryInsertSql(fieldNumber, text));
    } else if (m == QLatin1String("DELETE")) {
        if (AnyRow(CustomEntryInUseSql(key))) {
            ShowMessage(InUseText(what), AlignCenterText, vbOKOnly, vbExclamation, InUseTitle(what));
            return false;
        }
        Db().execute(CustomEntryDeleteSql(key));
    } else {
        return false;
    }
    return true;
}

} // namespace rm
