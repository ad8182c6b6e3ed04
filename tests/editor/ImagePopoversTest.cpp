// The add-image flow (what it inserts, when, and where not), link clicks, and the image popover's
// loading of local files and of web answers served by a local server.
#include "EditorTestSupport.h"
#include "editor/AddImagePopoverController.h"
#include "editor/EditorPopovers.h"
#include "editor/ImagePopoverController.h"
#include "editor/ImageView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace quillet::test {
namespace {

class ImageLinkTest : public EditorFixture {
protected:
    ImageLinkTest() {
        editor.setString(QStringLiteral("Hello\n"));
        editor.setSelectedRange({5, 0});
    }
    AddImagePopoverController* openPopover() {
        editor.setImageLink();
        auto* popover = qobject_cast<AddImagePopoverController*>(editor.popovers().popover());
        EXPECT_NE(popover, nullptr);
        return popover;
    }
    AddImagePopoverController* popoverWithURL(const QString& url) {
        AddImagePopoverController* popover = openPopover();
        QTest::keyClicks(popover->urlField(), url);
        return popover;
    }
};

TEST_F(ImageLinkTest, AddInsertsTheLinkAsOneUndoStep) {
    QTest::mouseClick(popoverWithURL(QStringLiteral("https://example.com/a.png"))->addButton(),
                      Qt::LeftButton);
    EXPECT_EQ(editor.string(), "Hello![image](https://example.com/a.png)\n");
    EXPECT_EQ(editor.popovers().popover(), nullptr);
    view().undo();
    EXPECT_EQ(editor.string(), "Hello\n");

    // A chosen local file gives its file URL, encoded.
    AddImagePopoverController* popover = openPopover();
    popover->setFileChooser([](QWidget*, const QString&) { return QStringLiteral("/tmp/my photo.png"); });
    popover->chooseLocalFile();
    EXPECT_EQ(popover->urlField()->text(), "/tmp/my photo.png");
    popover->add();
    EXPECT_EQ(editor.string(), "Hello![image](file:///tmp/my%20photo.png)\n");
}

TEST_F(ImageLinkTest, NothingIsInsertedOnCancelWithoutAPathOrInAnotherNote) {
    QTest::mouseClick(popoverWithURL(QStringLiteral("https://example.com/a.png"))->cancelButton(),
                      Qt::LeftButton);
    QTest::keyClick(popoverWithURL(QStringLiteral("https://example.com/b.png")), Qt::Key_Escape);
    popoverWithURL(QStringLiteral("https://example.com"))->add();
    dispatcher.advance(EditorPopovers::kImageLinkWait);
    EXPECT_EQ(editor.string(), "Hello\n");

    AddImagePopoverController* popover = popoverWithURL(QStringLiteral("https://example.com/a.png"));
    editor.setString(QStringLiteral("Another note\n"));
    popover->add();
    EXPECT_EQ(editor.string(), "Another note\n");
}

TEST_F(ImageLinkTest, AMinuteLaterTheTypedLinkGoesInOnceWhileThePopoverStaysOpen) {
    AddImagePopoverController* popover = popoverWithURL(QStringLiteral("https://example.com/a.png"));
    dispatcher.advance(EditorPopovers::kImageLinkWait - platform::seconds(1));
    EXPECT_EQ(editor.string(), "Hello\n");
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(editor.string(), "Hello![image](https://example.com/a.png)\n");
    ASSERT_EQ(editor.popovers().popover(), popover);
    popover->add();
    EXPECT_EQ(editor.string(), "Hello![image](https://example.com/a.png)\n");

    // The same note changed by another program keeps its pending link.
    popover = popoverWithURL(QStringLiteral("https://example.com/b.png"));
    editor.replaceString(QStringLiteral("Changed\n"));
    popover->add();
    EXPECT_TRUE(editor.string().contains("![image](https://example.com/b.png)"));
}

TEST(LinkClickActionTest, WebLinksAndLocalImagesShowThePopoverOtherFilesGoToTheDesktop) {
    EXPECT_EQ(linkClickAction(QUrl("https://example.com/page")), LinkClickAction::imagePopover);
    EXPECT_EQ(linkClickAction(QUrl("images/a.png")), LinkClickAction::imagePopover);
    EXPECT_EQ(linkClickAction(QUrl("file:///home/u/a.JPG")), LinkClickAction::localImagePopover);
    EXPECT_EQ(linkClickAction(QUrl("file:///home/u/notes.pdf")), LinkClickAction::openWithDesktop);
    EXPECT_EQ(linkClickAction(QUrl("mailto:someone@example.com")), LinkClickAction::openWithDesktop);
}

class ImagePopoverTest : public EditorFixture {
protected:
    QString writeImage(const QString& name, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = folder.filePath(name);
        image.save(path);
        return path;
    }
    QByteArray pngBytes() {
        QFile file(writeImage(QStringLiteral("served.png"), {8, 8}));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    QTemporaryDir folder;
};

TEST_F(ImagePopoverTest, CtrlClickOnALocalImageLinkShowsItAndLocateReplacesAMissingOne) {
    const QString path = writeImage(QStringLiteral("photo.png"), {40, 30});
    editor.setString(QStringLiteral("See [photo](%1) here\n").arg(QUrl::fromLocalFile(path).toString()));
    std::vector<QUrl> opened;
    editor.popovers().setURLOpener([&](const QUrl& url) { opened.push_back(url); });
    const QPoint onLink = editor.rectForRange({14, 1}).center().toPoint(); // in the URL, which links
    QTest::mouseClick(view().viewport(), Qt::LeftButton, Qt::ControlModifier, onLink);
    auto* popover = qobject_cast<ImagePopoverController*>(editor.popovers().popover());
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->imageURL(), QUrl::fromLocalFile(path));
    EXPECT_EQ(popover->imageView()->image().size(), QSize(40, 30));
    EXPECT_TRUE(popover->label()->isHidden());
    EXPECT_TRUE(popover->locateButton()->isHidden());
    popover->fileManagerButton()->click();
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl::fromLocalFile(folder.path())});

    popover->setImageURL(QUrl::fromLocalFile(folder.filePath(QStringLiteral("missing.png"))));
    EXPECT_TRUE(popover->imageView()->image().isNull());
    EXPECT_FALSE(popover->label()->isHidden());
    EXPECT_FALSE(popover->locateButton()->isHidden());
    popover->setFileChooser([&](QWidget*, const QString& start) {
        EXPECT_EQ(start, folder.path());
        return path;
    });
    popover->buttonDidPress();
    EXPECT_EQ(popover->imageView()->image().size(), QSize(40, 30));
    EXPECT_TRUE(editor.string().startsWith("See [photo]("));

    // A plain click only places the caret; a link to another file goes to the desktop.
    popover->close();
    editor.setString(QStringLiteral("[doc](file:///tmp/notes.pdf)\n"));
    QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, editor.rectForRange({8, 1}).center().toPoint());
    EXPECT_EQ(editor.popovers().popover(), nullptr);
    EXPECT_FALSE(editor.textViewClickedOnLink(QStringLiteral("file:///tmp/notes.pdf"), 1));
    EXPECT_EQ(opened.back(), QUrl("file:///tmp/notes.pdf"));
}

