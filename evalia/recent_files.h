// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The files the user opened last and the folder the file dialogs start in,
// kept in the user's settings between runs (QSettings under "Quadrel" /
// "Evalia", in the default settings format and place).
#pragma once

#include <QString>
#include <QStringList>

namespace evalia {

class TRecentFiles {
  public:
    static constexpr int kMaximum = 8;

    // Most recent first; at most kMaximum, no duplicates.
    QStringList Files() const;
    // Puts an opened file first, with its absolute path.
    void Add(const QString& filePath);
    void Remove(const QString& filePath);
    void Clear();

    // The folder of the last file chosen in a dialog; empty before the first.
    QString LastFolder() const;
    // Remembers the folder of a file chosen for opening or saving.
    void RememberFolderOf(const QString& filePath);
};

} // namespace evalia
