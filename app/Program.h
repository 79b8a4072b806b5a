#pragma once
// The program's four windows, created in their fixed order and alive until the end.
#include <QString>
#include <memory>

class TForm1;
class TForm2;
class TForm3;
class TLoginDialog;

class TProgram
{
public:
    // serviceHost ("http://host:port") replaces the built-in service host when not empty.
    explicit TProgram(const QString &serviceHost = QString());
    ~TProgram();

    std::unique_ptr<TLoginDialog> LoginDialog;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;
};
