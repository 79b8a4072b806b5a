#pragma once
// Base of the stand-in's own failures: the data folder and its lock. main reports the text and
// ends the process; a failure inside a request becomes a 500 answer.
#include <QString>
#include <stdexcept>

namespace service
{

class EServiceError : public std::runtime_error
{
public:
    explicit EServiceError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

} // namespace service
