#include "testfiles.h"
#include "testregistry.h"

#include "html/pagehtml.h"
#include "model/pagelette.h"
#include "themes/themestore.h"
#include "widgets/htmlviewer.h"

#include <QDesktopServices>
#include <QImage>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>
#include <optional>

#include <unistd.h>

// Pages loaded into the viewer as the program shows them, and the engine asked what a
// visitor gets: the colours, the pictures, the form's controls, and links and forms
// that go nowhere, without a request leaving the machine.
class TestWebPageView : public QObject
{
    Q_OBJECT

public slots:
    void openOutside(const QUrl &url) { mOpenedOutside.append(url); }

private slots:
    void initTestCase();
    void whatAVisitorGets_data();
    void whatAVisitorGets();
    void cleanupTestCase();

private:
    // Stands in as the proxy of every request the engine would send out; records them.
    QTcpServer mProxy;
    QStringList mRequestsOut;
    // Addresses handed to the desktop (a mail program for mailto: links).
    QList<QUrl> mOpenedOutside;
};

namespace {

constexpr int kEngineTimeout = 30000;
const char *const kOutsideSchemes[] = {"mailto", "http", "https"};

QStringList goldenLines(const QString &file)
{
    return QString::fromLatin1(readFile(QStringLiteral(VENDRIX_TEST_DATA "/") + file)).split(QStringLiteral("\r\n"));
}

QString css(QColor colour)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// A page in the shipped "Black and White" theme with a link and an e-mail form, built
// for the preview as View Page builds it.
QStringList darkThemePage(const QString &programFolder)
{
    QString error;
    const std::unique_ptr<TWebTheme> themes = ThemeStore::load(QStringLiteral(VENDRIX_BUILD_DATA_DIR "/Themes.dat"), &error);
    if (!themes)
        return {error};
    const int theme = ThemeStore::findTheme(ThemeStore::themeNames(*themes), QStringLiteral("Black and White"));
    if (theme < 0)
        return {QStringLiteral("no Black and White theme")};
    TPagelette page;
    page.NewPage();
    ThemeStore::applyTheme(themes->Items().Items(theme), page.Page().Items(0).PagePropertiesBlock());
    TLinkBlock &link = page.InsertNewItem(page.Page().Count(), btLink).LinkBlock();
    link.LinkURL = QStringLiteral("http://www.example.com/");
    link.LinkText = QStringLiteral("Our shop");
    page.InsertNewItem(page.Page().Count(), btForms);
    TFormElement &field = page.WebForm().AddElement();
    field.Name = QStringLiteral("Name");
    field.Text = QStringLiteral("Your name:");
    HtmlBuildOptions options;
    options.programFolder = ProgramFolder(programFolder);
    QStringList lines;
    BuildPageHTML(lines, hmPreview, page, options);
    return lines;
}

// The script's value, or an invalid one when the engine has not answered in time.
QVariant evaluate(QWebEnginePage &page, const QString &script)
{
    auto answer = std::make_shared<std::optional<QVariant>>();
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant &value) { *answer = value; });
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, kEngineTimeout))
        return QVariant();
    return **answer;
}

// The middle of the first element the selector finds that has a size, brought into
// view; a null point when there is none.
QPoint centreOf(QWebEnginePage &page, const QString &selector)
{
    const QVariantList centre =
        evaluate(page, QStringLiteral("(function () { var all = document.querySelectorAll('%1');"
                                      " for (var i = 0; i < all.length; ++i) {"
                                      "   if (all[i].getClientRects().length == 0) continue;"
                                      "   all[i].scrollIntoView(); var r = all[i].getClientRects()[0];"
                                      "   if (r.width > 0 && r.height > 0) return [r.left + r.width / 2, r.top + r.height / 2]; }"
                                      " return []; })()")
                           .arg(selector))
            .toList();
    return centre.size() == 2 ? QPoint(centre[0].toInt(), centre[1].toInt()) : QPoint();
}

void click(QWebEngineView &view, QPoint at)
{
    QWidget *surface = view.focusProxy();
    QTest::mouseMove(surface, at);
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
}

