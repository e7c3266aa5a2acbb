#pragma once

#include <QString>
#include <QStringList>

// The top-level windows of the desktop, by title.
class WindowList {
public:
    virtual ~WindowList() = default;

    // The titles of all top-level windows, hidden ones too, in the window system's order.
    virtual QStringList topLevelTitles() = 0;

    // Is there a top-level window titled exactly `title`?
    virtual bool hasWindowTitled(const QString& title) { return topLevelTitles().contains(title); }
};
