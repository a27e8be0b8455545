#pragma once

#include <QDialog>

class QTimer;

namespace rm {

inline constexpr int kSplashDelayMs = 3000;

// The window shown while the program starts: the logo, the name and the version. It closes itself
// when tmrPause fires for the first time.
class frmSplash : public QDialog {
    Q_OBJECT

public:
    explicit frmSplash(int delayMs = kSplashDelayMs, QWidget* parent = nullptr);

    QTimer* pauseTimer() const { return tmrPause; }

    // Only the timer closes the splash.
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTimer* tmrPause = nullptr;
};

} // namespace rm
