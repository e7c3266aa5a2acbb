// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The link menu and the keyboard shortcut; their answer shows on the toolbar button (a mark and
// its tooltip) and as a notification.
"use strict";

if (typeof importScripts === "function" && typeof keepPage === "undefined")
  importScripts("keep.js");

const kMenuId = "keep-link";

async function showAnswer(answer) {
  const ok = !!(answer && answer.ok);
  try {
    await keepApi.action.setBadgeText({ text: ok ? "✓" : "×" });
    await keepApi.action.setBadgeBackgroundColor({ color: ok ? "#2e7d32" : "#c62828" });
    await keepApi.action.setTitle({ title: answerText(answer) });
  } catch (e) {
    // A window that closed meanwhile: nothing to show it on.
  }
}

keepApi.runtime.onInstalled.addListener(() => {
  keepApi.contextMenus.create({ id: kMenuId, title: "このリンクをキープ", contexts: ["link"] });
});

keepApi.contextMenus.onClicked.addListener(async (info) => {
  if (info.menuItemId !== kMenuId)
    return;
  // Firefox gives the link's text; Chromium does not, and the host then takes the address.
  showAnswer(await keepPage(info.linkUrl, info.linkText ?? info.selectionText ?? "", ""));
});

keepApi.commands.onCommand.addListener(async (command, tab) => {
  if (command !== "keep-page")
    return;
  let page = tab;
  if (!page || !page.url) {
    const tabs = await keepApi.tabs.query({ active: true, currentWindow: true });
    page = tabs[0];
  }
  if (!page)
    return;
  showAnswer(await keepPage(page.url, page.title, ""));
});
