#include "commandline.h"

#include "checks/imagereaderinspector.h"
#include "checks/pagechecker.h"
#include "html/htmlcopies.h"
#include "model/documents.h"
#include "model/errors.h"
#include "model/pagelette.h"
#include "platform/desktopkeychain.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "upload/certificatefingerprint.h"
#include "upload/hostkeyfingerprint.h"
#include "upload/profilestore.h"
#include "upload/publishrecord.h"
#include "upload/uploadlist.h"
#include "upload/uploadrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <optional>

namespace CommandLine {

namespace {

QString duplicateNameMessage() { return QStringLiteral("There is already a server profile with this name."); }

// Options of the form "--name VALUE" and "--flag"; anything else is a usage error.
struct Options
{
    QHash<QString, QString> values;
    QSet<QString> flags;

    bool parse(const QStringList &arguments, const QStringList &valueOptions, const QStringList &flagOptions, QTextStream &err)
    {
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString &a = arguments[i];
            if (valueOptions.contains(a)) {
                if (i + 1 >= arguments.size()) {
                    err << "vendrix: " << a << " needs a value\n";
                    return false;
                }
                values.insert(a, arguments[++i]);
            } else if (flagOptions.contains(a)) {
                flags.insert(a);
            } else {
                err << "vendrix: unexpected argument " << a << "\n";
                return false;
            }
        }
        return true;
    }
};

// Answers the run's boxes on the console: messages are printed, and the question about
// a missing remote directory is answered from the command line. It says yes at most
// once, since a second question means that making the directory failed, and a yes
// would only repeat the failing attempt for ever.
class ConsolePrompter : public Prompter
{
public:
    ConsolePrompter(QTextStream &out, QTextStream &err, bool createDirectory, std::function<void()> beforeEachBox)
        : mOut(out), mErr(err), mCreate(createDirectory), mBeforeEachBox(std::move(beforeEachBox))
    {
    }

    Button ask(Kind kind, const QString &text, Buttons buttons, int) override
    {
        mBeforeEachBox();
        if (buttons.testFlag(Yes)) {
            const Button answer = mCreate && !mAnswered ? Yes : No;
            mAnswered = true;
            mOut << text << (answer == Yes ? " yes" : " no") << Qt::endl;
            return answer;
        }
        (kind == Kind::Information ? mOut : mErr) << text << Qt::endl;
        return buttons.testFlag(Ok) ? Ok : Cancel;
    }
    void beep() override {}

private:
    QTextStream &mOut;
    QTextStream &mErr;
    bool mCreate;
    std::function<void()> mBeforeEachBox;
    bool mAnswered = false;
};

// Prints the run's status lines. Progress comes before every block of every file, so
// only its last figure per file and one line a second are printed.
class StatusPrinter
{
public:
    explicit StatusPrinter(QTextStream &out)
        : mOut(out)
    {
        mSincePrint.start();
    }

    void status(const QString &text)
    {
        const bool progress = text.startsWith(QStringLiteral("Transferring... ")) && text.endsWith(QStringLiteral(" bytes"));
        if (!progress) {
            flush();
            mOut << text << Qt::endl;
            return;
        }
        if (text == QStringLiteral("Transferring... 0 bytes"))
            flush();
        mPending = text;
        if (mSincePrint.elapsed() >= 1000)
            flush();
    }

    void flush()
    {
        if (mPending.isEmpty())
            return;
        mOut << mPending << Qt::endl;
        mPending.clear();
        mSincePrint.restart();
    }

private:
    QTextStream &mOut;
    QString mPending;
    QElapsedTimer mSincePrint;
};

int publish(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!options.parse(arguments.mid(2), {QStringLiteral("--profile"), QStringLiteral("--data-dir")},
                       {QStringLiteral("--create-dir"), QStringLiteral("--verbose"), QStringLiteral("--force"),
                        QStringLiteral("--all"), QStringLiteral("--dry-run")},
                       err))
        return 2;
    const QString document = arguments.value(1);
    const QString profileOption = options.values.value(QStringLiteral("--profile"));
    if (document.isEmpty() || document.startsWith(u'-') || profileOption.isEmpty()) {
        err << "vendrix: --publish needs a document and --profile NAME\n";
        return 2;
    }
    if (UploadList::pageFileName(document).isEmpty()) {
        err << "vendrix: " << document << ": the document's file name needs an extension\n";
        return 2;
    }

