#include "bannerhost.h"

#include "platform/programfolder.h"
#include "platform/prompter.h"
#include "platform/shell.h"

#include "vxads.h"

#include <QCoreApplication>
#include <QImage>
#include <QLibrary>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

// The functions of the library that the host calls, resolved at run time.
struct AdLibrary
{
    decltype(&CT_PushInit) pushInit = nullptr;
    decltype(&CT_PushGetErrorString) pushGetErrorString = nullptr;
    decltype(&CT_PushGetLibError) pushGetLibError = nullptr;
    decltype(&CT_PushShutdown) pushShutdown = nullptr;
    decltype(&CT_MgmtInit) mgmtInit = nullptr;
    decltype(&CT_MgmtGetErrorString) mgmtGetErrorString = nullptr;
    decltype(&CT_MgmtGetLibError) mgmtGetLibError = nullptr;
    decltype(&CT_MgmtShutdown) mgmtShutdown = nullptr;
    decltype(&CT_MgmtCreateAL3) createAL3 = nullptr;
    decltype(&CT_MgmtSetALCallbacks) setALCallbacks = nullptr;
    decltype(&CT_MgmtGetALStatus) getALStatus = nullptr;
    decltype(&CT_MgmtSetALStatus) setALStatus = nullptr;
    decltype(&CT_MgmtDestroyAL) destroyAL = nullptr;
    decltype(&CT_MgmtProgress) progress = nullptr;
    decltype(&CT_MgmtALClick) alClick = nullptr;
    decltype(&CT_MgmtALDisplayResult) displayResult = nullptr;
    decltype(&CT_MgmtGetAdClickThroughURL) clickThroughUrl = nullptr;
    decltype(&CT_UtilReadBMZ) readBMZ = nullptr;
    decltype(&CT_UtilFreeBMZ) freeBMZ = nullptr;

    bool resolve(QLibrary &library)
    {
        bool ok = true;
        auto get = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            ok = ok && function;
        };
        get(pushInit, "CT_PushInit");
        get(pushGetErrorString, "CT_PushGetErrorString");
        get(pushGetLibError, "CT_PushGetLibError");
        get(pushShutdown, "CT_PushShutdown");
        get(mgmtInit, "CT_MgmtInit");
        get(mgmtGetErrorString, "CT_MgmtGetErrorString");
        get(mgmtGetLibError, "CT_MgmtGetLibError");
        get(mgmtShutdown, "CT_MgmtShutdown");
        get(createAL3, "CT_MgmtCreateAL3");
        get(setALCallbacks, "CT_MgmtSetALCallbacks");
        get(getALStatus, "CT_MgmtGetALStatus");
        get(setALStatus, "CT_MgmtSetALStatus");
        get(destroyAL, "CT_MgmtDestroyAL");
        get(progress, "CT_MgmtProgress");
        get(alClick, "CT_MgmtALClick");
        get(displayResult, "CT_MgmtALDisplayResult");
        get(clickThroughUrl, "CT_MgmtGetAdClickThroughURL");
        get(readBMZ, "CT_UtilReadBMZ");
        get(freeBMZ, "CT_UtilFreeBMZ");
        return ok;
    }
};

QString text(const char *s)
{
    return s ? QString::fromLocal8Bit(s) : QString();
}

