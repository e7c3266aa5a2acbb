#include "app/Refile.h"
#include "platform/InstanceLock.h"
#include "platform/ProcessLauncher.h"
#include "platform/QtPrompts.h"
#include "platform/ToolkitTranslation.h"
#include "platform/X11WindowList.h"

#include <QApplication>

int main(int argc, char** argv) {
    // An earlier instance is running: end at once, before any window exists.
    X11WindowList windows;
    if (windows.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR")))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    if (QString missing; !installToolkitTranslation(app, &missing))
        qWarning("%s cannot be loaded: dialog buttons stay untranslated", qPrintable(missing));
    // Also an editor still asking for its companion's folder, which has no window yet.
    const InstanceLock lock(QCoreApplication::applicationDirPath() + u'/');
    if (lock.heldByAnother())
        return 0;
    QtPrompts prompts;
    ProcessLauncher launcher;
    Refile window(Platform{prompts, windows, launcher});
    prompts.setParentWindow(&window);
    if (!window.Load(QCoreApplication::applicationDirPath()))
        return 1;
    window.show();
    return QApplication::exec();
}
