#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QObject>

class QWidget;

// The window's commands run one at a time. A message or input box runs its own event loop,
// and so does nothing else: a button's access key clicks after a short delay, and a shortcut
// typed before the box appeared is matched while the window still has the focus. Without
// this guard such a click or shortcut would start a second command inside the first one,
// which then goes on with lists the second has changed.
//
// While the guard is held (a box of the editor is open, or the keepsake file is being read)
// the command sources send nothing and the window's own shortcuts are dropped; the keys of
// the box itself are left alone.
class CommandGuard : public QObject {
    Q_OBJECT

public:
    explicit CommandGuard(QWidget* window);

    // A button or menu action whose signal starts a command.
    void addSource(QObject* source);
    bool busy() const { return m_depth > 0; }

    void hold();
    void release();

    class Hold {
    public:
        explicit Hold(CommandGuard& guard) : m_guard(guard) { m_guard.hold(); }
        ~Hold() { m_guard.release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        CommandGuard& m_guard;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(const QObject* object) const;

    QWidget* m_window;
    QList<QObject*> m_sources;
    QList<bool> m_wasBlocked;
    int m_depth = 0;
};

// The prompts of the window: every box holds the command guard while it is open.
class GuardedPrompts : public Prompts {
public:
    GuardedPrompts(Prompts& inner, CommandGuard& guard) : m_inner(inner), m_guard(guard) {}

    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                         const std::optional<QString>& title) override {
        const CommandGuard::Hold busy(m_guard);
        return m_inner.message(text, icon, buttons, title);
    }
    QString input(const QString& prompt, const QString& title,
                  const QString& defaultText) override {
        const CommandGuard::Hold busy(m_guard);
        return m_inner.input(prompt, title, defaultText);
    }
    void showModal(QDialog& dialog) override {
        const CommandGuard::Hold busy(m_guard);
        m_inner.showModal(dialog);
    }
    void setWaitPointer(bool on) override { m_inner.setWaitPointer(on); }

private:
    Prompts& m_inner;
    CommandGuard& m_guard;
};
