#include "data/ChangeNotice.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>

namespace rm {

ChangeNotice& ChangeNotice::instance() {
    static ChangeNotice* notice = new ChangeNotice;
    return *notice;
}

bool ChangeNotice::changesRoster(const QString& sql) {
    const QString t = sql.trimmed();
    static const QStringList kWrites{QStringLiteral("insert"), QStringLiteral("update"),
                                     QStringLiteral("delete"), QStringLiteral("replace")};
    const bool writes = std::any_of(kWrites.begin(), kWrites.end(),
                                    [&](const QString& w) { return t.startsWith(w, Qt::CaseInsensitive); });
    return writes && !t.contains(QLatin1String("SchedulingWork"), Qt::CaseInsensitive);
}

void ChangeNotice::noteStatement(const QString& sql) {
    if (m_pending || !changesRoster(sql) || !QCoreApplication::instance())
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &ChangeNotice::flush, Qt::QueuedConnection);
}

void ChangeNotice::flush() {
    if (!m_pending)
        return;
    m_pending = false;
    Q_EMIT dataChanged();
}

} // namespace rm
