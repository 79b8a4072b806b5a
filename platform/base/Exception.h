#pragma once
// Base of the program's error kinds. Every failure the program raises derives from it, so the
// event guard (Application) can show its text in the standard error box.
#include <QString>
#include <exception>
#include <string>

class Exception : public std::exception
{
public:
    explicit Exception(QString message) : Message(std::move(message)), utf8(Message.toStdString())
    {
    }
    const char *what() const noexcept override { return utf8.c_str(); }

    QString Message;

private:
    std::string utf8;
};

// Raised by conversions and the profile file when text or a write is refused.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

class EIniFileException : public Exception
{
public:
    using Exception::Exception;
};

// File-system failures (folder creation, file writes) raised by platform helpers.
class EInOutError : public Exception
{
public:
    using Exception::Exception;
};
