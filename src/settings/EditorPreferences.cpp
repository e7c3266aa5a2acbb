#include "settings/EditorPreferences.h"

#include <QSettings>
#include <QStandardPaths>

namespace preferences {

namespace {
const QString kHideFiled = QStringLiteral("view/hideFiled");
}

QString filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/keepsake-editor/keepsake-editor.conf");
}

bool hideFiled() {
    const QSettings file(filePath(), QSettings::IniFormat);
    return file.value(kHideFiled, false).toBool();
}

bool setHideFiled(bool hide, QString* error) {
    QSettings file(filePath(), QSettings::IniFormat);
    file.setValue(kHideFiled, hide);
    file.sync();
    if (file.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QStringLiteral("[") + filePath() + QStringLiteral("]に書き込めませんでした。");
    return false;
}

}  // namespace preferences
