// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Everything the main window asks of the user or the desktop, behind one
// interface: the file dialogs, the message boxes and the opening of a saved
// file. The program uses the modal Qt implementation; tests and unattended
// runs put one in that never blocks.
#pragma once

#include <QString>

class QWidget;

namespace evalia {

struct FileDialogRequest {
    QString title;
    QString filter;        // e.g. "TIFF Files (*.tif)"
    QString defaultSuffix; // without the dot; empty for none
    QString folder;        // where the dialog starts; empty for the dialog's own choice
};

class TUserPrompts {
  public:
    virtual ~TUserPrompts() = default;

    // The chosen file, or an empty text when the user cancelled.
    virtual QString ChooseFileToOpen(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString ChooseFileToSave(QWidget* parent, const FileDialogRequest& request) = 0;

    // Message boxes with an OK button.
    virtual void ShowPlain(QWidget* parent, const QString& text) = 0;
    virtual void ShowInformation(QWidget* parent, const QString& text) = 0;
    virtual void ShowWarning(QWidget* parent, const QString& text) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;

    // Hands a saved file to the desktop's associated program; failures are ignored.
    virtual void OpenWithDesktop(const QString& filePath) = 0;
};

// Modal dialogs and message boxes, and QDesktopServices for opening files.
class TDialogPrompts : public TUserPrompts {
  public:
    QString ChooseFileToOpen(QWidget* parent, const FileDialogRequest& request) override;
    QString ChooseFileToSave(QWidget* parent, const FileDialogRequest& request) override;
    void ShowPlain(QWidget* parent, const QString& text) override;
    void ShowInformation(QWidget* parent, const QString& text) override;
    void ShowWarning(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void OpenWithDesktop(const QString& filePath) override;
};

// For unattended runs: no dialog is ever shown, every message goes to the
// standard error stream, and files are neither chosen nor opened. Warnings
// and errors are counted, so that the run can end with a failure status.
class TQuietPrompts : public TUserPrompts {
  public:
    int Failures() const { return failures_; }

    QString ChooseFileToOpen(QWidget*, const FileDialogRequest&) override { return {}; }
    QString ChooseFileToSave(QWidget*, const FileDialogRequest&) override { return {}; }
    void ShowPlain(QWidget* parent, const QString& text) override;
    void ShowInformation(QWidget* parent, const QString& text) override;
    void ShowWarning(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void OpenWithDesktop(const QString&) override {}

  private:
    int failures_ = 0;
};

} // namespace evalia