quint32 le32(const uchar *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// The packed bitmap the library hands over (40-byte header, colour table, rows from
// the bottom up) as an image; its colour table is the banner's palette. A header the
// host cannot show gives a null image.
QImage imageFromPackedBitmap(const void *bitmap)
{
    const auto *header = static_cast<const uchar *>(bitmap);
    if (!header || le32(header) != 40)
        return QImage();
    const auto width = qint32(le32(header + 4));
    const auto rawHeight = qint32(le32(header + 8));
    const int bits = header[14] | header[15] << 8;
    const quint32 compression = le32(header + 16);
    quint32 colours = le32(header + 32);
    constexpr int kMaxSide = 4096;
    if (width <= 0 || width > kMaxSide || rawHeight == 0 || qAbs(rawHeight) > kMaxSide || compression != 0)
        return QImage();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return QImage();
    if (bits <= 8) {
        if (colours == 0 || colours > (1u << bits))
            colours = 1u << bits;
    } else {
        colours = 0;
    }
    const int height = qAbs(rawHeight);
    const bool bottomUp = rawHeight > 0;
    const uchar *table = header + 40;
    const uchar *pixels = table + colours * 4;
    const qsizetype stride = ((qsizetype(width) * bits + 31) / 32) * 4;

    QImage image(width, height, bits <= 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (bits <= 8) {
        QList<QRgb> palette;
        for (quint32 i = 0; i < colours; ++i)
            palette.append(qRgb(table[i * 4 + 2], table[i * 4 + 1], table[i * 4]));
        image.setColorTable(palette);
    }
    for (int y = 0; y < height; ++y) {
        const uchar *row = pixels + stride * (bottomUp ? height - 1 - y : y);
        uchar *out = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1: out[x] = (row[x / 8] >> (7 - x % 8)) & 1; break;
            case 4: out[x] = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF; break;
            case 8: out[x] = row[x]; break;
            case 24: reinterpret_cast<QRgb *>(out)[x] = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]); break;
            default: reinterpret_cast<QRgb *>(out)[x] = qRgb(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]); break;
            }
        }
        // An index beyond the colour table would paint garbage: clamp it.
        if (bits <= 8) {
            for (int x = 0; x < width; ++x)
                out[x] = uchar(qMin<quint32>(out[x], colours - 1));
        }
    }
    return image;
}

}

struct BannerHost::Private
{
    Private(QWidget &panel, Prompter &prompter, Shell &shell)
        : panel(panel),
          prompter(prompter),
          shell(shell)
    {
    }

    QWidget &panel;
    Prompter &prompter;
    Shell &shell;
    QString libraryFile = ProgramFolder::privateLibrary(QCoreApplication::applicationDirPath(), QStringLiteral("vxads"));
    QLibrary library;
    AdLibrary ads;
    bool active = false;
    // The ad location record the callbacks get as their context.
    int handle = -1;
    void *bitmap = nullptr;
    QImage picture;
    CT_ALCallbacks callbacks;
    QTimer timer;

    void freeBanner()
    {
        if (bitmap)
            ads.freeBMZ(bitmap);
        bitmap = nullptr;
        picture = QImage();
    }

    static int CT_CALL imageCallback(int, int, void *image, int kind, int, int, int, int, void *context);
    static int CT_CALL clickCallback(int, int location, void *context);
};

int CT_CALL BannerHost::Private::imageCallback(int, int, void *image, int kind, int, int, int, int, void *context)
{
    auto *d = static_cast<Private *>(context);
    if (!d)
        return -1;
    if (!image || kind != CT_IMAGE_BMZ)
        return 0;
    d->freeBanner();
    d->bitmap = d->ads.readBMZ(image);
    if (d->bitmap)
        d->picture = imageFromPackedBitmap(d->bitmap);
    if (d->picture.isNull()) {
        d->freeBanner();
        d->ads.displayResult(d->handle, CT_DISPLAY_NONE);
        return -1;
    }
    d->panel.update();
    return 0;
}

int CT_CALL BannerHost::Private::clickCallback(int, int location, void *context)
{
    auto *d = static_cast<Private *>(context);
    if (!d)
        return -1;
    const char *url = d->ads.clickThroughUrl(location);
    if (url)
        d->shell.open(text(url));
    return 0;
}

BannerHost::BannerHost(QWidget &bannerPanel, Prompter &prompter, Shell &shell, QObject *parent)
    : QObject(parent),
      d(new Private(bannerPanel, prompter, shell))
{
    d->timer.setInterval(kTickMs);
    connect(&d->timer, &QTimer::timeout, this, &BannerHost::tick);
    bannerPanel.setCursor(Qt::PointingHandCursor);
    bannerPanel.installEventFilter(this);
}

BannerHost::~BannerHost()
{
    shutdown();
    d->panel.removeEventFilter(this);
    delete d;
}

void BannerHost::setLibraryFile(const QString &fileName)
{
    d->libraryFile = fileName;
}

QString BannerHost::libraryFile() const
{
    return d->libraryFile;
}

