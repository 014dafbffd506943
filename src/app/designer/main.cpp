// The designer: one running instance per user; a second start hands its label to the first.

#include "document/DataPaths.h"
#include "editor/FirstForm.h"
#include "editor/MainForm.h"
#include "editor/SingleInstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

struct Options {
    QStringList arguments; ///< program, then the label path when given
    QString screenshot; ///< write a picture of the main window here and end
    int screenshotDelayMs = 2500;
    bool ok = true;
};

Options parse(const QStringList& raw)
{
    Options o;
    o.arguments.append(raw.value(0));
    for (int i = 1; i < raw.size(); ++i) {
        const QString& a = raw.at(i);
        if (a == QLatin1String("--screenshot") && i + 1 < raw.size()) {
            o.screenshot = raw.at(++i);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.ok = false;
        } else if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "korvel: unknown option %s\n", qPrintable(a));
            o.ok = false;
        } else if (o.arguments.size() == 1) {
            o.arguments.append(QFileInfo(a).absoluteFilePath());
        }
    }
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel"));
    // No display name: the window system would append it to a title that already names the
    // product, with a separator of its own.
    const Options options = parse(QApplication::arguments());
    if (!options.ok) {
        std::fprintf(stderr, "usage: korvel [LABEL.kvl] [--screenshot FILE.png]\n");
        return 2;
    }

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
            const bool saved = form.grab().save(options.screenshot);
            if (!saved)
                std::fprintf(stderr, "korvel: cannot write %s\n", qPrintable(options.screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
