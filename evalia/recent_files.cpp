// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace evalia {

namespace {

const char* const kFilesKey = "recentFiles";
const char* const kFolderKey = "lastFolder";

const char* const kOrganisation = "Quadrel";
const char* const kApplication = "Evalia";

QVariant Read(const char* key) {
    const QSettings settings{QLatin1String(kOrganisation), QLatin1String(kApplication)};
    return settings.value(QLatin1String(key));
}

void Write(const char* key, const QVariant& value) {
    QSettings settings{QLatin1String(kOrganisation), QLatin1String(kApplication)};
    settings.setValue(QLatin1String(key), value);
}

void Store(const QStringList& files) {
    Write(kFilesKey, files);
}

} // namespace

QStringList TRecentFiles::Files() const {
    return Read(kFilesKey).toStringList();
}

void TRecentFiles::Add(const QString& filePath) {
    const QString path = QFileInfo(filePath).absoluteFilePath();
    QStringList files = Files();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMaximum) files.removeLast();
    Store(files);
}

void TRecentFiles::Remove(const QString& filePath) {
    QStringList files = Files();
    files.removeAll(QFileInfo(filePath).absoluteFilePath());
    Store(files);
}

void TRecentFiles::Clear() {
    Store({});
}

QString TRecentFiles::LastFolder() const {
    return Read(kFolderKey).toString();
}

void TRecentFiles::RememberFolderOf(const QString& filePath) {
    Write(kFolderKey, QFileInfo(filePath).absolutePath());
}

} // namespace evalia
