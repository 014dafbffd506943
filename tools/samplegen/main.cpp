// Builds the sample labels that ship in data/Samples. Run it after a change of the label-file
// format: korvel-samplegen <repo>/data/Samples
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <functional>

using namespace korvel;

namespace {

TPageRecord grid(int widthTenths, int heightTenths, int columns, int rows, int space, int interval)
{
    TPageRecord p;
    p.AutoSize = 1;
    p.LabelWidth = static_cast<std::uint16_t>(widthTenths);
    p.LabelHeight = static_cast<std::uint16_t>(heightTenths);
    p.LabelColumn = static_cast<std::uint16_t>(columns);
    p.LabelRow = static_cast<std::uint16_t>(rows);
    p.LabelSpace = static_cast<std::uint16_t>(space);
    p.LabelInterval = static_cast<std::uint16_t>(interval);
    p.applyAutoSize();
    return p;
}

struct Sample {
    const char* file;
    std::function<void(LabelDocument&)> build;
};

void starter(LabelDocument& doc)
{
    doc.setPage(grid(600, 400, 1, 1, 0, 20));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: korvel-samplegen OUTPUT_DIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const Sample samples[] = {
        {"Starter.kvl", starter},
    };
    int failures = 0;
    for (const Sample& s : samples) {
        LabelDocument doc;
        s.build(doc);
        doc.FitMode = 1;
        const LabelFileResult r = WriteLabelFile(out.filePath(QString::fromLatin1(s.file)), doc);
        if (r.status != LabelFileResult::Status::Ok) {
            err << s.file << ": " << r.message << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
