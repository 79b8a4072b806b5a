#include "tests/support/ServiceProcess.h"

#include "tests/support/ChildProcess.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <csignal>

namespace
{

constexpr int kStartTimeoutMs = 20000;

size_t appendBody(char *data, size_t size, size_t count, void *target)
{
    static_cast<QByteArray *>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

struct CurlCleanup {
    void operator()(CURL *c) const { curl_easy_cleanup(c); }
};
struct MimeCleanup {
    void operator()(curl_mime *m) const { curl_mime_free(m); }
};

// A request to url whose reply body is appended to body; no proxy, at most a minute.
std::unique_ptr<CURL, CurlCleanup> newRequest(const QByteArray &url, QByteArray &body)
{
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROXY, "*");
    return curl;
}

// JSON strings of wire bytes carry one character per byte.
QByteArray bytesOf(const QJsonValue &v)
{
    return v.toString().toLatin1();
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return QByteArray();
}

QList<QByteArray> RecordedRequest::headerValues(const QByteArray &name) const
{
    QList<QByteArray> out;
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            out.append(h.second);
    return out;
}

ServiceProcess::ServiceProcess(const QStringList &extraArguments)
{
    QString outside = qEnvironmentVariable("TOVELA_TEST_SERVICE");
    if (!outside.isEmpty()) {
        while (outside.endsWith(QLatin1Char('/')))
            outside.chop(1);
        baseUrl_ = outside;
        host_ = QString(outside).remove(QRegularExpression(QStringLiteral("^[a-z]+://")));
        demoEmail_ =
            qEnvironmentVariable("TOVELA_TEST_EMAIL", QStringLiteral("demo@tovela.example"));
        demoPassword_ = qEnvironmentVariable("TOVELA_TEST_PASSWORD", QStringLiteral("demo1234"));
        return;
    }
    data_ = std::make_unique<QTemporaryDir>();
    if (!data_->isValid()) {
        ADD_FAILURE() << "cannot make a temporary data folder";
        return;
    }
    QStringList args = {QStringLiteral("--data"), data_->path(), QStringLiteral("--port"),
                        QStringLiteral("0"), QStringLiteral("--test-hooks")};
    // The service ends with this process however it ends, a crash included; left running it
    // would hold the test's output pipe and keep ctest waiting for its time-out.
    ChildProcess::Setup setup;
    setup.readOutput = setup.endWithParent = true;
    process_ = std::make_unique<ChildProcess>(QStringLiteral(TOVELA_SERVICE_BIN),
                                              args + extraArguments, setup);
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (process_->started() && process_->output().count('\n') < 2 &&
           process_->waitForOutput(int(deadline.remainingTime())))
        ;
    const QByteArray out = process_->output();
    QList<QByteArray> lines = out.split('\n');
    static const QRegularExpression first(
        QStringLiteral("^tovela-service listening on http://127\\.0\\.0\\.1:(\\d+)$"));
    static const QRegularExpression second(QStringLiteral("^demo account: (\\S+) (\\S+)$"));
    auto m1 =
        lines.size() >= 2 ? first.match(QString::fromUtf8(lines[0])) : QRegularExpressionMatch();
    auto m2 =
        lines.size() >= 2 ? second.match(QString::fromUtf8(lines[1])) : QRegularExpressionMatch();
    if (!m1.hasMatch() || !m2.hasMatch()) {
        ADD_FAILURE() << "tovela-service did not start (" << TOVELA_SERVICE_BIN
                      << "); its output: " << out.toStdString();
        return;
    }
    host_ = QStringLiteral("127.0.0.1:") + m1.captured(1);
    baseUrl_ = QStringLiteral("http://") + host_;
    demoEmail_ = m2.captured(1);
    demoPassword_ = m2.captured(2);
    hooks_ = true;
}

ServiceProcess::~ServiceProcess()
{
    if (!process_ || !process_->started())
        return;
    process_->sendSignal(SIGTERM);
    if (!process_->waitForFinished(5000))
        process_->sendSignal(SIGKILL);
    // ChildProcess reaps it, killed if it is still running.
}

QString ServiceProcess::dataDir() const
{
    return data_ ? data_->path() : QString();
}

QByteArray ServiceProcess::get(const QString &pathAndQuery, int *status)
{
    if (status)
        *status = 0;
    const QByteArray url = (baseUrl_ + pathAndQuery).toUtf8();
    QByteArray body;
    const auto curl = newRequest(url, body);
    if (curl_easy_perform(curl.get()) != CURLE_OK)
        return QByteArray();
    long code = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &code);
    if (status)
        *status = static_cast<int>(code);
    return body;
}