    Settings settings;
    if (!settings.errorString().isEmpty()) {
        err << "vendrix: " << settings.errorString() << "\n";
        return 1;
    }
    DesktopKeychain keychain;
    ProfileStore profiles(settings, &keychain);
    const QString profile = profiles.findProfile(profileOption);
    if (profile.isEmpty()) {
        err << "vendrix: there is no server profile " << profileOption << "\n";
        return 1;
    }

    TPagelette page;
    QString error;
    if (!Documents::LoadDocument(document, page, &error)) {
        err << "vendrix: " << document << ": " << Documents::invalidDocumentMessage() << ' ' << error << "\n";
        return 1;
    }
    HtmlBuildOptions build;
    build.programFolder = ProgramFolder::resolve(options.values.value(QStringLiteral("--data-dir")),
                                                 QCoreApplication::applicationDirPath());
    const QList<PageCheck::Finding> findings = PageCheck::check(page, build.programFolder, ImageReaderInspector());
    printFindings(err, document, findings);
    if (PageCheck::hasErrors(findings) && !options.flags.contains(QStringLiteral("--force"))) {
        err << "vendrix: " << document << ": not published because of the errors above (--force publishes anyway)\n";
        return 1;
    }
    try {
        if (!HtmlCopies::writeUploadCopy(page, build, document, &error)) {
            err << "vendrix: " << HtmlCopies::uploadCopyPath(build.programFolder, document) << ": " << error << "\n";
            return 1;
        }
    } catch (const ListIndexError &) {
        err << "vendrix: " << document << ": Error Creating Web Page\n";
        return 1;
    } catch (const VendrixError &e) {
        err << "vendrix: " << document << ": " << e.message() << "\n";
        return 1;
    }

    StatusPrinter printer(out);
    ConsolePrompter prompter(out, err, options.flags.contains(QStringLiteral("--create-dir")), [&printer] { printer.flush(); });
    UploadRun run(prompter);
    // There is no one to ask here; trusting a certificate is a deliberate --set-profile.
    run.setCertificateQuestions(false);
    run.setFiles(UploadList::collect(page, build.programFolder, document));
    PublishRecord record(PublishRecord::pathIn(build.programFolder));
    run.setRecord(&record);
    run.setSendAll(options.flags.contains(QStringLiteral("--all")));
    run.setDryRun(options.flags.contains(QStringLiteral("--dry-run")));
    const bool verbose = options.flags.contains(QStringLiteral("--verbose"));
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&run, &UploadRun::statusChanged, &run, [&printer](const QString &text) { printer.status(text); });
    QObject::connect(&run, &UploadRun::pageReset, &loop, [&] {
        ended = true;
        loop.quit();
    });
    const auto print = [&printer, &out](const QString &line) {
        printer.flush();
        out << line << Qt::endl;
    };
    QObject::connect(&run, &UploadRun::fileReported, &run, print);
    QObject::connect(&run, &UploadRun::notice, &run, print);
    if (verbose || options.flags.contains(QStringLiteral("--dry-run")))
        QObject::connect(&run, &UploadRun::summaryChanged, &run, print);
    if (verbose)
        QObject::connect(&run, &UploadRun::trace, &run, print);
    run.send(profiles, profile);
    if (run.isLocked() && !ended)
        loop.exec();
    printer.flush();
    if (const std::optional<UntrustedIdentity> untrusted = run.untrustedIdentity()) {
        const bool hostKey = untrusted->kind == UntrustedIdentity::Kind::HostKey;
        err << "vendrix: if this is your server's " << (hostKey ? "host key" : "certificate") << ", trust it with: vendrix --set-profile \""
            << profile << "\" " << (hostKey ? "--trust-host-key " : "--trust-certificate ") << untrusted->fingerprint << "\n";
    }
    return run.transferCompleted() ? 0 : 1;
}

