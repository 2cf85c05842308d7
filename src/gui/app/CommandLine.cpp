#include "gui/app/CommandLine.h"

#include "gui/app/TMainform.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

#include <string_view>

CommandLine ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zembrel: makes, plays, measures and saves test signals for audio work."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE.wav"),
        QStringLiteral("A PCM WAV file to open at start-up, as File Open does."),
        QStringLiteral("[FILE.wav]"));

    CommandLine result;
    const auto fail = [&result](const QString& reason) {
        result.ExitStatus = 2;
        result.Message = QStringLiteral("zembrel: %1\nUsage: zembrel [--help] [--version] "
                                        "[FILE.wav]\n")
                             .arg(reason);
        return result;
    };
    if (!parser.parse(arguments)) {
        return fail(parser.errorText());
    }
    // --help-all, which addHelpOption adds too, would otherwise start the program.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.ExitStatus = 0;
        result.Message = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.ExitStatus = 0;
        result.Message = QStringLiteral("Zembrel " ZEMBREL_VERSION "\n");
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        return fail(QStringLiteral("one file at most; not expected: %1")
                        .arg(files.mid(1).join(QLatin1Char(' '))));
    }
    if (!files.isEmpty()) {
        result.File = QDir::cleanPath(QFileInfo(files.front()).absoluteFilePath());
    }
    return result;
}

bool AsksForInformation(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            return false;
        }
        if (argument == "--help" || argument == "-h" || argument == "--help-all" ||
            argument == "--version" || argument == "-v") {
            return true;
        }
    }
    return false;
}

std::unique_ptr<TMainform> StartMainWindow(const CommandLine& commandLine,
                                           DialogFactories dialogs) {
    auto mainform = std::make_unique<TMainform>(std::move(dialogs));
    mainform->show();
    if (!commandLine.File.isEmpty()) {
        // From the event loop, like a menu command: the window is on the screen before any
        // message about the file, and an error escaping the command is shown, not fatal.
        QMetaObject::invokeMethod(
            mainform.get(),
            [form = mainform.get(), file = commandLine.File] { form->OpenFile(file); },
            Qt::QueuedConnection);
    }
    return mainform;
}
