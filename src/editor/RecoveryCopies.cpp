#include "editor/RecoveryCopies.h"

#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "document/SafeFile.h"
#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/MainForm.h"
#include "editor/UserPrompts.h"
#include "editor/editing/Operation.h"
#include "persistence/LabelFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>


namespace korvel {

int RecoveryCopyWriter::intervalMs = 60000;

namespace {
QString describePath(const QString& copy)
{
    return copy.left(copy.size() - 4) + QStringLiteral(".txt");
}

QByteArray processCommand(const QString& pid, char* state)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
    if (open < 0 || close < open || close + 2 >= line.size())
        return {};
    if (state)
        *state = line.at(close + 2);
    return line.mid(open + 1, close - open - 1);
}

/// Whether the designer that wrote a copy still runs: a process of that number that is not a
/// zombie and runs the same program (numbers are reused).
bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true;
    char state = 0;
    const QByteArray command = processCommand(QString::number(pid), &state);
    if (command.isEmpty() || state == 'Z' || state == 'X')
        return false;
    return command == processCommand(QStringLiteral("self"), nullptr);
}

QString text(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("DesignSurface"), QString::fromLatin1(key), fallback);
}
} // namespace

QString RecoveryFolder()
{
    return QDir(settingsDirectory()).filePath(QStringLiteral("recovery"));
}

std::vector<RecoveryCopy> LeftRecoveryCopies()
{
    std::vector<RecoveryCopy> copies;
    const QDir dir(RecoveryFolder());
    const QFileInfoList files = dir.entryInfoList({ QStringLiteral("*.kvl") }, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& f : files) {
        const qint64 pid = f.completeBaseName().section(QLatin1Char('-'), 0, 0).toLongLong();
        if (processAlive(pid))
            continue;
        RecoveryCopy c;
        c.copyPath = f.absoluteFilePath();
        QFile d(describePath(c.copyPath));
        if (d.open(QIODevice::ReadOnly)) {
            const QStringList lines = QString::fromUtf8(d.readAll()).split(QLatin1Char('\n'));
            c.untitled = lines.value(0) != QLatin1String("file");
            c.fileName = lines.value(1);
        }
        copies.push_back(c);
    }
    return copies;
}

QString SetRecoveryCopyAside(const RecoveryCopy& copy)
{
    QString target = copy.copyPath + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = copy.copyPath + QStringLiteral(".damaged%1").arg(n);
    QFile::rename(copy.copyPath, target);
    QFile::remove(describePath(copy.copyPath));
    return target;
}

void RemoveRecoveryCopy(const QString& copyPath)
{
    QFile::remove(copyPath);
    QFile::remove(describePath(copyPath));
}

RecoveryCopyWriter::RecoveryCopyWriter(std::function<LabelDocument*()> document, QObject* parent)
    : QObject(parent)
    , document_(std::move(document))
{
    static std::atomic<int> counter { 0 };
    path_ = QDir(RecoveryFolder())
                .filePath(QStringLiteral("%1-%2.kvl").arg(QCoreApplication::applicationPid()).arg(++counter));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { writeNow(); });
}

RecoveryCopyWriter::~RecoveryCopyWriter()
{
    remove();
}

void RecoveryCopyWriter::changed()
{
    LabelDocument* doc = document_();
    if (!doc || !doc->modified) {
        remove();
        return;
    }
    if (doc->changeSerial == written_ && haveCopy_)
        return;
    if (timer_.isActive())
        return;
    // The first copy soon after the first change, then at most one a minute.
    const qint64 wait = sinceWrite_.isValid() ? std::max<qint64>(0, intervalMs - sinceWrite_.elapsed()) : intervalMs / 30;
    timer_.start(static_cast<int>(wait));
}

bool RecoveryCopyWriter::writeNow()
{
    LabelDocument* doc = document_();
    if (!doc || !doc->modified || (haveCopy_ && doc->changeSerial == written_))
        return false;
    QString error;
    const QByteArray bytes = WriteLabelBytes(*doc, &error);
    if (bytes.isEmpty())
        return false;
    QDir().mkpath(RecoveryFolder());
    const QByteArray about = (doc->untitled ? QByteArray("untitled\n") : QByteArray("file\n")) + doc->fileName.toUtf8();
    if (!WriteFileSafely(path_, bytes, &error) || !WriteFileSafely(describePath(path_), about, &error))
        return false;
    written_ = doc->changeSerial;
    haveCopy_ = true;
    sinceWrite_.start();
    return true;
}

void RecoveryCopyWriter::remove()
{
    timer_.stop();
    if (haveCopy_ || QFileInfo::exists(path_))
        RemoveRecoveryCopy(path_);
    haveCopy_ = false;
}

// ---- start-up ---------------------------------------------------------------------------

int TMainForm::offerRecoveryCopies()
{
    int opened = 0;
    const QString title = LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示"));
    for (const RecoveryCopy& copy : LeftRecoveryCopies()) {
        // Never opened half-way: a copy that does not read whole is set aside and named.
        LabelDocument probe;
        const LabelFileResult r = ReadLabelFile(copy.copyPath, probe);
        if (r.status != LabelFileResult::Status::Ok) {
            const QString aside = SetRecoveryCopyAside(copy);
            Prompts().message(this, title,
                FormatText(text("RecoveryDamaged", QStringLiteral("恢复副本%s已损坏，已另行保存，未打开。")), aside)
                    + (r.message.isEmpty() ? QString() : QStringLiteral("\n") + r.message),
                UserPrompts::Icon::Warning);
            continue;
        }
        const QString name = copy.fileName.isEmpty() ? text("Untitled", QStringLiteral("未保存的标签"))
                                                     : QStringLiteral("\"") + copy.fileName + QStringLiteral("\"");
        const auto answer = Prompts().askYesNoCancel(this, title,
            FormatText(text("RecoveryOffer", QStringLiteral("上次程序没有正常结束，保留了%s的恢复副本。是否打开？")), name));
        if (answer == UserPrompts::Answer::Cancel)
            continue; // asked again at the next start
        if (answer == UserPrompts::Answer::Yes) {
            TChildForm* child = createChild();
            child->setFileToOpen(copy.copyPath);
            if (!child->dispatch(Command::FinishOpening, 1)) {
                delete child;
                continue;
            }
            child->adoptRecovered(copy.fileName, copy.untitled);
            showChild(child);
            ++opened;
        }
        RemoveRecoveryCopy(copy.copyPath);
    }
    return opened;
}

} // namespace korvel

namespace korvel {

void TChildForm::adoptRecovered(const QString& fileName, bool untitled)
{
    if (!fileName.isEmpty())
        document_->fileName = fileName;
    document_->untitled = untitled;
    history_->forgetSavedState();
    document_->markModified();
    refreshCaption();
    emit stateChanged();
}

} // namespace korvel
