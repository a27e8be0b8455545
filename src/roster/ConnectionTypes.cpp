#include "roster/ConnectionTypes.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/NameRules.h"
#include "data/SqlText.h"

namespace rm {

QString ConnectionListSql() {
    return QStringLiteral("Select Connection_ID, Connection_Name ") +
           QStringLiteral("From ConnectionTypes ") + QStringLiteral("Order By Connection_Name");
}

QString ConnectionSelectSql(qint32 key) {
    return QStringLiteral("Select Connection_Name From ConnectionTypes Where Connection_ID = ") +
           QString::number(key);
}

QString ConnectionInsertSql(const QString& name) {
    return QStringLiteral("Insert Into ConnectionTypes (Connection_Name) VALUES('") +
           EscapeQuotes(name.trimmed()) + QStringLiteral("')");
}

QString ConnectionUpdateSql(const QString& name, qint32 key) {
    return QStringLiteral("Update ConnectionTypes Set Connection_Name = '") + EscapeQuotes(name.trimmed()) +
           QStringLiteral("' Where Connection_ID = ") + QString::number(key);
}

QString ConnectionDeleteSql(qint32 key) {
    return QStringLiteral("Delete From ConnectionTypes Where Connection_ID = ") + QString::number(key);
}

QString ConnectionInUseSql(qint32 key) {
    return QStringLiteral("Select Player_ID From Players Where Player_Connection = ") + QString::number(key);
}

QString RetrieveConnectionName(qint32 key) {
    // Empty when no row has the key.
    return Db().scalar(ConnectionSelectSql(key)).toString().trimmed();
}

bool SaveConnectionType(const QString& mode, qint32 key, const QString& name) {
    if (name.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Please provide a Connection Description before continuing."),
                    AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
        return false;
    }
    const QString m = mode.toUpper();
    const QString what = QStringLiteral("Connection Type");
    if ((m == QLatin1String("EDIT") || m == QLatin1String("ADD")) &&
        RefuseDuplicateName(what, ConnectionListSql(), name, m == QLatin1String("EDIT") ? key : 0))
        return false;
    if (m == QLatin1String("EDIT")) {
        Db().execute(ConnectionUpdateSql(name, key));
    } else if (m == QLatin1String("ADD")) {
        Db().execute(ConnectionInsertSql(name));
    } else if (m == QLatin1String("DELETE")) {
        if (AnyRow(ConnectionInUseSql(key))) {
            ShowMessage(InUseText(what), AlignCenterText, vbOKOnly, vbExclamation, InUseTitle(what));
            return false;
        }
        Db().execute(ConnectionDeleteSql(key));
    } else {
        return false;
    }
    return true;
}

} // namespace rm
