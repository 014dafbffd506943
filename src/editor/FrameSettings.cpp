#include "editor/FrameSettings.h"

#include "editor/Language.h"
#include "editor/UserPrompts.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QToolBar>

namespace korvel {

namespace {
QString layoutPath(const QString& directory)
{
    return directory + QStringLiteral("/ToolbarPostion.ini");
}
} // namespace

FrameSettings::FrameSettings(QMainWindow* window, QString directory, const SystemSettings& settings)
    : QObject(window)
    , window_(window)
    , directory_(std::move(directory))
    , settings_(settings)
{
    layoutTimer_.setSingleShot(true);
    layoutTimer_.setInterval(LayoutDelayMs);
    connect(&layoutTimer_, &QTimer::timeout, this, &FrameSettings::saveLayout);
}

QByteArray FrameSettings::fingerprint() const
{
    // Everything the two files are written from; the model count only sizes the table.
    return SerializeLabelDat(settings_, 1) + '\0' + settings_.defaultFontName;
}

void FrameSettings::markStored()
{
    stored_ = fingerprint();
}

bool FrameSettings::storeIfChanged()
{
    if (fingerprint() == stored_)
        return true;
    return write(false);
}

bool FrameSettings::store()
{
    return write(true);
}

bool FrameSettings::write(bool tellEveryFailure)
{
    const SettingsResult r = SaveSystemSettings(directory_, settings_);
    if (r.ok) {
        stored_ = fingerprint();
        lastWriteFailed_ = false;
        return true;
    }
    // A settings folder that cannot be written would otherwise ask after every change.
    if (tellEveryFailure || !lastWriteFailed_)
        Prompts().message(window_,
            r.title.isEmpty() ? LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示"))
                              : r.title,
            LookupText(QStringLiteral("MainFormInside"), QStringLiteral("SaveSettingsFailed"),
                QStringLiteral("保存系统信息失败!"))
                + QStringLiteral("\n") + r.message,
            UserPrompts::Icon::Warning);
    lastWriteFailed_ = true;
    return false;
}

void FrameSettings::loadLayout()
{
    const IniFile ini = IniFile::load(layoutPath(directory_));
    const QByteArray state = QByteArray::fromHex(ini.value("MainForm", "State", QByteArray()));
    if (!state.isEmpty())
        window_->restoreState(state);
    const QByteArray geometry = QByteArray::fromHex(ini.value("MainForm", "Geometry", QByteArray()));
    if (!geometry.isEmpty())
        window_->restoreGeometry(geometry);
    layoutLoaded_ = true;
    window_->installEventFilter(this);
}

void FrameSettings::saveLayout()
{
    layoutTimer_.stop();
    if (!layoutLoaded_)
        return;
    IniFile ini;
    ini.setValue("MainForm", "State", window_->saveState().toHex());
    ini.setValue("MainForm", "Geometry", window_->saveGeometry().toHex());
    ini.save(layoutPath(directory_));
}

void FrameSettings::watch(QWidget* bar)
{
    if (auto* tb = qobject_cast<QToolBar*>(bar)) {
        connect(tb, &QToolBar::visibilityChanged, this, &FrameSettings::layoutChanged);
        connect(tb, &QToolBar::topLevelChanged, this, &FrameSettings::layoutChanged);
        connect(tb, &QToolBar::orientationChanged, this, &FrameSettings::layoutChanged);
    } else if (auto* dock = qobject_cast<QDockWidget*>(bar)) {
        connect(dock, &QDockWidget::visibilityChanged, this, &FrameSettings::layoutChanged);
        connect(dock, &QDockWidget::topLevelChanged, this, &FrameSettings::layoutChanged);
        connect(dock, &QDockWidget::dockLocationChanged, this, &FrameSettings::layoutChanged);
    }
}

void FrameSettings::layoutChanged()
{
    // Minimising hides the bars too; what is stored is the layout of the window as restored.
    if (layoutLoaded_ && !window_->isMinimized())
        layoutTimer_.start();
}

bool FrameSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange: layoutChanged(); break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvel
