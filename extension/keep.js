// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the toolbar button, the link menu and the shortcut share: one request to the host
// keepsake-keep, which writes the keepsake file, and the words for its answer.
"use strict";

const keepApi = globalThis.browser ?? globalThis.chrome;
const keepHost = "@KEEPSAKE_HOST_NAME@";

// The host's answer: {ok, stored: {address, comment, file}}, {ok, check: {...}} or {error}.
async function askKeepHost(request) {
  try {
    return await keepApi.runtime.sendNativeMessage(keepHost, request);
  } catch (e) {
    return {
      error:
        "keepsake-keepを起動できませんでした（" + String(e && e.message ? e.message : e) +
        "）。keepsake-keep --install-browser-hosts でブラウザーに登録してください。",
    };
  }
}

function keepPage(address, title, comment) {
  return askKeepHost({ address: address ?? "", title: title ?? "", comment: comment ?? "" });
}

function answerText(answer) {
  if (answer && answer.ok && answer.stored)
    return "キープしました：" + answer.stored.address + "《" + answer.stored.comment + "》";
  return "キープできませんでした：" + String(answer && answer.error ? answer.error : "応答がありません。");
}
