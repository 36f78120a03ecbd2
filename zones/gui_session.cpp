// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/gui_session.h"

#include <QGuiApplication>

namespace zones {
namespace {

void discardQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// QGuiApplication keeps references to argc and argv for its whole life.
int gArgc = 3;
char gName[] = "quadrel";
char gPlatformOption[] = "-platform";
char gPlatform[] = "offscreen";
char* gArgv[] = {gName, gPlatformOption, gPlatform, nullptr};

} // namespace

GuiSession::GuiSession() {
    qInstallMessageHandler(discardQtMessage);
    application_ = std::make_unique<QGuiApplication>(gArgc, gArgv);
}

GuiSession::~GuiSession() = default;

} // namespace zones
