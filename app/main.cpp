#include "platform/Application.h"

int main(int argc, char **argv)
{
    Application app(argc, argv);
    app.setApplicationName(QStringLiteral("ルミナード"));
    return 0;
}