// Answers each request by the path asked for: /image.png, /page.html, /big.png (declaring 1000
// bytes) and /silent (no answer at all).
class LocalWebServer : public QTcpServer {
public:
    explicit LocalWebServer(QByteArray png) : png_(std::move(png)) {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }
    QUrl url(const char* path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(QLatin1String(path)));
    }

private:
    void answer(QTcpSocket* socket) {
        const QByteArray request = socket->readAll();
        const auto reply = [socket](const char* type, const QByteArray& body) {
            socket->write(QByteArray("HTTP/1.1 200 OK\r\nContent-Type: ") + type +
                          "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        };
        if (request.startsWith("GET /image.png")) reply("image/png", png_);
        if (request.startsWith("GET /page.html")) reply("text/html", "<html><body>Hello</body></html>");
        if (request.startsWith("GET /big.png")) reply("image/png", QByteArray(1000, 'x'));
    }
    QByteArray png_;
};

TEST_F(ImagePopoverTest, WebAnswersShowImagesOfferTheBrowserForPagesAndStopAtTheLimits) {
    LocalWebServer server(pngBytes());
    ImagePopoverController popover(platform::Dispatcher::shared());
    popover.setAttribute(Qt::WA_DeleteOnClose, false); // on the stack
    popover.fetcher().setLimits(500, std::chrono::milliseconds(300));
    std::vector<QUrl> opened;
    popover.setURLOpener([&](const QUrl& url) { opened.push_back(url); });
    const auto load = [&](const char* path) {
        QSignalSpy loaded(&popover, &ImagePopoverController::imageDidLoad);
        popover.setImageURL(server.url(path));
        EXPECT_TRUE(loaded.wait(5000)) << path;
        return loaded.value(0).value(0).toBool();
    };

    EXPECT_TRUE(load("/image.png"));
    EXPECT_EQ(popover.imageView()->image().size(), QSize(8, 8));
    EXPECT_TRUE(popover.browserButton()->isHidden());

    EXPECT_FALSE(load("/page.html"));
    EXPECT_FALSE(popover.browserButton()->isHidden());
    EXPECT_TRUE(popover.locateButton()->isHidden());
    popover.browserButton()->click();
    EXPECT_EQ(opened, std::vector<QUrl>{server.url("/page.html")});

    for (const char* refused : {"/big.png", "/silent"}) {
        EXPECT_FALSE(load(refused));
        EXPECT_TRUE(popover.browserButton()->isHidden()) << refused;
        EXPECT_FALSE(popover.label()->isHidden()) << refused;
    }
}

} // namespace
} // namespace quillet::test