int listProfiles(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!options.parse(arguments.mid(1), {}, {QStringLiteral("--verbose")}, err))
        return 2;
    const bool verbose = options.flags.contains(QStringLiteral("--verbose"));
    Settings settings;
    if (!settings.errorString().isEmpty()) {
        err << "vendrix: " << settings.errorString() << "\n";
        return 1;
    }
    const ProfileStore profiles(settings);
    const QStringList names = profiles.ReadProfileNames();
    for (const QString &name : names) {
        out << name << '\n';
        if (!verbose)
            continue;
        // Everything but the password.
        const ServerProfile p = profiles.LoadProfile(name);
        out << "    Host: " << p.HostName << '\n'
            << "    Port: " << p.Port << '\n'
            << "    User: " << p.UserName << '\n'
            << "    Directory: " << p.InitialDir << '\n';
        if (p.Protocol == TransferProtocol::Sftp) {
            out << "    Protocol: SFTP\n";
            if (!p.KeyFile.isEmpty())
                out << "    Key file: " << p.KeyFile << '\n';
            if (!p.TrustedHostKey.isEmpty())
                out << "    Host key: " << p.TrustedHostKey << '\n';
        } else {
            out << "    Mode: " << (p.Passive ? "passive" : "active") << '\n'
                << "    Security: " << (p.Security == ftpSecurityTLS ? "TLS" : "none");
            if (!p.TrustedCertificate.isEmpty())
                out << " (trusted certificate " << p.TrustedCertificate << ')';
            out << '\n';
        }
        out << "    Timeout: " << p.Timeout << " s\n";
    }
    return 0;
}

// Exactly one of the two flags, or neither (then *value is left as it is); false
// when both are given.
bool pickFlag(const Options &options, const char *on, const char *off, bool *value, QTextStream &err)
{
    const bool yes = options.flags.contains(QLatin1StringView(on));
    const bool no = options.flags.contains(QLatin1StringView(off));
    if (yes && no) {
        err << "vendrix: " << on << " and " << off << " exclude each other\n";
        return false;
    }
    if (yes || no)
        *value = yes;
    return true;
}

// Sets the values the options give; 2 (with the reason on err) for a value that is no
// good, else 0.
int applyProfileOptions(const Options &options, ServerProfile &fields, QTextStream &err)
{
    const auto set = [&options](const char *option, QString *value) {
        const auto found = options.values.constFind(QLatin1StringView(option));
        if (found != options.values.cend())
            *value = *found;
    };
    bool sftp = fields.Protocol == TransferProtocol::Sftp;
    if (!pickFlag(options, "--sftp", "--ftp", &sftp, err))
        return 2;
    const TransferProtocol protocol = sftp ? TransferProtocol::Sftp : TransferProtocol::Ftp;
    // A port left at the other protocol's usual one follows the protocol.
    if (protocol != fields.Protocol && fields.Port == ServerProfile::defaultPort(fields.Protocol))
        fields.Port = ServerProfile::defaultPort(protocol);
    fields.Protocol = protocol;
    set("--host", &fields.HostName);
    set("--port", &fields.Port);
    set("--key-file", &fields.KeyFile);
    // The profile is used from anywhere later.
    if (!fields.KeyFile.isEmpty())
        fields.KeyFile = QFileInfo(fields.KeyFile).absoluteFilePath();
    set("--user", &fields.UserName);
    set("--dir", &fields.InitialDir);
    bool tls = fields.Security == ftpSecurityTLS;
    if (!pickFlag(options, "--passive", "--active", &fields.Passive, err) || !pickFlag(options, "--tls", "--no-tls", &tls, err))
        return 2;
    fields.Security = tls ? ftpSecurityTLS : ftpSecurityNone;
    if (options.values.contains(QStringLiteral("--trust-certificate"))) {
        const QString given = options.values.value(QStringLiteral("--trust-certificate"));
        fields.TrustedCertificate = CertificateFingerprint::normalized(given);
        if (fields.TrustedCertificate.isEmpty() && !given.isEmpty()) {
            err << "vendrix: --trust-certificate needs the certificate's SHA-256 fingerprint (64 hexadecimal digits), "
                   "or an empty text to trust none\n";
            return 2;
        }
    }
    if (options.values.contains(QStringLiteral("--trust-host-key"))) {
        const QString given = options.values.value(QStringLiteral("--trust-host-key"));
        fields.TrustedHostKey = HostKeyFingerprint::normalized(given);
        if (fields.TrustedHostKey.isEmpty() && !given.isEmpty()) {
            err << "vendrix: --trust-host-key needs the host key's SHA-256 fingerprint (SHA256: and 43 characters, as "
                   "ssh-keygen -l shows it), or an empty text to trust none\n";
            return 2;
        }
    }
    if (options.values.contains(QStringLiteral("--timeout"))) {
        bool ok = false;
        const int seconds = options.values.value(QStringLiteral("--timeout")).toInt(&ok);
        if (!ok || seconds < 1 || seconds > ServerProfile::maximumTimeout) {
            err << "vendrix: --timeout needs a number of seconds from 1 to " << ServerProfile::maximumTimeout << "\n";
            return 2;
        }
        fields.Timeout = seconds;
    }
    return 0;
}

