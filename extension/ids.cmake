# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The host's name and the extension's fixed id in each browser, which the host manifests name.
set(KEEPSAKE_HOST_NAME "io.github.keepsake_editor.keep")
set(KEEPSAKE_FIREFOX_EXTENSION_ID "keepsake-keep@keepsake-editor.github.io")
# Chromium derives an unpacked extension's id from the manifest's public key (the private key
# is not needed, and is not kept): this key gives the id below.
set(KEEPSAKE_CHROMIUM_EXTENSION_KEY "MIIBIjANBgkqhkiG9w0BAQEFAAOCAQ8AMIIBCgKCAQEAwZ2fQxMMlcz+pxo/YrILnEaa1JouneTxW9r3WofnQ3VJvNOzU4hbq//BMlKENBNweVBpzu7dU/7EB4MWm0/rNkrpbSR4exl+o9dH66sYPg1CtwqDQZvoT4pwG24hVoQ0WVuN04pt1wa3rY6dqvtS07/VKDSkQFUiXfQcyZn2yHu2EcwtEVgHHAYXerenA/3J4XuHe2JbVVDZFBZ6CxQeZ4M22tyRilZjmk/hyebTWcSAnhH46F3vL37Esu/xFQWlbVMw+/S/il3+x1HB1PwjWeV4+g0YTS2lvGMs81LNF+p0LYuiZwGEgZxwL9STqT1kARa95e9e1f2rTi3u4SKbmwIDAQAB")
set(KEEPSAKE_CHROMIUM_EXTENSION_ID "hibolljcgkokmogkdfldhggnlfhkoihe")
set(KEEPSAKE_EXTENSION_DIR ${CMAKE_BINARY_DIR}/extension)
