// The designer: one running instance per user; a second start hands its label to the first.

#include "document/DataPaths.h"
#include "document/SafeFile.h"
#include "editor/FirstForm.h"
#include "editor/MainForm.h"
#include "editor/SingleInstance.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

struct Options {
    QStringList arguments; ///< program, then the label path when given
    QString screenshot; ///< write a picture of the main window here and end
    int screenshotDelayMs = 2500;
    int exitCode = -1; ///< set when the command line is done with (help, version, a mistake)
};

Options parse(const QStringList& raw)
{
    Options o;
    o.arguments.append(raw.value(0));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Korvel, the label designer."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."));
    const QCommandLineOption version(
        { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("Show the version."));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("Write a picture of the main window to FILE.png and end."), QStringLiteral("FILE.png"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("LABEL.kvl"), QStringLiteral("A label file to open."), QStringLiteral("[LABEL.kvl]"));
    if (!parser.parse(raw)) {
        std::fprintf(stderr, "korvel: %s\nusage: korvel [LABEL.kvl] [--screenshot FILE.png]\n", qPrintable(parser.errorText()));
        o.exitCode = 2;
        return o;
    }
    if (parser.isSet(help)) {
        // Qt's first line names the program by the path it was started with.
        const QString text = parser.helpText();
        std::fputs(qPrintable(QStringLiteral("usage: korvel [options] [LABEL.kvl]") + text.mid(text.indexOf(QLatin1Char('\n')))),
            stdout);
        o.exitCode = 0;
        return o;
    }
    if (parser.isSet(version)) {
        std::printf("korvel %s\n", KORVEL_VERSION);
        o.exitCode = 0;
        return o;
    }
    o.screenshot = parser.value(screenshot);
    if (!parser.positionalArguments().isEmpty())
        o.arguments.append(QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath());
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    // Help and version need no display: they are answered before the windowing system starts.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "-h" || a == "--help" || a == "-v" || a == "--version") {
            QCoreApplication core(argc, argv);
            const Options early = parse(QCoreApplication::arguments());
            return early.exitCode >= 0 ? early.exitCode : 2;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel"));
    // No display name: the window system would append it to a title that already names the
    // product, with a separator of its own.
    const Options options = parse(QApplication::arguments());
    if (options.exitCode >= 0)
        return options.exitCode;

    const QString serverName = korvel::InstanceServerName();
    const bool takingPicture = !options.screenshot.isEmpty();
    if (!takingPicture && korvel::HandOverToRunningInstance(serverName, options.arguments.value(1)))
        return 0;

    if (!takingPicture)
        (new korvel::TSplashForm)->show();

    korvel::TMainForm form(korvel::settingsDirectory());
    if (!form.initialize())
        return 1;

    korvel::InstanceServer server;
    if (!takingPicture) {
        // Losing a start race to another instance only means this one does not take hand-overs.
        server.listen(serverName);
        QObject::connect(&server, &korvel::InstanceServer::handOver, &form, &korvel::TMainForm::anotherInstance);
    }

    form.show();
    form.startUp(options.arguments);

    if (takingPicture) {
        QTimer::singleShot(options.screenshotDelayMs, &form, [&form, &options] {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            QString error;
            const bool saved
                = form.grab().save(&buffer, "PNG") && korvel::WriteFileSafely(options.screenshot, png, &error);
            if (!saved)
                std::fprintf(stderr, "korvel: cannot write %s\n", qPrintable(options.screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
