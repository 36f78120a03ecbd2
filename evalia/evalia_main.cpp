// Evalia: the desktop evaluation utility of the Quadrel layout analysis.
//
//   evalia                       the window, library bound at start
//   evalia --process FILE        opens FILE and analyses it at start-up,
//                                without message boxes (reports go to stderr)
//   evalia --screenshot PNG ...  after start-up, saves a picture of the
//                                window to PNG and quits
#include "evalia/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

struct StartupOptions {
    QString processFile;
    QString screenshotFile;
};

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
    parser.addOption(process);
    parser.addOption(screenshot);
    parser.process(app);
    return {parser.value(process), parser.value(screenshot)};
}

bool SaveScreenshot(TMainWindow& window, const QString& fileName) {
    const bool saved = window.grab().save(fileName, "PNG");
    if (!saved) std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
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

    if (!options.processFile.isEmpty()) {
        window.OpenFile(options.processFile);
        window.Process1Click();
    }
    if (!options.screenshotFile.isEmpty()) {
        // Let the window lay out and paint before taking its picture.
        QTimer::singleShot(200, &window, [&] {
            const bool saved = SaveScreenshot(window, options.screenshotFile);
            QCoreApplication::exit(saved ? 0 : 1);
        });
        return QApplication::exec();
    }
    window.SetPrompts(dialogs);
    return QApplication::exec();
}
