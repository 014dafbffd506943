#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QListWidget;
class QRadioButton;

namespace korvel {

/// The start page ("选择您想操作的标签"): create an empty label, open a recent label, or open
/// another label; and whether to show the page again.
class TFirstForm : public QWidget {
    Q_OBJECT
public:
    enum class Choice { NewLabel = 0, Recent = 1, Other = 2 };

    explicit TFirstForm(const QStringList& recentLabels, QWidget* parent = nullptr);

    Choice choice() const;
    void setChoice(Choice choice);
    /// The recent label chosen in the list (empty when none).
    QString recentPath() const;
    void setRecentRow(int row);
    /// "再次运行不显示" ticked.
    bool dontShowAgain() const;
    void setDontShowAgain(bool on);

signals:
    /// OK: the choice is made.
    void accepted();
    void cancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRadioButton* newLabel_;
    QRadioButton* recent_;
    QRadioButton* other_;
    QListWidget* recentList_;
    QCheckBox* noShow_;
};

/// The splash window: borderless and centred, closed by its 2000 ms timer or a click.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    static constexpr int DisplayMilliseconds = 2000;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace korvel
