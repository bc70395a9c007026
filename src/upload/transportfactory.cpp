#include "transportfactory.h"

#include "upload/ftptransport.h"
#include "upload/profilestore.h"
#include "upload/sftptransport.h"

namespace Transports {

namespace {

std::unique_ptr<PublishTransport> make(const ServerProfile &profile, PassphrasePrompt *prompt)
{
    if (profile.Protocol == TransferProtocol::Sftp)
        return std::make_unique<SftpTransport>(profile, prompt);
    return std::make_unique<FtpTransport>(profile);
}

}

std::unique_ptr<PublishTransport> forProfile(const ServerProfile &profile)
{
    return make(profile, nullptr);
}

TransportFactory asking(PassphrasePrompt &prompt)
{
    return [&prompt](const ServerProfile &profile) { return make(profile, &prompt); };
}

}
