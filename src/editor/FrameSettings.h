#pragma once

#include "persistence/SystemSettings.h"

#include <QObject>
#include <QTimer>

class QMainWindow;

namespace korvel {

/// Keeps the frame's settings on disk as they change, not only at a clean exit: the system
/// settings ("Label.dat", "Printer.ini") as soon as a value differs from what was last
/// written, the window and toolbar layout ("ToolbarPostion.ini") shortly after the window, a
/// toolbar or the data-source panel moved. Every file goes through the safe write.
class FrameSettings : public QObject {
    Q_OBJECT
public:
    /// Waits this long after a move or resize, so a drag writes the layout once.
    static constexpr int LayoutDelayMs = 400;

    FrameSettings(QMainWindow* window, QString directory, const SystemSettings& settings);

    /// Marks what is on disk now as written (after the start-up read).
    void markStored();
    /// Writes the system settings when they differ from what was last written. A failure is
    /// told once, until a write succeeds again. False when a write failed.
    bool storeIfChanged();
    /// Writes the system settings now and tells every failure (the exit write).
    bool store();

    /// Restores the window and toolbar layout, then follows its changes.
    void loadLayout();
    /// Writes the layout now (a pending delayed write is dropped).
    void saveLayout();
    bool layoutLoaded() const { return layoutLoaded_; }
    /// Watches a toolbar or a dock widget: showing, hiding, docking and moving it is stored.
    void watch(QWidget* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QByteArray fingerprint() const;
    bool write(bool tellEveryFailure);
    void layoutChanged();

    QMainWindow* window_;
    QString directory_;
    const SystemSettings& settings_;
    QByteArray stored_;
    QTimer layoutTimer_;
    bool layoutLoaded_ = false;
    bool lastWriteFailed_ = false;
};

} // namespace korvel
