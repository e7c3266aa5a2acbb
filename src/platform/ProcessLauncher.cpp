#include "platform/ProcessLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool ProcessLauncher::startProgram(const QString& program, const QStringList& arguments) {
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        return false;
    return QProcess::startDetached(info.absoluteFilePath(), arguments, info.absolutePath());
}

bool ProcessLauncher::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
