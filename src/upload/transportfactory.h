#pragma once

#include "upload/publishtransport.h"

#include <functional>
#include <memory>

class PassphrasePrompt;
struct ServerProfile;

// Makes the transport a profile asks for. Tests hand the run their own maker.
using TransportFactory = std::function<std::unique_ptr<PublishTransport>(const ServerProfile &)>;

namespace Transports {

// An SFTP login with an encrypted key file fails here: there is no one to ask.
std::unique_ptr<PublishTransport> forProfile(const ServerProfile &profile);
// The transports of a window, which asks for the passphrase of an encrypted key file
// through prompt (it must outlive them).
TransportFactory asking(PassphrasePrompt &prompt);

}
