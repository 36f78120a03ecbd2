// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Evalia: the desktop evaluation utility of the Quadrel layout analysis.
//
//   evalia [FILE]                the window, library bound at start; FILE is
//                                opened when given
//   evalia --process FILE        opens FILE and analyses it at start-up,
//                                without message boxes (reports go to stderr)
//   evalia --screenshot PNG ...  after start-up, saves a picture of the
//                                window to PNG and quits
//   evalia --pointer X,Y ...     shows the status bar's readout for page
//                                point X,Y, as if the pointer were there
//
// A run with --process or --screenshot ends with status 1 when a file cannot
// be opened or analysed or the picture cannot be saved, the reason on stderr.
#include "evalia/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

struct StartupOptions {
    QString openFile;
    QString processFile;
    QString screenshotFile;
    std::optional<QPoint> pointer;
};

std::optional<QPoint> ParsePoint(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    bool xOk = false, yOk = false;
    if (parts.size() != 2) return std::nullopt;
    const QPoint point(parts[0].trimmed().toInt(&xOk), parts[1].trimmed().toInt(&yOk));
    if (!xOk || !yOk) return std::nullopt;
    return point;
}

StartupOptions ParseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(TMainWindow::kCaption));
    parser.addHelpOption();
    const QCommandLineOption process(QStringLiteral("process"),
                                     QStringLiteral("Open FILE and analyse it at start-up."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to PNG after start-up, then quit."),
        QStringLiteral("PNG"));
    const QCommandLineOption pointer(
        QStringLiteral("pointer"),
        QStringLiteral("Show the status bar readout of page point X,Y after start-up."),
        QStringLiteral("X,Y"));
    parser.addOption(process);
    parser.addOption(screenshot);
    parser.addOption(pointer);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A TIFF page to open."));
    parser.process(app);
    StartupOptions options{parser.positionalArguments().value(0), parser.value(process),
                           parser.value(screenshot), std::nullopt};
    if (parser.isSet(pointer)) {
        options.pointer = ParsePoint(parser.value(pointer));
        if (!options.pointer) {
            std::fprintf(stderr, "error: --pointer takes X,Y\n");
            std::exit(2);
        }
    }
    return options;
}

bool SaveScreenshot(TMainWindow& window, const QString& fileName) {
    const bool saved = window.grab().save(fileName, "PNG");
    if (!saved) std::fprintf(stderr, "error: cannot write %s\n", qPrintable(fileName));
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(TMainWindow::kCaption));
    const StartupOptions options = ParseOptions(app);

    evalia::TDialogPrompts dialogs;
    evalia::TQuietPrompts quiet;
    const bool unattended = !options.processFile.isEmpty() || !options.screenshotFile.isEmpty();
    const std::string programDirectory =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    TMainWindow window(std::make_unique<evalia::TQuadrelLibrary>(
                           evalia::DefaultLibraryCandidates(programDirectory)),
                       unattended ? static_cast<evalia::TUserPrompts&>(quiet) : dialogs);
    window.show();

    if (!options.openFile.isEmpty()) window.OpenFile(options.openFile);
    // A page that cannot be analysed has had its warning already: Process is
    // disabled then and does nothing.
    if (!options.processFile.isEmpty() && window.OpenFile(options.processFile))
        window.Process1Click();
    if (options.pointer) window.ShowPointerAt(*options.pointer);
    if (!options.screenshotFile.isEmpty()) {
        // Let the window lay out and paint before taking its picture.
        QTimer::singleShot(200, &window, [&] {
            const bool saved = SaveScreenshot(window, options.screenshotFile);
            QCoreApplication::exit(saved && quiet.Failures() == 0 ? 0 : 1);
        });
        return QApplication::exec();
    }
    window.SetPrompts(dialogs);
    const int status = QApplication::exec();
    return quiet.Failures() == 0 ? status : 1;
}