QByteArray ServiceProcess::hook(const QString &path,
                                const QList<QPair<QByteArray, QByteArray>> &fields, bool post)
{
    if (!hooks_) {
        ADD_FAILURE() << "test hooks used without tovela-service's hooks; use "
                         "TOVELA_REQUIRE_TEST_HOOKS";
        return QByteArray();
    }
    const QByteArray url = (baseUrl_ + path).toUtf8();
    QByteArray body;
    const auto curl = newRequest(url, body);
    std::unique_ptr<curl_mime, MimeCleanup> mime;
    if (post) {
        // Multipart keeps every byte of a field as it is, NUL bytes included.
        mime.reset(curl_mime_init(curl.get()));
        for (const auto &[name, value] : fields) {
            curl_mimepart *part = curl_mime_addpart(mime.get());
            curl_mime_name(part, name.constData());
            curl_mime_data(part, value.constData(), static_cast<size_t>(value.size()));
        }
        if (fields.isEmpty())
            curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, "");
        else
            curl_easy_setopt(curl.get(), CURLOPT_MIMEPOST, mime.get());
    }
    CURLcode rc = curl_easy_perform(curl.get());
    long code = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &code);
    if (rc != CURLE_OK || code != 200) {
        ADD_FAILURE() << "test hook " << path.toStdString() << " failed: " << curl_easy_strerror(rc)
                      << ", status " << code << ": " << body.toStdString();
        return QByteArray();
    }
    return body;
}

void ServiceProcess::cannedReply(const QString &path, const QByteArray &body, int status, int count)
{
    CannedReply reply;
    reply.path = path;
    reply.body = body;
    reply.status = status;
    reply.count = count;
    cannedReply(reply);
}

void ServiceProcess::cannedReply(const CannedReply &reply)
{
    QList<QPair<QByteArray, QByteArray>> fields = {{"path", reply.path.toUtf8()},
                                                   {"body", reply.body},
                                                   {"status", QByteArray::number(reply.status)},
                                                   {"count", QByteArray::number(reply.count)},
                                                   {"after", QByteArray::number(reply.after)}};
    if (reply.stall)
        fields.append(qMakePair(QByteArray("stall"), QByteArray("1")));
    if (reply.closeMid)
        fields.append(qMakePair(QByteArray("close_mid"), QByteArray("1")));
    if (reply.resetMid)
        fields.append(qMakePair(QByteArray("reset_mid"), QByteArray("1")));
    if (reply.delayMs > 0)
        fields.append({"delay_ms", QByteArray::number(reply.delayMs)});
    if (reply.readRate > 0)
        fields.append({"read_rate", QByteArray::number(reply.readRate)});
    if (reply.pass)
        fields.append(qMakePair(QByteArray("pass"), QByteArray("1")));
    if (!reply.contentType.isEmpty())
        fields.append({"content_type", reply.contentType});
    for (const QByteArray &h : reply.headers)
        fields.append({"header", h});
    hook(QStringLiteral("/__test/reply"), fields, true);
}

namespace
{
// The hooks answer one JSON object a line.
QList<QJsonObject> jsonLines(const QByteArray &reply)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : reply.split('\n'))
        if (!line.isEmpty())
            objects.append(QJsonDocument::fromJson(line).object());
    return objects;
}
} // namespace

QList<RecordedRequest> ServiceProcess::requests()
{
    QList<RecordedRequest> out;
    for (const QJsonObject &o : jsonLines(hook(QStringLiteral("/__test/requests"), {}, false))) {
        RecordedRequest r;
        r.method = bytesOf(o.value(QLatin1String("method")));
        r.path = bytesOf(o.value(QLatin1String("path")));
        r.queryRaw = bytesOf(o.value(QLatin1String("query_raw")));
        const QJsonArray headers = o.value(QLatin1String("headers")).toArray();
        for (const QJsonValue &h : headers)
            r.headers.append({bytesOf(h.toArray().at(0)), bytesOf(h.toArray().at(1))});
        r.body = QByteArray::fromBase64(o.value(QLatin1String("body_b64")).toString().toLatin1());
        r.bodySize = o.value(QLatin1String("body_size")).toInteger();
        out.append(r);
    }
    return out;
}

void ServiceProcess::reset()
{
    hook(QStringLiteral("/__test/reset"), {}, true);
}

int ServiceProcess::addAccount(const QString &email, const QByteArray &password,
                               const QString &name)
{
    return hook(QStringLiteral("/__test/account"),
                {{"email", email.toUtf8()}, {"password", password}, {"name", name.toUtf8()}}, true)
        .toInt();
}

QList<StoredPicture> ServiceProcess::uploads()
{
    QList<StoredPicture> out;
    for (const QJsonObject &o : jsonLines(hook(QStringLiteral("/__test/uploads"), {}, false))) {
        StoredPicture p;
        p.id = o.value(QLatin1String("id")).toInt();
        p.owner = o.value(QLatin1String("owner")).toString();
        p.folder = o.value(QLatin1String("folder")).toInt();
        p.name = o.value(QLatin1String("name")).toString();
        p.size = o.value(QLatin1String("size")).toInteger();
        p.file = o.value(QLatin1String("file")).toString();
        out.append(p);
    }
    return out;
}
