#pragma once

#include "model/errors.h"

#include <QAbstractSocket>
#include <QHostInfo>

// A request the FTP client refuses to start ("FTP component not ready", ...).
class FtpException : public VendrixError
{
public:
    using VendrixError::VendrixError;
};

// A socket operation that cannot start ("Connect: No Port Specified").
class SocketException : public VendrixError
{
public:
    using VendrixError::VendrixError;
};

// The client reports socket failures with the classic Windows Sockets error numbers,
// which is what users and stored messages know them by.
namespace WinsockErrors {

enum : int {
    WSAEACCES = 10013,
    WSAEINVAL = 10022,
    WSAEMSGSIZE = 10040,
    WSAEOPNOTSUPP = 10045,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETUNREACH = 10051,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
};

// "Host not found" for 11001, "No Error" for 0, "Not a WinSock error" for unknown numbers.
QString description(int error);

// "500 Host not found (Winsock error #11001)": the text a failed lookup or connect leaves.
QString failureText(int error);

int fromSocketError(QAbstractSocket::SocketError error);
int fromHostInfoError(QHostInfo::HostInfoError error);

}
