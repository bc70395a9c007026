#pragma once

#include <QString>

// The maker's web addresses, kept in one place: the generated pages, the web
// commands of the main window and the failure messages all read them from here.
struct MakerConfig
{
    QString homePage;        // the logo's link; opened by "Zandorell Software"
    QString webAddress;      // named in the second header comment of generated pages; serves "/editor/zandnow4.gif"
    QString formMailHost;    // web address of the form-to-mail service host
    QString hostingPage;
    QString productsPage;
    QString orderingPage;
    QString supportEmail;

    QString logoImageUrl() const { return webAddress + QStringLiteral("/editor/zandnow4.gif"); }
    QString formMailUrl() const { return formMailHost + QStringLiteral("/cgi-bin/FormMail.pl"); }

    static const MakerConfig &defaults();
};
