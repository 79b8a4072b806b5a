#pragma once
// The error kinds of the HTTP client. Callers tell a failed connection (EIdSocketError) from
// a reply with an error status (EIdHTTPProtocolException); everything else is EIdException.
#include "platform/base/Exception.h"

#include <QByteArray>

// Any failure of the HTTP client; CurlCode is libcurl's result (0 when not from libcurl).
class EIdException : public Exception
{
public:
    EIdException(QString message, int curlCode = 0)
        : Exception(std::move(message)), CurlCode(curlCode)
    {
    }
    int CurlCode;
};

// The network connection itself failed: host not found, refused, reset, sending or receiving
// broke off, or a time-out.
class EIdSocketError : public EIdException
{
public:
    using EIdException::EIdException;
};

// The transfer was stopped by the caller's progress hook.
class EIdTransferAborted : public EIdException
{
public:
    using EIdException::EIdException;
};

// The service answered with a status outside 200-299. ErrorMessage holds the reply body.
class EIdHTTPProtocolException : public EIdException
{
public:
    EIdHTTPProtocolException(QString message, int errorCode, QByteArray errorMessage)
        : EIdException(std::move(message)), ErrorCode(errorCode),
          ErrorMessage(std::move(errorMessage))
    {
    }
    int ErrorCode;
    QByteArray ErrorMessage;
};
