#pragma once
// Loading the image behind a link: a local file at once, anything else fetched with Qt's network
// access off the main thread, within a size limit and a time limit, and decoded on a worker.
// The result says whether the link's content is not an image at all (a web page), so that the
// popover can offer the browser instead of an empty picture.

#include "platform/Dispatcher.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace quillet {

struct LoadedImage {
    enum class Outcome { image, notImage, failed };
    Outcome outcome = Outcome::failed;
    QImage image;
    QString error; // why nothing was loaded
};

// A local image file, decoded now (EXIF orientation applied).
LoadedImage loadLocalImage(const QString& path);

// What a fetched answer holds: an image when its bytes decode as one; not an image when they
// don't and its declared type is not an image type (a page, a document); else a failure.
LoadedImage classifyFetchedContent(const QString& contentType, const QByteArray& data);

// Whether the file's extension names an image format Qt reads.
bool isImageFileName(const QString& path);

class RemoteImageFetch : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kDefaultMaxBytes = 20 * 1024 * 1024;
    static constexpr std::chrono::milliseconds kDefaultTimeout{15000};

    explicit RemoteImageFetch(platform::Dispatcher& dispatcher = platform::Dispatcher::shared(),
                              QObject* parent = nullptr);
    ~RemoteImageFetch() override;

    void setLimits(qint64 maxBytes, std::chrono::milliseconds timeout);
    // Starts fetching `url`, abandoning a fetch under way; `done` runs on the main thread
    // unless this object went away first.
    void fetch(const QUrl& url, std::function<void(const LoadedImage&)> done);
    // A file URL is read at once (`done` runs before this returns); any other one is fetched.
    void load(const QUrl& url, std::function<void(const LoadedImage&)> done);

private:
    void abandon();
    void finished(QNetworkReply* reply);

    platform::Dispatcher& dispatcher_;
    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    std::function<void(const LoadedImage&)> done_;
    qint64 maxBytes_ = kDefaultMaxBytes;
    std::chrono::milliseconds timeout_ = kDefaultTimeout;
    bool tooLarge_ = false;
    bool stoppedAtPage_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillet
