#include "platform/base/Application.h"

#include "platform/base/Abort.h"
#include "platform/base/Dialogs.h"
#include "platform/base/Exception.h"

#include <QLibraryInfo>
#include <QTranslator>

static void initResources()
{
    // The pictures live in this static library; pull them in explicitly.
    Q_INIT_RESOURCE(tovela);
}

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    initResources();
    // Wayland compositors and task bars match the window to its launcher and icon by this name.
    setDesktopFileName(QStringLiteral(TOVELA_APP_ID));

    // Every user-visible text is Japanese, whatever the desktop's language: Qt's own strings
    // (the standard buttons "キャンセル", "はい", the input and folder dialogs) come from its
    // Japanese translation. Without the file installed they stay English, nothing else breaks.
    auto *translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void showError(const std::exception &e)
{
    QString text;
    if (auto *sys = dynamic_cast<const Exception *>(&e))
        text = sys->Message;
    else
        text = QString::fromLocal8Bit(e.what());
    Dialogs().ShowError(text);
}

bool guarded(const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const EAbort &) {
        // silent by design
    } catch (const std::exception &e) {
        showError(e);
    } catch (...) {
        Dialogs().ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}
