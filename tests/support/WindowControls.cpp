// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/WindowControls.h"

#include "app/ImageButton.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {
template <class T>
T* named(QWidget& window, const QString& name) {
    T* control = window.findChild<T*>(name);
    if (!control)
        qFatal("no control named %s", qPrintable(name));
    return control;
}
}  // namespace

WindowControls::WindowControls(QWidget& w)
    : cmdSend(named<ImageButton>(w, QStringLiteral("cmdSend"))),
      lblCom(named<QLabel>(w, QStringLiteral("lblCom"))),
      lblComDisp(named<QLabel>(w, QStringLiteral("lblComDisp"))),
      lblDate(named<QLabel>(w, QStringLiteral("lblDate"))),
      lblDateDisp(named<QLabel>(w, QStringLiteral("lblDateDisp"))),
      cmdReload(named<QPushButton>(w, QStringLiteral("cmdReload"))),
      lstURLs{named<QListView>(w, QStringLiteral("lstURLs0")),
              named<QListView>(w, QStringLiteral("lstURLs1")),
              named<QListView>(w, QStringLiteral("lstURLs2"))},
      fraKind(named<QGroupBox>(w, QStringLiteral("fraKind"))),
      optKind{named<QRadioButton>(w, QStringLiteral("optKind0")),
              named<QRadioButton>(w, QStringLiteral("optKind1")),
              named<QRadioButton>(w, QStringLiteral("optKind2"))},
      imgEnable(named<QLabel>(w, QStringLiteral("imgEnable"))),
      imgUnable(named<QLabel>(w, QStringLiteral("imgUnable"))),
      cmdMove(named<QPushButton>(w, QStringLiteral("cmdMove"))),
      lstKinds(named<QListView>(w, QStringLiteral("lstKinds"))),
      lstSub(named<QListView>(w, QStringLiteral("lstSub"))),
      cmdNew(named<QPushButton>(w, QStringLiteral("cmdNew"))),
      Command1(named<QPushButton>(w, QStringLiteral("Command1"))),
      cmdEditCom(named<QPushButton>(w, QStringLiteral("cmdEditCom"))),
      cmdSave(named<QPushButton>(w, QStringLiteral("cmdSave"))),
      cmdPreview(named<ImageButton>(w, QStringLiteral("cmdPreview"))),
      lblMsg(named<QLabel>(w, QStringLiteral("lblMsg"))),
      mnFile(named<QMenu>(w, QStringLiteral("mnFile"))),
      mnFile_Exit(named<QAction>(w, QStringLiteral("mnFile_Exit"))),
      mn_Option(named<QMenu>(w, QStringLiteral("mn_Option"))),
      mn_FolderSet(named<QAction>(w, QStringLiteral("mn_FolderSet"))),
      mn_ScribbleExec(named<QAction>(w, QStringLiteral("mn_ScribbleExec"))),
      mn_NetscapeFolderSet(named<QAction>(w, QStringLiteral("mn_NetscapeFolderSet"))),
      mn_NNExec(named<QAction>(w, QStringLiteral("mn_NNExec"))),
      mn_Help(named<QAction>(w, QStringLiteral("mn_Help"))) {}
