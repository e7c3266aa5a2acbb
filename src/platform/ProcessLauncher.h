#pragma once

#include "platform/Launcher.h"

// Starts programs detached with QProcess (no shell) and opens documents with the desktop's
// default viewer.
class ProcessLauncher : public Launcher {
public:
    bool startProgram(const QString& program, const QStringList& arguments) override;
    bool openDocument(const QString& path) override;
};
