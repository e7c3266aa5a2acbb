#pragma once

#include "platform/Prompts.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

// Records every prompt and answers from a script. A prompt that the script does not answer
// gets OK (message), the default text (input) or a plain close (dialog), and is recorded as
// unscripted, so that a test never waits for a person.
class FakePrompts : public Prompts {
public:
    struct Shown {
        enum Kind { Message, Input, Dialog } kind;
        QString text;  // message text, input prompt or dialog class name
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        std::optional<QString> title;
        QString defaultText;
    };

    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                         const std::optional<QString>& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    void showModal(QDialog& dialog) override;
    void setWaitPointer(bool on) override;

    // Scripted answers, used in order.
    void answerMessage(PromptAnswer answer) { m_messageAnswers.push_back(answer); }
    void answerInput(const QString& text) { m_inputAnswers.push_back(text); }
    void answerDialog(std::function<void(QDialog&)> handler) {
        m_dialogHandlers.push_back(std::move(handler));
    }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList messageTexts() const;
    // Every prompt shown, one line each: "icon|title|text" ("-" for no title), dialogs as
    // "dialog|class name".
    QStringList describe() const;
    void clear() { m_shown.clear(); }
    int waitDepth() const { return m_waitDepth; }
    int unscripted() const { return m_unscripted; }

private:
    QList<Shown> m_shown;
    std::deque<PromptAnswer> m_messageAnswers;
    std::deque<QString> m_inputAnswers;
    std::deque<std::function<void(QDialog&)>> m_dialogHandlers;
    int m_waitDepth = 0;
    int m_unscripted = 0;
};
