// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/user_prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include <cstdio>

namespace evalia {

namespace {

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    const QString title = parent != nullptr ? parent->window()->windowTitle() : QString();
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void WriteToStandardError(const char* kind, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", kind, text.toLocal8Bit().constData());
}

} // namespace

QString TDialogPrompts::ChooseFileToOpen(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString TDialogPrompts::ChooseFileToSave(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

void TDialogPrompts::ShowPlain(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::NoIcon, text);
}

void TDialogPrompts::ShowInformation(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Information, text);
}

void TDialogPrompts::ShowWarning(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Warning, text);
}

void TDialogPrompts::ShowError(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, text);
}

void TDialogPrompts::OpenWithDesktop(const QString& filePath) {
    // Without an associated program the desktop answers false; nothing to do then.
    (void)QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}

void TQuietPrompts::ShowPlain(QWidget*, const QString& text) {
    WriteToStandardError("note", text);
}

void TQuietPrompts::ShowInformation(QWidget*, const QString& text) {
    WriteToStandardError("info", text);
}

void TQuietPrompts::ShowWarning(QWidget*, const QString& text) {
    ++failures_;
    WriteToStandardError("warning", text);
}

void TQuietPrompts::ShowError(QWidget*, const QString& text) {
    ++failures_;
    WriteToStandardError("error", text);
}

} // namespace evalia
