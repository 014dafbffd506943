#include "document/FontMapping.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>

#include <mutex>

namespace korvel {

namespace {

const QString kSans = QStringLiteral("Liberation Sans");
const QString kSerif = QStringLiteral("Liberation Serif");
const QString kMono = QStringLiteral("Liberation Mono");
const QString kHei = QStringLiteral("WenQuanYi Micro Hei");
const QString kHeiMono = QStringLiteral("WenQuanYi Micro Hei Mono");

// Faces are compared without case; the keys are lower case.
const QHash<QString, QString>& faceTable()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        for (const char* f : { "arial", "arial narrow", "arial black", "helvetica", "tahoma", "verdana",
                 "ms sans serif", "microsoft sans serif", "segoe ui", "calibri", "trebuchet ms", "century gothic",
                 "franklin gothic medium", "lucida sans unicode", "system" })
            t.insert(QString::fromLatin1(f), kSans);
        for (const char* f : { "times new roman", "times", "georgia", "ms serif", "cambria", "book antiqua", "garamond",
                 "palatino linotype", "century schoolbook" })
            t.insert(QString::fromLatin1(f), kSerif);
        for (const char* f : { "courier new", "courier", "consolas", "lucida console", "fixedsys", "terminal",
                 "ocr a extended", "ocr-b" })
            t.insert(QString::fromLatin1(f), kMono);
        for (const char* f : { "宋体", "黑体", "隶书", "楷体", "仿宋", "楷体_gb2312", "仿宋_gb2312", "微软雅黑", "幼圆",
                 "华文宋体", "华文黑体", "华文楷体", "华文仿宋", "华文细黑", "华文行楷", "华文隶书", "华文新魏",
                 "华文彩云", "华文琥珀", "华文中宋", "方正舒体", "方正姚体", "新细明体", "细明体", "标楷体",
                 "微軟正黑體", "simsun", "simhei", "kaiti", "kaiti_gb2312", "fangsong", "fangsong_gb2312", "lisu",
                 "youyuan", "microsoft yahei", "microsoft jhenghei", "pmingliu", "mingliu", "dfkai-sb", "ms gothic",
                 "ms mincho", "ms pgothic", "ms pmincho", "gulim", "batang", "dotum", "gungsuh", "arial unicode ms" })
            t.insert(QString::fromUtf8(f), kHei);
        for (const char* f : { "新宋体", "nsimsun", "simsun-extb" })
            t.insert(QString::fromUtf8(f), kHeiMono);
        return t;
    }();
    return table;
}

const char* const kFontFiles[] = {
    "LiberationSans-Regular.ttf",
    "LiberationSans-Bold.ttf",
    "LiberationSans-Italic.ttf",
    "LiberationSans-BoldItalic.ttf",
    "LiberationSerif-Regular.ttf",
    "LiberationSerif-Bold.ttf",
    "LiberationSerif-Italic.ttf",
    "LiberationSerif-BoldItalic.ttf",
    "LiberationMono-Regular.ttf",
    "LiberationMono-Bold.ttf",
    "LiberationMono-Italic.ttf",
    "LiberationMono-BoldItalic.ttf",
};

const char* const kLiberationFolders[] = {
    "/usr/share/fonts/truetype/liberation2/",
    "/usr/share/fonts/truetype/liberation/",
};

int registerFiles()
{
    int count = 0;
    for (const char* file : kFontFiles) {
        for (const char* folder : kLiberationFolders) {
            const QString path = QString::fromLatin1(folder) + QString::fromLatin1(file);
            if (QFileInfo::exists(path) && QFontDatabase::addApplicationFont(path) >= 0) {
                ++count;
                break;
            }
        }
    }
    const QString hei = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
    if (QFileInfo::exists(hei) && QFontDatabase::addApplicationFont(hei) >= 0)
        ++count;
    return count;
}

} // namespace

int loadPinnedFonts()
{
    static std::once_flag once;
    static int loaded = 0;
    // Registering a font tells every font list of the application, whose handlers may draw
    // text and come back here: a second call_once on the same flag would wait forever.
    static thread_local bool registering = false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || registering)
        return loaded;
    std::call_once(once, [] {
        registering = true;
        loaded = registerFiles();
        registering = false;
    });
    return loaded;
}

QString mappedFamily(const QString& face)
{
    QString key = face.trimmed();
    // Windows names its vertical-writing variants "@Face"; they draw the same glyphs here.
    if (key.startsWith(QLatin1Char('@')))
        key.remove(0, 1);
    const auto it = faceTable().constFind(key.toLower());
    if (it != faceTable().constEnd())
        return it.value();
    if (key.isEmpty())
        return kSans;
    loadPinnedFonts();
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return kSans;
    // Asking the font database goes through fontconfig's substitution rules, which costs more
    // than drawing a short text; texts ask on every rendering, so each face is asked once. Qt
    // reads the system's font list once as well, so the answer cannot change while it runs.
    static QHash<QString, bool> known;
    auto answer = known.constFind(key);
    if (answer == known.constEnd())
        answer = known.insert(key, QFontDatabase::hasFamily(key));
    return answer.value() ? key : kSans;
}

QString fallbackFamily()
{
    return kHei;
}

QFont mappedFont(const QString& face, int pixelSize)
{
    loadPinnedFonts();
    const QString family = mappedFamily(face);
    QFont font(family);
    if (family != kHei && family != kHeiMono)
        font.setFamilies({ family, kHei });
    else
        font.setFamilies({ family });
    font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::NoSubpixelAntialias));
    return font;
}

} // namespace korvel
