#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;

namespace korvel {

/// The options dialog ("系统选项"): interface language, start option, drawing mode and the
/// start page.
class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    /// languageEntry: 0 Simplified Chinese, 1 English, 2 Traditional Chinese.
    TOptionsForm(int languageEntry, int startOption, int drawingMode, bool showStartPage, QWidget* parent = nullptr);

    int languageEntry() const;
    void setLanguageEntry(int entry);
    /// 0 open the last designed label, 1 the new-label dialog, 2 an empty label.
    int startOption() const;
    void setStartOption(int option);
    /// 0 transparent, 1 XOR.
    int drawingMode() const;
    void setDrawingMode(int mode);
    bool showStartPage() const;
    void setShowStartPage(bool show);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* language_;
    QGroupBox* startGroup_;
    QRadioButton* start_[3];
    QGroupBox* drawGroup_;
    QRadioButton* draw_[2];
    QCheckBox* startPage_;
};

} // namespace korvel
