#pragma once

#include "updatechecker.h"

#include <QObject>
#include <QPointer>

class QMessageBox;

// "Check for Updates…": fetches the update feed when asked (never before) and tells the outcome
// in one dialog: checking (with Cancel), up to date, a newer version with a "Download" button
// that opens its page, or the reason the check failed.
class UpdateManager : public QObject
{
    Q_OBJECT

public:
    explicit UpdateManager(QObject *parent = nullptr);
    ~UpdateManager() override;

    UpdateChecker &checker() { return m_checker; }
    // The dialog while it is open.
    QMessageBox *dialog() const;

    // Shows the dialog in front and starts a check of the feed; while a check runs, only
    // brings the dialog forward.
    void checkForUpdates();

private:
    void showResult(const UpdateCheckResult &result);
    // The dialog, made hidden when there is none.
    QMessageBox &makeDialog();
    // Shows the dialog in front of other windows, activating it.
    void presentDialog();

    UpdateChecker m_checker;
    QPointer<QMessageBox> m_dialog;
};
