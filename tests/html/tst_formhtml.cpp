#include "htmltestpages.h"
#include "testregistry.h"

#include "html/formhtml.h"

#include <QTest>

class TestFormHtml : public QObject
{
    Q_OBJECT

private slots:
    // One field's row: label cell and control cell.
    void fieldRow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("strings");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("control");

        QTest::newRow("text box") << int(fkText) << "Full Name" << QStringList{"Size=30"} << "Name:" << "Name:"
                                  << "<INPUT NAME=\"full_name\" VALUE=\"v\" SIZE=\"30\">";
        QTest::newRow("new field has no size") << int(fkText) << "A" << QStringList() << "" << ""
                                               << "<INPUT NAME=\"a\" VALUE=\"v\" SIZE=\"\">";
        QTest::newRow("only A to Z lowered") << int(fkText) << "Größe Ä" << QStringList{"size=5"} << "" << ""
                                             << "<INPUT NAME=\"größe_Ä\" VALUE=\"v\" SIZE=\"5\">";
        QTest::newRow("text area") << int(fkTextArea) << "Comments" << QStringList{"Rows=15", "Cols=30"} << "" << ""
                                   << "<TEXTAREA COLS=\"30\" ROWS=\"15\" NAME=\"comments\" WRAP=\"VIRTUAL\"></TEXTAREA>";
        QTest::newRow("check boxes") << int(fkCheckBox) << "Colors" << QStringList{"r|Red|No", "b|Blue|YES", "no bar"} << "" << ""
                                     << "\r\n<INPUT TYPE=\"CheckBox\" NAME=\"colors_red\" VALUE=\"r\"> Red<BR>\r\n"
                                        "<INPUT TYPE=\"CheckBox\" NAME=\"colors_blue\" VALUE=\"b\" CHECKED> Blue<BR>\r\n";
        QTest::newRow("radio buttons") << int(fkRadio) << "Pick One" << QStringList{"1|Light Red|yes", "2|Dark|"} << "" << ""
                                       << "\r\n<INPUT TYPE=\"Radio\" NAME=\"pick_one\" VALUE=\"1\" CHECKED> Light Red<BR>\r\n"
                                          "<INPUT TYPE=\"Radio\" NAME=\"pick_one\" VALUE=\"2\"> Dark<BR>\r\n";
        QTest::newRow("drop-down without choices") << int(fkDropDown) << "Size" << QStringList() << "" << ""
                                                   << "<SELECT NAME=\"size\">\r\n<OPTION VALUE=\"\">Select\r\n"
                                                      "<OPTION VALUE=\"\">----------\r\n</SELECT>";
        QTest::newRow("drop-down") << int(fkDropDown) << "Size" << QStringList{"s|Small", "Large"} << "" << ""
                                   << "<SELECT NAME=\"size\">\r\n<OPTION VALUE=\"\">Select\r\n<OPTION VALUE=\"\">----------\r\n"
                                      "<OPTION VALUE=\"s\">Small\r\n<OPTION VALUE=\"\">Large\r\n</SELECT>";
        QTest::newRow("button") << int(fkButton) << "Go" << QStringList() << "Press" << "Press" << "";
        QTest::newRow("two-line label") << int(fkButton) << "Go" << QStringList() << "First\r\nSecond\r\n"
                                        << "First<BR>Second<BR>" << "";
    }
    void fieldRow()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QStringList, strings);
        QFETCH(QString, text);
        QFETCH(QString, label);
        QFETCH(QString, control);
        TWebForm form;
        TFormElement &field = form.AddElement();
        field.FieldKind = TFieldKind(kind);
        field.Name = name;
        field.Strings = strings;
        field.Text = text;
        field.Value = QStringLiteral("v");
        QCOMPARE(GetHTML(form), QStringLiteral("<TR><TD WIDTH=30% VALIGN=TOP>") + label
                                    + QStringLiteral("</TD><TD WIDTH=70% VALIGN=TOP>") + control + QStringLiteral("</TD></TR>\r\n"));
    }

    void smallestForm()
    {
        TPagelette page;
        TFormElement &field = page.WebForm().AddElement();
        field.Name = QStringLiteral("Full Name");
        field.Strings = {QStringLiteral("Size=30")};
        QCOMPARE(GetFormHTML(page, testOptions().maker),
                 QStringLiteral("<FORM ACTION=\"http://forms.maker.test/cgi-bin/FormMail.pl\" METHOD=\"POST\">\r\n"
                                "<INPUT TYPE=\"HIDDEN\" NAME=\"recipient\" VALUE=\"\">\r\n"
                                "<INPUT TYPE=\"HIDDEN\" NAME=\"subject\" VALUE=\"\">\r\n"
                                "<INPUT TYPE=\"HIDDEN\" NAME=\"redirect\" VALUE=\"\">\r\n"
                                "<TABLE CELLPADDING=2 WIDTH=100%>\r\n"
                                "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>"
                                "<INPUT NAME=\"full_name\" VALUE=\"\" SIZE=\"30\"></TD></TR>\r\n"
                                "<TR><TD COLSPAN=2><INPUT TYPE=\"SUBMIT\">&nbsp;&nbsp;<INPUT TYPE=\"RESET\"></TD></TR>"
                                "</TABLE></FORM>"));
    }

    // The hidden fields after the three that are always there.
    void optionalHiddenFields_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("hidden");
        const QString h = QStringLiteral("<INPUT TYPE=\"HIDDEN\" NAME=\"%1\" VALUE=\"%2\">\r\n");
        QTest::newRow("none") << QStringList() << "";
        QTest::newRow("sort and blanks") << QStringList{"AlphaSort", "BlankFields"}
                                         << h.arg("sort", "alphabetic") + h.arg("print_blank_fields", "1");
        QTest::newRow("all reports") << QStringList{"BrowserUsed", "HostName", "EnvReport"}
                                     << h.arg("env_report", "HTTP_USER_AGENT,REMOTE_HOST,REMOTE_ADDR");
        QTest::newRow("no leading comma") << QStringList{"HostName", "EnvReport"} << h.arg("env_report", "REMOTE_HOST,REMOTE_ADDR");
        QTest::newRow("address only") << QStringList{"EnvReport"} << h.arg("env_report", "REMOTE_ADDR");
        QTest::newRow("print both") << QStringList{"EmailAddress", "EmailSubject"} << h.arg("print_config", "email,subject");
        QTest::newRow("print subject") << QStringList{"EmailSubject"} << h.arg("print_config", "subject");
    }
    void optionalHiddenFields()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, hidden);
        TPagelette page;
        page.AlphaSort = options.contains(u"AlphaSort");
        page.BlankFields = options.contains(u"BlankFields");
        page.BrowserUsed = options.contains(u"BrowserUsed");
        page.HostName = options.contains(u"HostName");
        page.EnvReport = options.contains(u"EnvReport");
        page.EmailAddress = options.contains(u"EmailAddress");
        page.EmailSubject = options.contains(u"EmailSubject");
        const QString html = GetFormHTML(page, testOptions().maker);
        const QString redirect = QStringLiteral("NAME=\"redirect\" VALUE=\"\">\r\n");
        const qsizetype from = html.indexOf(redirect) + redirect.size();
        QCOMPARE(html.mid(from, html.indexOf(QStringLiteral("<TABLE")) - from), hidden);
    }

    void valuesWrittenAsTyped()
    {
        TPagelette page;
        page.Email = QStringLiteral("a@b.test");
        page.Subject = QStringLiteral("100% %1 <b>");
        page.Redirect = QStringLiteral("http://r.test/?a=1&b=2");
        const QString html = GetFormHTML(page, testOptions().maker);
        QVERIFY(html.contains(QStringLiteral("NAME=\"recipient\" VALUE=\"a@b.test\">")));
        QVERIFY(html.contains(QStringLiteral("NAME=\"subject\" VALUE=\"100% %1 <b>\">")));
        QVERIFY(html.contains(QStringLiteral("NAME=\"redirect\" VALUE=\"http://r.test/?a=1&b=2\">")));
    }

    void borderTitleAndFooter()
    {
        TPagelette page;
        page.Border = true;
        page.FormTitle = QStringLiteral("Write us");
        page.FormFooter = true;
        page.Email = QStringLiteral("me@x.test");
        const QString html = GetFormHTML(page, testOptions().maker);
        const QString table = html.mid(html.indexOf(QStringLiteral("<TABLE")));
        QCOMPARE(table, QStringLiteral(
                            "<TABLE CELLPADDING=2 WIDTH=100% BORDER=1>\r\n"
                            "<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=5><B>Write us</B></FONT></TD></TR>\r\n"
                            "<TR><TD COLSPAN=2><INPUT TYPE=\"SUBMIT\">&nbsp;&nbsp;<INPUT TYPE=\"RESET\"></TD></TR>\r\n"
                            "<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=\"2\"><I>If you have any problems, please send "
                            "an e-mail to <a href=\"mailto:me@x.test\">me@x.test</a>.</I></FONT></TD></TR>\r\n"
                            "</TABLE></FORM>"));
    }
};

VENDRIX_TEST(TestFormHtml)
#include "tst_formhtml.moc"
