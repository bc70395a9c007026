#include "pagechecker.h"

#include "addresses.h"
#include "contrast.h"
#include "pictureinspector.h"

#include "html/formhtml.h"
#include "html/pagehtml.h"
#include "model/errors.h"
#include "model/pagelette.h"
#include "platform/programfolder.h"

#include <QHash>

#include <algorithm>

namespace PageCheck {

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;
constexpr qint64 kLargePicture = kMegabyte;
constexpr qint64 kHeavyPage = 5 * kMegabyte;
// FONT SIZE 5 is 24 pixels, WCAG's 18 points: from there on text counts as large.
constexpr int kLargeFontSize = 5;

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / kMegabyte, 'f', 1) + QStringLiteral(" MB");
}

// A size typed into the image panel; 0 when it is not a positive number.
int pixels(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

// The names a form-to-mail service reads from the form's own hidden fields: a
// visitor's field of the same name would be taken for them.
QStringList hiddenFieldNames(const TPagelette &page)
{
    QStringList names{QStringLiteral("recipient"), QStringLiteral("subject"), QStringLiteral("redirect")};
    if (page.AlphaSort)
        names.append(QStringLiteral("sort"));
    if (page.BlankFields)
        names.append(QStringLiteral("print_blank_fields"));
    if (page.BrowserUsed || page.HostName || page.EnvReport)
        names.append(QStringLiteral("env_report"));
    if (page.EmailAddress || page.EmailSubject)
        names.append(QStringLiteral("print_config"));
    return names;
}

class Checker
{
public:
    Checker(const TPagelette &page, const ProgramFolder &folder, const PictureInspector &pictures)
        : mPage(page), mFolder(folder), mPictures(pictures)
    {
    }

    QList<Finding> run()
    {
        const TPageCollection &items = mPage.Page();
        if (items.Count() == 0)
            return {};
        checkDetails(items.Items(0).PagePropertiesBlock());
        for (int row = 1; row < items.Count(); ++row) {
            const TPageItem &item = items.Items(row);
            switch (item.BlockType) {
            case btHeading: {
                const THeadingBlock &b = item.HeadingBlock();
                checkTextColour(row, b.Heading, b.Attributes, b.ApplyFont, QStringLiteral("The heading's colour"));
                break;
            }
            case btText: {
                const TTextBlock &b = item.TextBlock();
                checkTextColour(row, b.Text, b.Attributes, b.ApplyFont, QStringLiteral("The paragraph's colour"));
                break;
            }
            case btImage: checkImage(row, item.ImageBlock()); break;
            case btLink: checkLink(row, item.LinkBlock()); break;
            case btForms: checkForm(row); break;
            case btPageProperties:
            case btBullet:
            case btHR: break;
            }
        }
        checkPicturesTogether();
        std::stable_sort(mFindings.begin(), mFindings.end(), [](const Finding &a, const Finding &b) { return a.row < b.row; });
        return mFindings;
    }

private:
    void error(int row, const char *code, const QString &message)
    {
        mFindings.append({Severity::Error, row, mPage.Page().Items(row).BlockType, QString::fromLatin1(code), message});
    }
    void warning(int row, const char *code, const QString &message)
    {
        mFindings.append({Severity::Warning, row, mPage.Page().Items(row).BlockType, QString::fromLatin1(code), message});
    }

    // Each file is read once however many blocks show it.
    const PictureFacts &picture(const QString &path)
    {
        auto found = mPictureFacts.find(path);
        if (found == mPictureFacts.end())
            found = mPictureFacts.insert(path, mPictures.inspect(path));
        return *found;
    }

    void checkDetails(const TPagePropertiesBlock &details)
    {
        if (details.PageTitle.trimmed().isEmpty())
            warning(0, "title-empty",
                    QStringLiteral("The page has no title: browsers show its file name instead, and search engines list it "
                                   "without one."));
        mBackgroundColour = ColorToHTML(details.BGColor);
        mBackground = Contrast::fromHtml(mBackgroundColour);
        if (!details.Background.isEmpty()) {
            const PictureFacts &facts = picture(mFolder.backgroundsFolder() + details.Background);
            if (!facts.exists) {
                error(0, "background-missing",
                      QStringLiteral("The background picture %1 is missing from the upload folder.").arg(details.Background));
            } else if (!facts.readable) {
                error(0, "background-unreadable",
                      QStringLiteral("The background file %1 cannot be read as a picture.").arg(details.Background));
            } else {
                checkFileSize(0, details.Background, facts);
                warning(0, "contrast-unchecked",
                        QStringLiteral("The page has a background picture, so the contrast of its text against it cannot "
                                       "be checked."));
                // What lies behind the text is the picture, not the colour.
                mBackground.reset();
            }
        }
        checkContrast(0, QStringLiteral("The text colour"), ColorToHTML(details.TextColor), false);
        checkContrast(0, QStringLiteral("The link colour"), ColorToHTML(details.LinkColor), false);
        checkContrast(0, QStringLiteral("The visited-link colour"), ColorToHTML(details.VLinkColor), false);
    }

    void checkContrast(int row, const QString &what, const QString &colour, bool large)
    {
        const std::optional<Contrast::Rgb> foreground = Contrast::fromHtml(colour);
        if (!mBackground || !foreground)
            return;
        const double ratio = Contrast::ratio(*foreground, *mBackground);
        const double minimum = large ? Contrast::largeTextMinimum : Contrast::normalTextMinimum;
        if (ratio >= minimum)
            return;
        warning(row, "contrast-low",
                QStringLiteral("%1 %2 has a contrast of %3 against the background %4; %5 needs at least %6 to be read "
                               "easily.")
                    .arg(what, colour, Contrast::formatRatio(ratio, minimum), mBackgroundColour,
                         large ? QStringLiteral("large text") : QStringLiteral("text"),
                         QString::number(minimum) + QStringLiteral(":1")));
    }

    // Only text in a colour of its own: the rest has the page's text colour.
    void checkTextColour(int row, const QString &text, const QString &attributes, quint8 applyFont, const QString &what)
    {
        if (applyFont != 1 || text.trimmed().isEmpty())
            return;
        FontTag tag;
        try {
            tag = FontTagOf(attributes);
        } catch (const ConvertError &) {
            // The page cannot be built at all then; building it says why.
            return;
        }
        if (!tag.color.isEmpty())
            checkContrast(row, what, tag.color, tag.size.toInt() >= kLargeFontSize);
    }

    void checkImage(int row, const TImageBlock &image)
    {
        if (image.FileName.isEmpty()) {
            error(row, "picture-missing", QStringLiteral("The picture block has no picture chosen."));
        } else {
            const PictureFacts &facts = picture(mFolder.imagesFolder() + image.FileName);
            if (!facts.exists) {
                error(row, "picture-missing",
                      QStringLiteral("The picture %1 is missing from the upload folder.").arg(image.FileName));
            } else if (!facts.readable) {
                error(row, "picture-unreadable", QStringLiteral("The file %1 cannot be read as a picture.").arg(image.FileName));
            } else {
                checkFileSize(row, image.FileName, facts);
                checkShownSize(row, image, facts.size);
            }
            if (image.Alt.trimmed().isEmpty())
                warning(row, "picture-no-hint",
                        QStringLiteral("The picture %1 has no hint, so screen readers cannot tell what it shows.")
                            .arg(image.FileName));
        }
        if (!image.ImageLink.isEmpty())
            checkAddress(row, image.ImageLink, QStringLiteral("The picture's link"));
    }

    void checkFileSize(int row, const QString &name, const PictureFacts &facts)
    {
        if (facts.bytes > kLargePicture)
            warning(row, "picture-large",
                    QStringLiteral("The picture %1 is %2; pictures over 1 MB make the page slow to load.")
                        .arg(name, megabytes(facts.bytes)));
    }

    // A browser scales a picture with one size given in proportion.
    void checkShownSize(int row, const TImageBlock &image, QSize natural)
    {
        if (natural.isEmpty())
            return;
        const int width = pixels(image.Width);
        const int height = pixels(image.Height);
        QSize shown = natural;
        if (width && height)
            shown = QSize(width, height);
        else if (width)
            shown = QSize(width, int(qint64(natural.height()) * width / natural.width()));
        else if (height)
            shown = QSize(int(qint64(natural.width()) * height / natural.height()), height);
        if (natural.width() > 2 * shown.width() && natural.height() > 2 * shown.height())
            warning(row, "picture-scaled-down",
                    QStringLiteral("The picture %1 is %2 x %3 pixels but shown at %4 x %5; a smaller copy would load "
                                   "faster.")
                        .arg(image.FileName)
                        .arg(natural.width())
                        .arg(natural.height())
                        .arg(shown.width())
                        .arg(shown.height()));
    }

    void checkLink(int row, const TLinkBlock &link)
    {
        if (!link.UseDropBox || link.DropBoxText.isEmpty()) {
            checkAddress(row, link.Email ? QStringLiteral("mailto:") + link.LinkURL : link.LinkURL, QStringLiteral("The link"));
            return;
        }
        // Each line is an entry: the address, a TAB, the text shown. A line of one
        // character is written as it stands, not as an entry.
        int entry = 0;
        const QStringList lines = SplitHtmlLines(link.DropBoxText);
        for (const QString &line : lines) {
            if (line.size() == 1)
                continue;
            ++entry;
            const qsizetype tab = line.indexOf(u'\t');
            checkAddress(row, tab < 0 ? QString() : line.left(tab), QStringLiteral("Entry %1 of the drop box").arg(entry));
        }
    }

    void checkAddress(int row, const QString &address, const QString &what)
    {
        switch (Addresses::linkProblem(address)) {
        case Addresses::LinkProblem::None: return;
        case Addresses::LinkProblem::Empty:
            error(row, "link-empty", QStringLiteral("%1 has no address, so it leads nowhere.").arg(what));
            return;
        case Addresses::LinkProblem::NoMailAddress:
            error(row, "link-malformed",
                  QStringLiteral("%1 leads to \"%2\", which holds no valid e-mail address such as name@example.com.")
                      .arg(what, address));
            return;
        case Addresses::LinkProblem::NoHost:
            error(row, "link-malformed",
                  QStringLiteral("%1 leads to \"%2\", which names no web server after \"//\".").arg(what, address));
            return;
        case Addresses::LinkProblem::NoScheme:
            error(row, "link-malformed",
                  QStringLiteral("%1 leads to \"%2\", which lacks \"http://\" in front, so browsers look for a file of "
                                 "that name on your own site.")
                      .arg(what, address));
            return;
        }
    }

    void checkForm(int row)
    {
        // A form without fields is not written into the page.
        const TWebForm &fields = mPage.WebForm();
        if (fields.Count() == 0)
            return;
        if (mPage.Email.trimmed().isEmpty())
            error(row, "form-no-recipient",
                  QStringLiteral("The e-mail form has no recipient address, so what visitors send reaches no one."));
        else if (!Addresses::isEmailAddressList(mPage.Email))
            error(row, "form-bad-recipient",
                  QStringLiteral("The e-mail form's recipient \"%1\" is not a valid e-mail address.").arg(mPage.Email));
        if (!mPage.Redirect.isEmpty())
            checkAddress(row, mPage.Redirect, QStringLiteral("The page shown after sending"));

        const QStringList hidden = hiddenFieldNames(mPage);
        QHash<QString, QString> taken; // HTML name -> the field's name as typed
        for (int i = 0; i < fields.Count(); ++i) {
            const TFormElement &field = fields.Items(i);
            if (field.FieldKind == fkButton)
                continue;
            if (field.Name.trimmed().isEmpty()) {
                error(row, "form-field-unnamed",
                      QStringLiteral("The form field \"%1\" has no name, so what visitors enter there never reaches you.")
                          .arg(field.Text.simplified()));
                continue;
            }
            const QStringList names = FieldControlNames(field);
            for (const QString &name : names) {
                const auto found = taken.constFind(name);
                if (hidden.contains(name)) {
                    error(row, "form-duplicate-field",
                          QStringLiteral("The form field \"%1\" has the name \"%2\" of the form's own hidden field, which "
                                         "the form-to-mail service would take in its place.")
                              .arg(field.Name, name));
                } else if (found != taken.cend()) {
                    error(row, "form-duplicate-field",
                          QStringLiteral("The form fields \"%1\" and \"%2\" both have the name \"%3\", so only one of them "
                                         "reaches you.")
                              .arg(*found, field.Name, name));
                } else {
                    taken.insert(name, field.Name);
                }
            }
        }
    }

    void checkPicturesTogether()
    {
        qint64 total = 0;
        for (const PictureFacts &facts : std::as_const(mPictureFacts)) {
            if (facts.readable)
                total += facts.bytes;
        }
        if (total > kHeavyPage)
            warning(0, "pictures-heavy",
                    QStringLiteral("The page's pictures together are %1; over 5 MB makes the page slow to load.")
                        .arg(megabytes(total)));
    }

    const TPagelette &mPage;
    const ProgramFolder &mFolder;
    const PictureInspector &mPictures;
    QHash<QString, PictureFacts> mPictureFacts;
    QString mBackgroundColour;
    std::optional<Contrast::Rgb> mBackground; // none when a picture lies behind the text
    QList<Finding> mFindings;
};

}

QString severityName(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

qsizetype errorCount(const QList<Finding> &findings)
{
    return std::count_if(findings.begin(), findings.end(), [](const Finding &f) { return f.severity == Severity::Error; });
}

QList<Finding> check(const TPagelette &page, const ProgramFolder &folder, const PictureInspector &pictures)
{
    return Checker(page, folder, pictures).run();
}

}
