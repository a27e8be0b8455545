#pragma once

#include <QObject>
#include <QString>

namespace rm {

// Tells open windows that stored rows changed, so that they list what is stored now. The connection
// notes every statement that writes; the notice goes out once the event being handled is over, so a
// save of many statements gives one notice, after its transaction.
class ChangeNotice : public QObject {
    Q_OBJECT

public:
    static ChangeNotice& instance();

    // Called by the connection after a statement that may have changed stored rows.
    void noteStatement(const QString& sql);
    // Sends a notice that is due now (the queued call does this; tests may call it directly).
    void flush();

    // True for statements that change the roster's tables (not reads, not the search's scratch table).
    static bool changesRoster(const QString& sql);

Q_SIGNALS:
    void dataChanged();

private:
    ChangeNotice() = default;
    bool m_pending = false;
};

} // namespace rm