int setProfile(const QStringList &arguments, QTextStream &, QTextStream &err)
{
    Options options;
    if (!options.parse(arguments.mid(2),
                       {QStringLiteral("--host"), QStringLiteral("--port"), QStringLiteral("--user"), QStringLiteral("--dir"),
                        QStringLiteral("--trust-certificate"), QStringLiteral("--timeout"), QStringLiteral("--key-file"),
                        QStringLiteral("--trust-host-key")},
                       {QStringLiteral("--password-stdin"), QStringLiteral("--passive"), QStringLiteral("--active"),
                        QStringLiteral("--tls"), QStringLiteral("--no-tls"), QStringLiteral("--sftp"), QStringLiteral("--ftp")},
                       err))
        return 2;
    const QString name = arguments.value(1);
    if (!ProfileNames::isValid(name)) {
        err << "vendrix: " << ProfileNames::invalidNameMessage() << "\n";
        return 2;
    }

    // Usage errors are found before anything is read or locked.
    ServerProfile checked;
    if (const int usage = applyProfileOptions(options, checked, err); usage != 0)
        return usage;
    std::optional<QString> password;
    if (options.flags.contains(QStringLiteral("--password-stdin"))) {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            err << "vendrix: cannot read the password from standard input\n";
            return 1;
        }
        // One line, however much follows (a device without end has no first line).
        QByteArray line = input.readLine(64 * 1024);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        password = QString::fromUtf8(line);
    }

    Settings settings;
    DesktopKeychain keychain;
    ProfileStore profiles(settings, &keychain);
    QString duplicate;
    // The lookup, the load and the save are one step for other programs: a profile
    // that another --set-profile writes meanwhile is neither lost nor overwritten.
    const bool saved = profiles.update([&] {
        // Names are unique without regard to letter case. The same name changes the
        // profile: only the values given are replaced. A new profile starts from what
        // the profile editor's Add starts from.
        const QString existing = profiles.findProfile(name);
        if (!existing.isEmpty() && existing != name) {
            duplicate = existing;
            return false;
        }
        ServerProfile fields = existing.isEmpty() ? ServerProfile::newProfile() : profiles.LoadProfile(name);
        fields.ProfileName = name;
        applyProfileOptions(options, fields, err);
        if (password) {
            fields.Password = *password;
            fields.PasswordInKeychain = false;
        }
        return profiles.SaveProfile(fields);
    });
    if (!duplicate.isEmpty()) {
        err << "vendrix: " << duplicateNameMessage() << " (" << duplicate << ")\n";
        return 1;
    }
    if (!saved) {
        err << "vendrix: " << profiles.errorString() << "\n";
        return 1;
    }
    if (!profiles.notice().isEmpty())
        err << "vendrix: " << profiles.notice() << " (" << settings.fileName() << ")\n";
    return 0;
}

}

const Command uploadCommands[] = {
    {"--publish", "--publish FILE --profile NAME [...]",
     "Check a document (as --check), write its upload copy and publish it with its\n"
     "                                     pictures; errors stop it unless --force. Only files that\n"
     "                                     changed since the last publish are sent (--all: every file);\n"
     "                                     --dry-run shows what would be sent without sending it;\n"
     "                                     also --create-dir (make a missing remote directory),\n"
     "                                     --data-dir DIR, --verbose (show the FTP or SFTP dialogue)",
     publish, true},
    {"--profiles", "--profiles [--verbose]",
     "List the server profiles; --verbose adds each one's settings but the password", listProfiles},
    {"--set-profile", "--set-profile NAME [OPTIONS]",
     "Create a server profile or change the values given; OPTIONS: --host H,\n"
     "                                     --port P (default 21, SFTP 22), --user U, --password-stdin, --dir D,\n"
     "                                     --timeout SECONDS (default 30); FTP: --passive (default) or\n"
     "                                     --active, --tls (default) or --no-tls, --trust-certificate\n"
     "                                     SHA256 (a certificate that fails verification); --sftp (or\n"
     "                                     back to --ftp), --key-file FILE (else the SSH agent and the\n"
     "                                     password), --trust-host-key SHA256:... (the server's host key)",
     setProfile},
};
const int uploadCommandCount = int(std::size(uploadCommands));

}
