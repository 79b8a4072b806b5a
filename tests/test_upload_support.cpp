#include "tests/test_upload_support.h"

#include "app/Unit1.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/Action.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTimer>

const QString UploadFixture::CompletionText = QStringLiteral(
    "送信完了しました。\n\r続けて送信して頂ければ最高3,000枚まで一度にご注文頂けます。");

namespace
{

QByteArray trimmed(QByteArray s)
{
    return s.trimmed();
}

QString unescapeHtml(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

} // namespace

QByteArray MultipartPart::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QList<MultipartPart> parseMultipart(const QByteArray &contentType, const QByteArray &body)
{
    const qsizetype at = contentType.indexOf("boundary=");
    if (!contentType.startsWith("multipart/form-data") || at < 0)
        return {};
    QByteArray boundary = contentType.mid(at + 9);
    if (boundary.startsWith('"'))
        boundary = boundary.mid(1, boundary.indexOf('"', 1) - 1);
    const QByteArray delimiter = "--" + boundary;
    QList<MultipartPart> parts;
    if (!body.startsWith(delimiter))
        return {};
    qsizetype pos = delimiter.size();
    while (true) {
        if (body.mid(pos, 2) == "--")
            return parts; // closing delimiter
        if (body.mid(pos, 2) != "\r\n")
            return {};
        pos += 2;
        const qsizetype headerEnd = body.indexOf("\r\n\r\n", pos);
        if (headerEnd < 0)
            return {};
        MultipartPart part;
        for (const QByteArray &line : body.mid(pos, headerEnd - pos).split('\n')) {
            const QByteArray clean = line.endsWith('\r') ? line.chopped(1) : line;
            const qsizetype colon = clean.indexOf(':');
            if (colon > 0)
                part.headers.append({clean.left(colon), trimmed(clean.mid(colon + 1))});
        }
        pos = headerEnd + 4;
        const qsizetype next = body.indexOf("\r\n" + delimiter, pos);
        if (next < 0)
            return {};
        part.data = body.mid(pos, next - pos);
        parts.append(part);
        pos = next + 2 + delimiter.size();
    }
}

QStringList PictureNames(int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("p%1.jpg").arg(i);
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

void writeGeneratedFile(const QString &path, qint64 size, quint64 seed)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray block(1 << 20, Qt::Uninitialized);
    quint64 x = seed | 1;
    for (qint64 done = 0; done < size;) {
        auto *words = reinterpret_cast<quint64 *>(block.data());
        for (qsizetype k = 0; k < block.size() / 8; ++k) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            words[k] = x;
        }
        const qint64 n = std::min<qint64>(block.size(), size - done);
        ASSERT_EQ(file.write(block.constData(), n), n);
        done += n;
    }
}

void UploadFixture::SetUp()
{
    AppFixture::SetUp();
    ASSERT_TRUE(pictures.isValid());
    folder = pictures.path();
    onTrace = [this](const QString &line) { traceLines.append(line); };
    trace = std::make_unique<TraceCapture>([this](const QString &line) { onTrace(line); });
}

void UploadFixture::TearDown()
{
    trace.reset();
    AppFixture::TearDown();
}

void UploadFixture::startWith(const QStringList &serviceArguments)
{
    service = std::make_unique<ServiceProcess>(serviceArguments);
    ASSERT_TRUE(service->isReady());
    start(service->baseUrl());
    ASSERT_TRUE(form->SessionReady);
    ASSERT_FALSE(form->SessionId.isEmpty());
    ASSERT_TRUE(form->Form2);
    // The window's state at every pass of the event loop the batch makes.
    auto *sampler = new QTimer(form);
    sampler->setInterval(0);
    QObject::connect(sampler, &QTimer::timeout, form, [this] {
        TForm2 *f = form->Form2;
        if (!f || !f->isVisible())
            return;
        progressSeen = true;
        ProgressState now{f->Gauge1->value(), f->Label1->text()};
        if (progress.empty() || !(progress.back() == now))
            progress.push_back(now);
    });
    sampler->start();
    if (service->hooksAvailable())
        service->reset(); // the start-up's own requests
    traceLines.clear();
}

QString UploadFixture::addFile(const QString &name, const QByteArray &bytes)
{
    const QString path = folder + QStringLiteral("/") + name;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

void UploadFixture::listAndSelect(const QString &inFolder, const QStringList &names,
                                  const std::vector<int> &selected)
{
    form->PcImages.clear();
    for (const QString &name : names) {
        TPcImages entry;
        entry.Name = name;
        entry.Folder = inFolder;
        entry.IsPicture = true;
        form->PcImages.push_back(entry);
    }
    form->PcListView->setItemsCount(static_cast<int>(names.size()));
    form->PcListView->ClearSelection();
    for (int index : selected)
        form->PcListView->setSelected(index, true);
}

void UploadFixture::runUpload()
{
    ASSERT_TRUE(form->ActFileUpLoad->Execute());
}

QList<OrderPageItem> UploadFixture::orderItems()
{
    if (!service->hooksAvailable()) {
        ADD_FAILURE() << "another service's order page is its own: skip with "
                         "TOVELA_REQUIRE_ORDER_PAGE_MARKUP before reading it";
        return {};
    }
    int status = 0;
    const QString page = fromShiftJis(
        service->get(QStringLiteral("/wis/order.php?mode=select&sid=") + form->SessionId, &status));
    EXPECT_EQ(status, 200) << "the order page did not come";
    static const QRegularExpression item(QStringLiteral(
        "<tr class=\"order-item\"[^>]*>\\s*<td><img[^>]* src=\"([^\"]*)\" alt=\"([^\"]*)\""));
    QList<OrderPageItem> out;
    for (const QRegularExpressionMatch &m : item.globalMatch(page))
        out.append({unescapeHtml(m.captured(2)), unescapeHtml(m.captured(1))});
    return out;
}

QStringList UploadFixture::orderNames()
{
    QStringList out;
    for (const OrderPageItem &i : orderItems())
        out << i.name;
    return out;
}

QString UploadFixture::uploadPath() const
{
    return QStringLiteral("/wis/wi_upload.php/") + form->SessionId;
}

QList<RecordedRequest> UploadFixture::uploadRequests()
{
    QList<RecordedRequest> out;
    for (const RecordedRequest &r : service->requests())
        if (r.path.startsWith("/wis/wi_upload.php"))
            out.append(r);
    return out;
}

QList<QByteArray> UploadFixture::sentFileNames()
{
    QList<QByteArray> names;
    for (const RecordedRequest &r : uploadRequests()) {
        const QList<MultipartPart> parts = parseMultipart(r.header("Content-Type"), r.body);
        QByteArray name;
        if (parts.size() == 2) {
            const QByteArray disposition = parts[1].header("Content-Disposition");
            const qsizetype at = disposition.indexOf("filename=\"");
            if (at >= 0)
                name = disposition.mid(at + 10, disposition.lastIndexOf('"') - at - 10);
        }
        names.append(name);
    }
    return names;
}
