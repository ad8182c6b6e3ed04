#include "editor/ImageLoading.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace quillet {

namespace {

LoadedImage decode(QIODevice& device) {
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    LoadedImage result;
    result.image = reader.read();
    if (!result.image.isNull())
        result.outcome = LoadedImage::Outcome::image;
    else
        result.error = reader.errorString();
    return result;
}

} // namespace

LoadedImage loadLocalImage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {LoadedImage::Outcome::failed, {}, file.errorString()};
    return decode(file);
}

LoadedImage classifyFetchedContent(const QString& contentType, const QByteArray& data) {
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadedImage result = decode(buffer);
    const QString type = contentType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (result.outcome != LoadedImage::Outcome::image && !type.isEmpty() &&
        !type.startsWith(QLatin1String("image/")))
        result.outcome = LoadedImage::Outcome::notImage;
    return result;
}

bool isImageFileName(const QString& path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

RemoteImageFetch::RemoteImageFetch(platform::Dispatcher& dispatcher, QObject* parent)
    : QObject(parent), dispatcher_(dispatcher), network_(new QNetworkAccessManager(this)) {}

RemoteImageFetch::~RemoteImageFetch() {
    abandon();
}

void RemoteImageFetch::setLimits(qint64 maxBytes, std::chrono::milliseconds timeout) {
    maxBytes_ = maxBytes;
    timeout_ = timeout;
}

void RemoteImageFetch::abandon() {
    if (!reply_) return;
    disconnect(reply_, nullptr, this, nullptr);
    reply_->abort();
    reply_->deleteLater();
}

void RemoteImageFetch::fetch(const QUrl& url, std::function<void(const LoadedImage&)> done) {
    abandon();
    done_ = std::move(done);
    tooLarge_ = false;
    stoppedAtPage_ = false;
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(timeout_.count()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network_->get(request);
    reply_ = reply;
    // A page needs no more than its headers to be known as one; a large answer stops at the limit.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        const qint64 declared = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        stoppedAtPage_ = type.startsWith(QLatin1String("text/html")) ||
                         type.startsWith(QLatin1String("application/xhtml"));
        tooLarge_ = !stoppedAtPage_ && declared > maxBytes_;
        if (tooLarge_ || stoppedAtPage_) reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > maxBytes_) {
            tooLarge_ = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void RemoteImageFetch::load(const QUrl& url, std::function<void(const LoadedImage&)> done) {
    if (url.isLocalFile()) {
        abandon();
        done(loadLocalImage(url.toLocalFile()));
    } else {
        fetch(url, std::move(done));
    }
}

void RemoteImageFetch::finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != reply_) return;
    auto done = std::move(done_);
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (tooLarge_) {
        done({LoadedImage::Outcome::failed,
              {},
              tr("The image is larger than %n MB.", nullptr, static_cast<int>(maxBytes_ / (1024 * 1024)))});
        return;
    }
    if (stoppedAtPage_) {
        done({LoadedImage::Outcome::notImage, {}, {}});
        return;
    }
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        done({LoadedImage::Outcome::failed, {}, tr("The image took too long to load.")});
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        done({LoadedImage::Outcome::failed, {}, reply->errorString()});
        return;
    }
    // Decoding a large picture takes longer than a frame: on a worker.
    std::weak_ptr<bool> token = alive_;
    platform::Dispatcher* main = &dispatcher_;
    dispatcher_.onWorker([token, main, type, data = reply->readAll(), done = std::move(done)] {
        LoadedImage result = classifyFetchedContent(type, data);
        main->onMain([token, done, result = std::move(result)] {
            if (token.lock()) done(result);
        });
    });
}

} // namespace quillet
