// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Prompts that answer from a script and record what the window said, so the
// window's commands run without any modal dialog.
#pragma once

#include "evalia/user_prompts.h"

#include <QStringList>

#include <vector>

struct RecordedMessage {
    QString kind; // "plain", "information", "warning" or "error"
    QString text;
};

class FakePrompts : public evalia::TUserPrompts {
  public:
    QStringList filesToOpen; // answers of the open dialog, in order; empty = cancel
    QStringList filesToSave;
    std::vector<evalia::FileDialogRequest> dialogs;
    std::vector<RecordedMessage> messages;
    QStringList openedWithDesktop;

    QString ChooseFileToOpen(QWidget*, const evalia::FileDialogRequest& request) override {
        dialogs.push_back(request);
        return filesToOpen.isEmpty() ? QString() : filesToOpen.takeFirst();
    }
    QString ChooseFileToSave(QWidget*, const evalia::FileDialogRequest& request) override {
        dialogs.push_back(request);
        return filesToSave.isEmpty() ? QString() : filesToSave.takeFirst();
    }
    void ShowPlain(QWidget*, const QString& text) override { messages.push_back({"plain", text}); }
    void ShowInformation(QWidget*, const QString& text) override {
        messages.push_back({"information", text});
    }
    void ShowWarning(QWidget*, const QString& text) override {
        messages.push_back({"warning", text});
    }
    void ShowError(QWidget*, const QString& text) override { messages.push_back({"error", text}); }
    void OpenWithDesktop(const QString& path) override { openedWithDesktop.push_back(path); }

    std::vector<RecordedMessage> TakeMessages() { return std::exchange(messages, {}); }
};
