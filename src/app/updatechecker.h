#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

struct UpdateCheckResult
{
    enum class Kind { UpToDate, NewerAvailable, Failed };

    Kind kind = Kind::Failed;
    QString version;  // the newest version the feed lists (up to date: this program's own)
    QUrl page;        // where the newer version is offered
    QString error;    // why the check failed, in words
};

// Fetches the update feed and compares its newest version with this program's. Nothing goes to
// the network before check() is called.
//
// The feed is read over https; plain http only from this computer (loopback). Redirects are held
// to the same rule, feeds larger than a few megabytes are refused, and the whole check ends after
// the timeout (15 s unless set otherwise).
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    explicit UpdateChecker(QVersionNumber currentVersion, QObject *parent = nullptr);
    ~UpdateChecker() override;

    // QUAYROW2_UPDATE_FEED when set, else the maker's feed.
    static QUrl feedAddress();
    // Why the program will not fetch `address`; empty when it will.
    static QString refusalOf(const QUrl &address);

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    std::chrono::milliseconds timeout() const { return m_timeout; }

    bool isChecking() const;
    // Starts a check of `feed`; ignored while one runs. Ends with `finished`.
    void check(const QUrl &feed);
    // Ends a running check without reporting it.
    void cancel();

Q_SIGNALS:
    void finished(const UpdateCheckResult &result);

private:
    void readAvailable();
    void replyFinished();
    void finish(UpdateCheckResult result);
    QString errorInWords(QNetworkReply &reply) const;

    QVersionNumber m_currentVersion;  // without trailing zeros, for comparing
    QString m_currentVersionText;
    std::chrono::milliseconds m_timeout{15000};
    std::unique_ptr<QNetworkAccessManager> m_network;
    QPointer<QNetworkReply> m_reply;
    QUrl m_feed;
    QByteArray m_body;
    QTimer m_deadline;
    QString m_abortReason;
};
