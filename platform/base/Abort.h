#pragma once
// The silent abort: raised to abandon an operation without a message. The event guard shows
// no box for it.
#include "platform/base/Exception.h"

class EAbort : public Exception
{
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};
