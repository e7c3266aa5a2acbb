// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/CollectionInstance.h"
#include "app/CommandLine.h"
#include "app/Refile.h"
#include "collection/CollectionFolder.h"
#include "platform/ProcessLauncher.h"
#include "platform/QtPrompts.h"
#include "platform/ToolkitTranslation.h"
#include "platform/X11WindowList.h"

#include <QApplication>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    // Read before the application object exists: --help and --version need no display.
    const CommandLine line = parseCommandLine(argumentsOf(argc, argv));
    if (line.action != CommandLine::Action::Run) {
        std::fputs(line.text.toLocal8Bit().constData(),
                   line.action == CommandLine::Action::Refuse ? stderr : stdout);
        return line.action == CommandLine::Action::Refuse ? 1 : 0;
    }

    QApplication app(argc, argv);
    // The window class and the desktop entry carry the application id, so the desktop
    // matches the window with its menu entry; message boxes keep the program's title.
    QApplication::setApplicationName(collection::kAppId);
    QGuiApplication::setDesktopFileName(collection::kAppId);
    if (QString missing; !installToolkitTranslation(app, &missing))
        qWarning("%s cannot be loaded: dialog buttons stay untranslated", qPrintable(missing));

    QtPrompts prompts;
    const collection::Choice choice =
        collection::choose(line.folder, QCoreApplication::applicationDirPath());
    if (!choice.gone.isEmpty()) {
        prompts.information(QStringLiteral("[") + choice.gone +
                            QStringLiteral("]が見つかりません。[") + choice.folder +
                            QStringLiteral("]を開きます。"));
    }
    if (QString error; choice.source == collection::Source::Default &&
                       !collection::prepareDefault(choice.folder, &error)) {
        prompts.critical(QStringLiteral("[") + choice.folder +
                         QStringLiteral("]を作成できませんでした。\n") + error);
        return 1;
    }
    if (QString error; !collection::remember(choice.folder, &error))
        qWarning("keepsake-editor: the collection is not recorded: %s", qPrintable(error));

    // One editor per collection: a second start brings the first one's window forward.
    CollectionInstance instance(choice.folder);
    if (instance.handOver())
        return 0;

    X11WindowList windows;
    ProcessLauncher launcher;
    Refile window(Platform{prompts, windows, launcher});
    prompts.setParentWindow(&window);
    QObject::connect(&instance, &CollectionInstance::raiseRequested, &window,
                     [&window] { CollectionInstance::bringToFront(&window); });
    if (!window.Load(choice.folder))
        return 1;
    window.show();
    return QApplication::exec();
}
