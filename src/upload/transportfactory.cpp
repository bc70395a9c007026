#include "transportfactory.h"

#include "upload/ftptransport.h"
#include "upload/profilestore.h"

namespace Transports {

std::unique_ptr<PublishTransport> forProfile(const ServerProfile &profile)
{
    return std::make_unique<FtpTransport>(profile);
}

}
