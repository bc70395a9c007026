#pragma once

#include "upload/publishtransport.h"

#include <functional>
#include <memory>

struct ServerProfile;

// Makes the transport a profile asks for. Tests hand the run their own maker.
using TransportFactory = std::function<std::unique_ptr<PublishTransport>(const ServerProfile &)>;

namespace Transports {

std::unique_ptr<PublishTransport> forProfile(const ServerProfile &profile);

}
