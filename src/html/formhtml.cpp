// One allocation per concatenated expression: the builders join many short pieces.
#define QT_USE_QSTRINGBUILDER

#include "formhtml.h"

#include "htmltext.h"

#include "model/routines.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

using HtmlText::attribute;

QString plainFieldName(const QString &name)
{
    return HtmlText::asciiLower(Routines::ReplaceText(name, QStringLiteral("_"), QStringLiteral(" "), 1));
}

// Ready for its NAME attribute.
QString htmlFieldName(const QString &name)
{
    return attribute(plainFieldName(name));
}

QString hiddenField(const char *name, const QString &value)
{
    return QStringLiteral("<INPUT TYPE=\"HIDDEN\" NAME=\"") + QLatin1StringView(name) + QStringLiteral("\" VALUE=\"")
           + attribute(value) + QStringLiteral("\">\r\n");
}

// The hidden field of a comma-separated list, without a leading comma; nothing for an
// empty list.
QString listField(const char *name, QString list)
{
    if (list.isEmpty())
        return QString();
    if (list.startsWith(u','))
        list.remove(0, 1);
    return hiddenField(name, list);
}

// Radio buttons share the field's name; each check box gets the field's name and its
// own shown text, so the mail lists every ticked box separately.
QString choiceControls(const TFormElement &field)
{
    QString k = kCrLf;
    const QString type = FieldTypeName(field.FieldKind);
    const QString radioName = htmlFieldName(field.Name);
    for (const QString &line : field.Strings) {
        const std::optional<FieldOption> option = FieldOption::parse(line, true);
        if (!option)
            continue;
        const QString name = field.FieldKind == fkRadio ? radioName : htmlFieldName(field.Name + u'_' + option->text);
        k += QStringLiteral("<INPUT TYPE=\"") + type + QStringLiteral("\" NAME=\"") + name + QStringLiteral("\" VALUE=\"")
             + attribute(option->value) + u'"' + (option->selected() ? QStringLiteral(" CHECKED") : QString())
             + QStringLiteral("> ") + option->text + QStringLiteral("<BR>\r\n");
    }
    return k;
}

QString dropDownControl(const TFormElement &field)
{
    QString options = QStringLiteral("\r\n<OPTION VALUE=\"\">Select\r\n<OPTION VALUE=\"\">----------\r\n");
    for (const QString &line : field.Strings) {
        if (const std::optional<FieldOption> option = FieldOption::parse(line, false))
            options += QStringLiteral("<OPTION VALUE=\"") + attribute(option->value) + QStringLiteral("\">") + option->text
                       + kCrLf;
    }
    return QStringLiteral("<SELECT NAME=\"") + htmlFieldName(field.Name) + QStringLiteral("\">") + options
           + QStringLiteral("</SELECT>");
}

QString control(const TFormElement &field)
{
    switch (field.FieldKind) {
    case fkText:
        return QStringLiteral("<INPUT NAME=\"") + htmlFieldName(field.Name) + QStringLiteral("\" VALUE=\"")
               + attribute(field.Value) + QStringLiteral("\" SIZE=\"") + attribute(field.StringsValue(u"Size"))
               + QStringLiteral("\">");
    case fkTextArea:
        return QStringLiteral("<TEXTAREA COLS=\"") + attribute(field.StringsValue(u"Cols")) + QStringLiteral("\" ROWS=\"")
               + attribute(field.StringsValue(u"Rows")) + QStringLiteral("\" NAME=\"") + htmlFieldName(field.Name)
               + QStringLiteral("\" WRAP=\"VIRTUAL\"></TEXTAREA>");
    case fkRadio:
    case fkCheckBox: return choiceControls(field);
    case fkDropDown: return dropDownControl(field);
    case fkButton: break;
    }
    return QString();
}

}

QString GetHTML(const TWebForm &form)
{
    QString rows;
    for (int i = 0; i < form.Count(); ++i) {
        const TFormElement &field = form.Items(i);
        const QString label = Routines::ReplaceText(field.Text, QStringLiteral("<BR>"), kCrLf, 2);
        rows += QStringLiteral("<TR><TD WIDTH=30% VALIGN=TOP>") + label + QStringLiteral("</TD><TD WIDTH=70% VALIGN=TOP>")
                + control(field) + QStringLiteral("</TD></TR>\r\n");
    }
    return rows;
}

QStringList FieldControlNames(const TFormElement &field)
{
    switch (field.FieldKind) {
    case fkButton: return {};
    case fkCheckBox: {
        QStringList names;
        for (const QString &line : field.Strings) {
            if (const std::optional<FieldOption> option = FieldOption::parse(line, true))
                names.append(plainFieldName(field.Name + u'_' + option->text));
        }
        return names;
    }
    default: return {plainFieldName(field.Name)};
    }
}

QString GetFormHTML(const TPagelette &page, const MakerConfig &maker)
{
    QString hidden = hiddenField("recipient", page.Email) + hiddenField("subject", page.Subject)
                     + hiddenField("redirect", page.Redirect);
    if (page.AlphaSort)
        hidden += hiddenField("sort", QStringLiteral("alphabetic"));
    if (page.BlankFields)
        hidden += hiddenField("print_blank_fields", QStringLiteral("1"));

    QString report;
    if (page.BrowserUsed)
        report = QStringLiteral("HTTP_USER_AGENT");
    if (page.HostName)
        report += QStringLiteral(",REMOTE_HOST");
    if (page.EnvReport)
        report += QStringLiteral(",REMOTE_ADDR");
    hidden += listField("env_report", report);

    QString print;
    if (page.EmailAddress)
        print = QStringLiteral("email");
    if (page.EmailSubject)
        print += QStringLiteral(",subject");
    hidden += listField("print_config", print);

    const QString border = page.Border ? QStringLiteral(" BORDER=1") : QString();
    const QString title = page.FormTitle.isEmpty()
                              ? QString()
                              : QStringLiteral("\r\n<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=5><B>")
                                    + page.FormTitle + QStringLiteral("</B></FONT></TD></TR>");
    const QString footer
        = page.FormFooter
              ? QStringLiteral("\r\n<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=\"2\"><I>If you have any problems, "
                               "please send an e-mail to <a href=\"mailto:")
                    + attribute(page.Email) + QStringLiteral("\">") + page.Email
                    + QStringLiteral("</a>.</I></FONT></TD></TR>\r\n")
              : QString();

    return QStringLiteral("<FORM ACTION=\"") + maker.formMailUrl() + QStringLiteral("\" METHOD=\"POST\">\r\n") + hidden
           + QStringLiteral("<TABLE CELLPADDING=2 WIDTH=100%") + border + u'>' + title + kCrLf + GetHTML(page.WebForm())
           + QStringLiteral("<TR><TD COLSPAN=2><INPUT TYPE=\"SUBMIT\">&nbsp;&nbsp;<INPUT TYPE=\"RESET\"></TD></TR>")
           + footer + QStringLiteral("</TABLE></FORM>");
}