bool BannerHost::start()
{
    if (d->active)
        return true;
    d->library.setFileName(d->libraryFile);
    if (!d->library.load())
        return false;
    if (!d->ads.resolve(d->library)) {
        d->library.unload();
        return false;
    }
    AdLibrary &ads = d->ads;

    int code = ads.pushInit("vendrix", "zandorell99", 1);
    if (code != 0) {
        d->prompter.error(QStringLiteral("Ad Push system init error: ") + text(ads.pushGetErrorString(code))
                          + text(ads.pushGetLibError()));
        return false;
    }
    code = ads.mgmtInit("vendrix", "zandorell99", 1);
    if (code != 0) {
        d->prompter.error(QStringLiteral("Ad Management system init error: ") + text(ads.mgmtGetErrorString(code))
                          + text(ads.mgmtGetLibError()));
        ads.pushShutdown();
        return false;
    }

    d->active = true;
    d->timer.start();
    const int adSpaceId = 1;
    d->handle = ads.createAL3(&adSpaceId, 1, 1, 2, 0, 0);
    if (d->handle == -1) {
        d->prompter.warning(QStringLiteral("Cannot create ad location ") + text(ads.mgmtGetLibError()));
    } else {
        std::memset(&d->callbacks, 0, sizeof d->callbacks);
        d->callbacks.size = sizeof d->callbacks;
        d->callbacks.flags = CT_CB_IMAGE | CT_CB_CLICK;
        d->callbacks.image = &Private::imageCallback;
        d->callbacks.imageContext = d;
        d->callbacks.click = &Private::clickCallback;
        d->callbacks.clickContext = d;
        code = ads.setALCallbacks(d->handle, &d->callbacks);
        if (code != 0) {
            ads.destroyAL(d->handle);
            d->prompter.information(QStringLiteral("Cannot set ad location callbacks: ") + text(ads.mgmtGetErrorString(code))
                                    + text(ads.mgmtGetLibError()));
            d->handle = -1;
        } else {
            ads.setALStatus(d->handle, ads.getALStatus(d->handle) | CT_AL_VISIBLE);
        }
    }
    if (d->handle == -1)
        d->prompter.error(QStringLiteral("Unable to initialize advertising banner space, Advertising Space Creation Error"));
    return true;
}

bool BannerHost::isActive() const
{
    return d->active;
}

int BannerHost::location() const
{
    return d->handle;
}

bool BannerHost::hasBanner() const
{
    return !d->picture.isNull();
}

void BannerHost::tick()
{
    if (d->active)
        d->ads.progress();
}

void BannerHost::click()
{
    if (!d->active)
        return;
    const bool showing = hasBanner();
    if (showing)
        d->panel.setCursor(Qt::WaitCursor);
    if (d->handle != -1)
        d->ads.alClick(d->handle);
    d->panel.setCursor(Qt::PointingHandCursor);
}

void BannerHost::paint(QPainter &painter)
{
    if (!d->active || d->handle == -1 || d->picture.isNull() || !(d->ads.getALStatus(d->handle) & CT_AL_VISIBLE))
        return;
    int result = CT_DISPLAY_NONE;
    if (painter.isActive()) {
        painter.drawImage(0, 0, d->picture);
        const int lines = qMin(d->picture.height(), d->panel.height());
        if (lines >= d->picture.height())
            result = CT_DISPLAY_ALL;
        else if (lines > 0)
            result = CT_DISPLAY_PART;
    }
    d->ads.displayResult(d->handle, result);
}

void BannerHost::shutdown()
{
    if (!d->active)
        return;
    AdLibrary &ads = d->ads;
    if (d->handle != -1) {
        ads.setALStatus(d->handle, ads.getALStatus(d->handle) & ~CT_AL_VISIBLE);
        ads.destroyAL(d->handle);
    }
    d->freeBanner();
    ads.mgmtShutdown();
    ads.pushShutdown();
    d->timer.stop();
    d->handle = -1;
    d->active = false;
    d->panel.update();
}

bool BannerHost::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &d->panel && d->active) {
        if (event->type() == QEvent::Paint && !d->picture.isNull()) {
            // The banner covers the panel, so the panel's own picture is not painted under it.
            QPainter painter(&d->panel);
            paint(painter);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
