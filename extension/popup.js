// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The toolbar button's popup: the address as it will be stored, a comment filled with the
// page's title, and what the keepsake file will hold, checked with the host as the user types.
"use strict";

const addressLine = document.getElementById("address");
const commentField = document.getElementById("comment");
const storedLine = document.getElementById("stored");
const keepButton = document.getElementById("keep");
const answerLine = document.getElementById("answer");
let page = null;
let checking = 0;

function showError(line, text) {
  line.textContent = text;
  line.className = "error";
}

async function check() {
  const mine = ++checking;
  const answer = await askKeepHost({
    address: page.url, title: page.title ?? "", comment: commentField.value, check: true,
  });
  if (mine !== checking)
    return;
  if (answer && answer.ok && answer.check) {
    addressLine.textContent = answer.check.address;
    storedLine.textContent = "保存される形：《" + answer.check.comment + "》";
    storedLine.className = "";
    keepButton.disabled = false;
  } else {
    showError(storedLine, answerText(answer));
    keepButton.disabled = true;
  }
}

async function start() {
  const tabs = await keepApi.tabs.query({ active: true, currentWindow: true });
  page = tabs[0];
  if (!page) {
    showError(answerLine, "キープするページがありません。");
    keepButton.disabled = true;
    return;
  }
  addressLine.textContent = page.url;
  commentField.value = page.title ?? "";
  commentField.focus();
  commentField.select();
  await check();
}

commentField.addEventListener("input", () => check());
commentField.addEventListener("keydown", (event) => {
  if (event.key === "Enter" && !event.isComposing && !keepButton.disabled)
    keepButton.click();
});
keepButton.addEventListener("click", async () => {
  keepButton.disabled = true;
  const answer = await keepPage(page.url, page.title, commentField.value);
  answerLine.textContent = answerText(answer);
  answerLine.className = answer && answer.ok ? "" : "error";
  keepButton.disabled = !(answer && answer.ok) ? false : true;
});

start();