// Whether the widget shows the colour somewhere (near enough for JPEG).
bool shows(QWidget &widget, QColor colour)
{
    const QImage shot = widget.grab().toImage();
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            const QColor seen = shot.pixelColor(x, y);
            if (qAbs(seen.red() - colour.red()) + qAbs(seen.green() - colour.green()) + qAbs(seen.blue() - colour.blue()) <= 9)
                return true;
        }
    }
    return false;
}

void writePicture(const QString &path, QColor colour)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The extension names the format: JPEG and GIF as the pages use them (Qt writes
    // no GIF, so a PNG stands in; the engine goes by the content).
    QVERIFY(picture.save(path, path.endsWith(u".jpg") ? "JPEG" : "PNG", 100));
}

const char *const kProbe = R"((function () {
    var body = getComputedStyle(document.body);
    var link = document.querySelector('a[href]');
    var loaded = [];
    for (var i = 0; i < document.images.length; ++i)
        if (document.images[i].naturalWidth > 0)
            loaded.push(decodeURI(document.images[i].src));
    return {
        text: body.color,
        link: link ? getComputedStyle(link).color : '',
        loaded: loaded.sort(),
        textBoxes: document.querySelectorAll('input:not([type]), input[type=text], textarea').length,
        choices: document.querySelectorAll('input[type=radio], input[type=checkbox]').length,
        dropDowns: document.querySelectorAll('select').length,
        buttons: document.querySelectorAll('input[type=submit], input[type=reset], input[type=button]').length,
        address: location.href,
        content: document.body.innerHTML.length
    };
})())";

} // namespace

void TestWebPageView::initTestCase()
{
    // Run as root (as CI runs), the engine starts only with its sandbox off.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QVERIFY(mProxy.listen(QHostAddress::LocalHost));
    connect(&mProxy, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = mProxy.nextPendingConnection()) {
            mRequestsOut.append(QStringLiteral("connection"));
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                mRequestsOut.last() = QString::fromLatin1(socket->readLine().trimmed());
                socket->disconnectFromHost();
            });
        }
    });
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), mProxy.serverPort()));
    for (const char *scheme : kOutsideSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openOutside");
}

void TestWebPageView::cleanupTestCase()
{
    for (const char *scheme : kOutsideSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    QNetworkProxy::setApplicationProxy(QNetworkProxy());
}

void TestWebPageView::whatAVisitorGets_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("base");            // relative to the folder of the row
    QTest::addColumn<QStringList>("pictures");    // pictures the page shows, placed there
    QTest::addColumn<QString>("background");      // its background picture
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("link");             // invalid: the page has no link
    QTest::addColumn<QList<int>>("controls");     // text boxes, radios and check boxes, drop-downs, buttons
    QTest::addColumn<QUrl>("clicked");            // what a click on the first link reports

    const QColor black(0, 0, 0), blue(0, 0, 255);
    QTest::newRow("full page, local copy") << goldenLines("html/full_local_logo/expected.html") << "VendrixFiles"
                                          << QStringList{"Upload/images/photo one.jpg"} << "Upload/backgrounds/sky.gif"
                                          << QColor(0x80, 0, 0) << blue
                                          // The second drop box's script stops at its stray
                                          // line, as in any browser, leaving its list open.
                                          << QList<int>{1, 0, 2, 3} << QUrl("http://img.example/");
    QTest::newRow("margin, upload copy") << goldenLines("html/indent_upload/expected.html") << "" << QStringList{"a.gif"}
                                         << "b.jpg" << black << QColor() << QList<int>{0, 0, 0, 0} << QUrl();
    QTest::newRow("new page, preview") << goldenLines("html/newpage_preview/expected.html") << "" << QStringList()
                                       << "" << black << blue << QList<int>{0, 0, 0, 0} << QUrl();
    QTest::newRow("new page, logo") << goldenLines("html/newpage_upload_logo/expected.html") << "" << QStringList() << ""
                                    << black << blue << QList<int>{0, 0, 0, 0} << QUrl("http://www.maker.test/");
    // The form alone, without the page's colours: the browser's own link colour.
    QTest::newRow("e-mail form") << goldenLines("forms/expected.html") << "" << QStringList() << "" << black << QColor(0, 0, 238)
                                 << QList<int>{2, 4, 1, 2} << QUrl("mailto:me@example.com");
    QTest::newRow("Black and White theme") << darkThemePage(QStringLiteral("%ROOT%")) << "Upload" << QStringList() << ""
                                           << QColor(255, 255, 255) << QColor(255, 255, 0) << QList<int>{1, 0, 0, 2}
                                           << QUrl("http://www.example.com/");
}

