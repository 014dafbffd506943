#pragma once

#include <QDialog>

#include <memory>

class QTimer;

namespace Ui {
class PrintProgressForm;
}

namespace korvel {

class PrintJobRunner;
struct JobFigures;

/// The progress of a running print job: labels sent of labels asked, bytes, rate and time
/// left, refreshed five times a second, with Cancel.
class TPrintProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrintProgressForm(PrintJobRunner& runner, QWidget* parent = nullptr);
    ~TPrintProgressForm() override;

    /// Shows the figures now (the timer does it every 200 ms).
    void refresh();
    /// The texts of a set of figures, by value label: labels, bytes, rate, time left.
    static QStringList FigureTexts(const JobFigures& figures);

protected:
    void reject() override; ///< Esc and the close box cancel the job, they do not hide it

private:
    std::unique_ptr<Ui::PrintProgressForm> ui_;
    PrintJobRunner& runner_;
    QTimer* timer_;
};

} // namespace korvel
