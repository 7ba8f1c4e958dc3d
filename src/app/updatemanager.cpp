#include "updatemanager.h"

#include "appidentity.h"
#include "gridicon.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Puts the dialog into one of its states: the program's icon or a warning, two texts and the
// buttons `addButtons` adds (the previous state's buttons are removed). `details` is never
// empty: QMessageBox makes a new label for an informative text that follows an empty one, and
// a label made while the dialog is on screen stays hidden.
template<typename AddButtons>
void setState(QMessageBox &dialog, bool warning, const QString &text, const QString &details, AddButtons addButtons)
{
    if (warning)
        dialog.setIcon(QMessageBox::Warning);
    else
        dialog.setIconPixmap(GridIcon::icon().pixmap(QSize(64, 64), dialog.devicePixelRatioF()));
    dialog.setText(text);
    dialog.setInformativeText(details);
    for (QAbstractButton *button : dialog.buttons()) {
        dialog.removeButton(button);
        button->deleteLater();
    }
    addButtons();
    // QMessageBox fits its width to the main text alone, which wraps a longer informative text
    // into a narrow column; give the details room for about forty characters a line.
    if (auto *label = dialog.findChild<QLabel *>(u"qt_msgbox_informativelabel"_s))
        label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 42);
    dialog.adjustSize();
}

} // namespace

UpdateManager::UpdateManager(QObject *parent)
    : QObject(parent)
    , m_checker(QVersionNumber::fromString(QStringLiteral(QUAYROW_VERSION)))
{
    connect(&m_checker, &UpdateChecker::finished, this, &UpdateManager::showResult);
}

UpdateManager::~UpdateManager()
{
    delete m_dialog;
}

QMessageBox *UpdateManager::dialog() const
{
    return m_dialog;
}

void UpdateManager::checkForUpdates()
{
    if (m_checker.isChecking()) {
        presentDialog();
        return;
    }
    QMessageBox &dialog = makeDialog();
    const QUrl feed = UpdateChecker::feedAddress();
    setState(dialog, false, u"Checking for updates…"_s, u"Asking %1 for the newest version."_s.arg(feed.host()),
             [&] { dialog.setStandardButtons(QMessageBox::Cancel); });
    presentDialog();
    m_checker.check(feed);
}

void UpdateManager::showResult(const UpdateCheckResult &result)
{
    QMessageBox &dialog = makeDialog();
    const QString name = AppIdentity::displayName();
    switch (result.kind) {
    case UpdateCheckResult::Kind::UpToDate:
        setState(dialog, false, u"%1 is up to date."_s.arg(name),
                 u"Version %1 is the newest version available."_s.arg(result.version),
                 [&] { dialog.setStandardButtons(QMessageBox::Ok); });
        break;
    case UpdateCheckResult::Kind::NewerAvailable:
        setState(dialog, false, u"A new version of %1 is available."_s.arg(name),
                 u"Version %1 is available; you have %2."_s.arg(result.version, QStringLiteral(QUAYROW_VERSION)), [&] {
                     QPushButton *download = dialog.addButton(u"Download"_s, QMessageBox::AcceptRole);
                     dialog.addButton(u"Not Now"_s, QMessageBox::RejectRole);
                     dialog.setDefaultButton(download);
                     const QUrl page = result.page;
                     connect(download, &QAbstractButton::clicked, this, [page] { QDesktopServices::openUrl(page); });
                 });
        break;
    case UpdateCheckResult::Kind::Failed:
        setState(dialog, true, u"%1 could not check for updates."_s.arg(name), result.error,
                 [&] { dialog.setStandardButtons(QMessageBox::Ok); });
        break;
    }
    presentDialog();
}

QMessageBox &UpdateManager::makeDialog()
{
    if (!m_dialog) {
        m_dialog = new QMessageBox;
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        m_dialog->setWindowTitle(u"Software Update"_s);
        // Closing the dialog (Cancel included) ends a check that is still running.
        connect(m_dialog, &QObject::destroyed, &m_checker, &UpdateChecker::cancel);
    }
    return *m_dialog;
}

void UpdateManager::presentDialog()
{
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}