void TestWebPageView::whatAVisitorGets()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, base);
    QFETCH(QStringList, pictures);
    QFETCH(QString, background);
    QFETCH(QColor, text);
    QFETCH(QColor, link);
    QFETCH(QList<int>, controls);
    QFETCH(QUrl, clicked);

    mRequestsOut.clear();
    QTemporaryDir root;
    lines.replaceInStrings(QStringLiteral("%ROOT%"), root.path());
    for (int i = 0; i < pictures.size(); ++i)
        writePicture(root.filePath(pictures[i]), QColor(200, 40 * i, 0));
    const QColor backgroundColour(10, 20, 200);
    if (!background.isEmpty())
        writePicture(root.filePath(background), backgroundColour);

    HtmlViewer viewer(PreviewRenderer::BrowserEngine);
    viewer.resize(800, 900);
    viewer.show();
    QSignalSpy loaded(&viewer, &HtmlViewer::loadFinished);
    QSignalSpy links(&viewer, &HtmlViewer::linkClicked);
    viewer.setBaseFolder(root.filePath(base) + u'/');
    viewer.loadLines(lines);
    QVERIFY(viewer.showsWithBrowserEngine());
    QVERIFY(loaded.wait(kEngineTimeout));
    QCOMPARE(loaded.takeFirst(), QVariantList{true});
    auto *view = viewer.findChild<QWebEngineView *>();
    QVERIFY(view);
    QWebEnginePage &page = *view->page();

    QVariantMap seen = evaluate(page, QString::fromLatin1(kProbe)).toMap();
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen["text"].toString(), css(text));
    QCOMPARE(seen["link"].toString(), link.isValid() ? css(link) : QString());
    QStringList expectedPictures;
    for (const QString &picture : std::as_const(pictures))
        expectedPictures.append(QUrl::fromLocalFile(root.filePath(picture)).toString());
    QCOMPARE(seen["loaded"].toStringList(), expectedPictures);
    QCOMPARE((QList<int>{seen["textBoxes"].toInt(), seen["choices"].toInt(), seen["dropDowns"].toInt(), seen["buttons"].toInt()}),
             controls);
    if (!background.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(shows(viewer, backgroundColour), kEngineTimeout);

    // A form's submit goes nowhere; a link is reported and not followed. The engine
    // decides on moves in order, so once the link is reported the submit was refused.
    if (!clicked.isEmpty()) {
        const QPoint submit = centreOf(page, QStringLiteral("input[type=submit]"));
        if (!submit.isNull())
            click(*view, submit);
        // A picture inside a link is what a visitor clicks.
        const QPoint target = centreOf(page, QStringLiteral("a[href], a[href] img"));
        QVERIFY(!target.isNull());
        click(*view, target);
        QTRY_COMPARE_WITH_TIMEOUT(links.size(), 1, kEngineTimeout);
        QCOMPARE(links.takeFirst().at(0).toUrl(), clicked);
        // Time for a move that was let through to show.
        QTest::qWait(500);
        const QVariantMap after = evaluate(page, QString::fromLatin1(kProbe)).toMap();
        QCOMPARE(after["address"], seen["address"]);
        QCOMPARE(after["content"], seen["content"]);
        QVERIFY(loaded.isEmpty());
    }
    QCOMPARE(mRequestsOut, QStringList());
    QCOMPARE(mOpenedOutside, QList<QUrl>());
}

VENDRIX_TEST(TestWebPageView)
#include "tst_webpageview.moc"
