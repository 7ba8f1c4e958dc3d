#include "updatechecker.h"

#include "appcast.h"
#include "appidentity.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

using namespace Qt::StringLiterals;

namespace {

constexpr char feedVariable[] = "QUAYROW2_UPDATE_FEED";
const QString defaultFeed = u"https://www.fennickworks.com/quayrow2/appcast.xml"_s;

// Far above any real feed; a larger answer is not read to its end.
constexpr qint64 maximumFeedSize = 4 * 1024 * 1024;

bool isLoopback(const QString &host)
{
    if (host.compare(u"localhost"_s, Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QString seconds(std::chrono::milliseconds duration)
{
    const double value = double(duration.count()) / 1000;
    return value == 1 ? u"1 second"_s : u"%1 seconds"_s.arg(value);
}

} // namespace

UpdateChecker::UpdateChecker(QVersionNumber currentVersion, QObject *parent)
    : QObject(parent)
    , m_currentVersion(currentVersion.normalized())
    , m_currentVersionText(currentVersion.toString())
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        m_abortReason = u"The update server did not answer within %1."_s.arg(seconds(m_timeout));
        if (m_reply)
            m_reply->abort();
    });
}

UpdateChecker::~UpdateChecker()
{
    cancel();
}

QUrl UpdateChecker::feedAddress()
{
    const QString configured = qEnvironmentVariable(feedVariable).trimmed();
    return QUrl(configured.isEmpty() ? defaultFeed : configured, QUrl::StrictMode);
}

QString UpdateChecker::refusalOf(const QUrl &address)
{
    if (!address.isValid() || address.host().isEmpty())
        return u"The update feed address “%1” is not a valid web address."_s.arg(address.toString());
    if (address.scheme() == u"https")
        return {};
    if (address.scheme() == u"http" && isLoopback(address.host()))
        return {};
    return u"The update feed address “%1” is not allowed: feeds are read over https only "
           "(plain http only from this computer)."_s.arg(address.toDisplayString());
}

bool UpdateChecker::isChecking() const
{
    return !m_reply.isNull();
}

void UpdateChecker::check(const QUrl &feed)
{
    if (isChecking())
        return;
    if (const QString refusal = refusalOf(feed); !refusal.isEmpty()) {
        // Reported like any other outcome: after the caller has returned.
        QMetaObject::invokeMethod(this, [this, refusal] {
            finish({.kind = UpdateCheckResult::Kind::Failed, .error = refusal});
        }, Qt::QueuedConnection);
        return;
    }
    if (!m_network)
        m_network = std::make_unique<QNetworkAccessManager>();
    m_feed = feed;
    m_body.clear();
    m_abortReason.clear();

    QNetworkRequest request(feed);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      u"%1/%2"_s.arg(AppIdentity::applicationID(), m_currentVersionText));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::redirected, this, [this](const QUrl &target) {
        if (const QString refusal = refusalOf(target); refusal.isEmpty()) {
            Q_EMIT m_reply->redirectAllowed();
        } else {
            m_abortReason = u"The update feed moved to an address that is not allowed: %1"_s.arg(target.toDisplayString());
            m_reply->abort();
        }
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateChecker::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateChecker::replyFinished);
    m_deadline.start(m_timeout);
}

void UpdateChecker::cancel()
{
    m_deadline.stop();
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void UpdateChecker::readAvailable()
{
    m_body += m_reply->readAll();
    if (m_body.size() > maximumFeedSize) {
        m_abortReason = u"The update feed is larger than any real feed; it was not read."_s;
        m_reply->abort();
    }
}

void UpdateChecker::replyFinished()
{
    QNetworkReply *reply = m_reply;
    m_deadline.stop();
    reply->deleteLater();
    m_reply = nullptr;

    if (!m_abortReason.isEmpty()) {
        finish({.kind = UpdateCheckResult::Kind::Failed, .error = m_abortReason});
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        finish({.kind = UpdateCheckResult::Kind::Failed, .error = errorInWords(*reply)});
        return;
    }
    m_body += reply->readAll();
    const Appcast::Reading reading = Appcast::read(m_body, reply->url());
    if (!reading.error.isEmpty()) {
        finish({.kind = UpdateCheckResult::Kind::Failed, .error = u"The update feed could not be read: %1."_s.arg(reading.error)});
        return;
    }
    if (reading.newest && reading.newest->version > m_currentVersion) {
        finish({.kind = UpdateCheckResult::Kind::NewerAvailable, .version = reading.newest->versionText,
                .page = reading.newest->page});
        return;
    }
    finish({.kind = UpdateCheckResult::Kind::UpToDate, .version = m_currentVersionText});
}

void UpdateChecker::finish(UpdateCheckResult result)
{
    m_body.clear();
    Q_EMIT finished(result);
}

QString UpdateChecker::errorInWords(QNetworkReply &reply) const
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString phrase = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return u"The update server answered “%1%2”."_s.arg(status).arg(phrase.isEmpty() ? QString() : u" "_s + phrase);
    }
    const QString host = m_feed.host();
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return u"The update server %1 refused the connection."_s.arg(host);
    case QNetworkReply::HostNotFoundError:
        return u"The update server %1 could not be found. Is the computer online?"_s.arg(host);
    case QNetworkReply::RemoteHostClosedError:
        return u"The update server %1 closed the connection before answering."_s.arg(host);
    case QNetworkReply::SslHandshakeFailedError:
        return u"The secure connection to %1 could not be established: %2"_s.arg(host, reply.errorString());
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return u"The update feed is redirected in a way that is not allowed: %1"_s.arg(reply.errorString());
    default:
        return u"The update feed could not be fetched: %1"_s.arg(reply.errorString());
    }
}
