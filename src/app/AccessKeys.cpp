// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/AccessKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>

namespace accesskeys {

char16_t katakanaOf(char16_t halfWidthKana) {
    const QChar kana(halfWidthKana);
    if (kana.decompositionTag() != QChar::Narrow)
        return halfWidthKana;
    const QString wide = kana.decomposition();
    return wide.size() == 1 ? wide.front().unicode() : halfWidthKana;
}

bool isKanaKey(int qtKey, char16_t halfWidthKana) {
    return qtKey == halfWidthKana || qtKey == katakanaOf(halfWidthKana);
}

void addKanaShortcut(QWidget* window, char16_t halfWidthKana, const std::function<void()>& action) {
    for (const char16_t kana : {halfWidthKana, katakanaOf(halfWidthKana)}) {
        auto* shortcut = new QShortcut(
            QKeySequence(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(kana))), window);
        QObject::connect(shortcut, &QShortcut::activated, window, action);
    }
}

namespace {

// Hands the menu the letter instead of the kana, so that the menu's own access-key handling
// chooses the item.
class KanaMenuKey : public QObject {
public:
    KanaMenuKey(QMenu* menu, char16_t kana, Qt::Key letter)
        : QObject(menu), m_kana(kana), m_letter(letter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (!isKanaKey(key->key(), m_kana) ||
            (modifiers != Qt::NoModifier && modifiers != Qt::AltModifier)) {
            return false;
        }
        if (type == QEvent::ShortcutOverride) {
            // The menu takes the key itself; no shortcut of the window may have it.
            event->accept();
            return true;
        }
        const QChar letter(static_cast<char16_t>(m_letter));
        QKeyEvent press(QEvent::KeyPress, m_letter, modifiers, QString(letter.toLower()));
        QCoreApplication::sendEvent(watched, &press);
        return true;
    }

private:
    char16_t m_kana;
    Qt::Key m_letter;
};

}  // namespace

void addKanaMenuKey(QMenu* menu, char16_t halfWidthKana, Qt::Key letter) {
    menu->installEventFilter(new KanaMenuKey(menu, halfWidthKana, letter));
}

}  // namespace accesskeys
