#pragma once
// The popover showing the image behind a clicked link. A local file shows at once; a web image
// is fetched off the main thread. When nothing could be shown, a label says why, a missing local
// file can be located with a file chooser (the note's text is not changed), and a web link whose
// content is not an image can be opened in the browser. A shown local image can be revealed in
// the File Manager, and any image opened in a window of its own.

#include "editor/ImageLoading.h"
#include "editor/PopoverFrame.h"

#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace quillet {

class ImageView;

class ImagePopoverController : public PopoverFrame {
    Q_OBJECT

public:
    static constexpr QSize kContentSize{320, 320};

    explicit ImagePopoverController(platform::Dispatcher& dispatcher = platform::Dispatcher::shared(),
                                    QWidget* parent = nullptr);

    // Local paths need no grant on this desktop: kept for the opener's sake only.
    void setSecurityScope(bool securityScope) { securityScope_ = securityScope; }
    bool securityScope() const { return securityScope_; }
    // Shows the image at the URL (replacing the one shown).
    void setImageURL(const QUrl& url);
    const QUrl& imageURL() const { return imageURL_; }

    // Test seams: how URLs are opened (the desktop by default), how a file is chosen (the
    // desktop's file dialog; empty when cancelled), and the fetch limits.
    void setURLOpener(std::function<void(const QUrl&)> open) { openURL_ = std::move(open); }
    void setFileChooser(std::function<QString(QWidget*, const QString& folder)> choose) {
        chooseFile_ = std::move(choose);
    }
    RemoteImageFetch& fetcher() { return *fetch_; }

    // The locate button's action.
    void buttonDidPress();

    ImageView* imageView() const { return imageView_; }
    QLabel* label() const { return label_; }
    QPushButton* locateButton() const { return locateButton_; }
    QPushButton* browserButton() const { return browserButton_; }
    QPushButton* fileManagerButton() const { return fileManagerButton_; }
    QPushButton* detachButton() const { return detachButton_; }

signals:
    // The image loaded or failed (after a fetch, on the main thread).
    void imageDidLoad(bool shown);
    // Asks for the image in a window of its own; the popover closes.
    void detachRequested(const QUrl& url);

private:
    void showResult(const LoadedImage& result);

    RemoteImageFetch* fetch_;
    QUrl imageURL_;
    bool securityScope_ = false;
    std::function<void(const QUrl&)> openURL_;
    std::function<QString(QWidget*, const QString&)> chooseFile_;
    ImageView* imageView_;
    QLabel* label_;
    QPushButton* locateButton_;
    QPushButton* browserButton_;
    QPushButton* fileManagerButton_;
    QPushButton* detachButton_;
};

// The open dialog for one PNG or JPEG file, starting in `folder`; empty when cancelled.
QString chooseImageFile(QWidget* parent, const QString& folder);

} // namespace quillet
