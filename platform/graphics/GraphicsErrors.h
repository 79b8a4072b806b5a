#pragma once
// Error kinds of the picture classes. Every failure to read or convert a picture is an
// EInvalidGraphic (or derives from it), so a caller that treats pictures as optional catches
// one kind.
#include "platform/base/Exception.h"

class EInvalidGraphic : public Exception
{
public:
    using Exception::Exception;
};

// Raised by the JPEG decoder; carries libjpeg's own message text.
class EJPEG : public EInvalidGraphic
{
public:
    using EInvalidGraphic::EInvalidGraphic;
};
