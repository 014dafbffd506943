#include "editor/data/DateTimeForms.h"

#include "editor/Language.h"
#include "variables/VariableEntries.h"

#include "ui_DateForm.h"
#include "ui_TimeForm.h"

#include <QPushButton>

namespace korvel {

namespace {
int listIndex(int stored, int count)
{
    return stored >= 0 && stored < count ? stored : 0;
}

/// What the date and the time windows set up alike: the form, its texts, the variable's name,
/// the pattern list with the stored choice, and the two buttons.
template <class Form>
void SetUpPatternForm(QDialog* dialog, Form& ui, const QString& displayedName, const QStringList& patterns,
    int storedIndex, int patternCount)
{
    ui.setupUi(dialog);
    TranslateWindow(dialog);
    ui.LabelNameValue->setText(displayedName);
    ui.ListBoxFormat->addItems(patterns);
    ui.ListBoxFormat->setCurrentRow(listIndex(storedIndex, patternCount));
    QObject::connect(ui.BitBtnOK, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(ui.BitBtnCancel, &QPushButton::clicked, dialog, &QDialog::reject);
}
} // namespace

TDateForm::TDateForm(const QByteArray& entry, const QString& displayedName, const DateTimePatterns& patterns,
    Clock clock, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TDateForm>())
    , entry_(entry)
    , patterns_(patterns)
    , clock_(std::move(clock))
{
    const ConstDateEntry e(entry_);
    SetUpPatternForm(this, *ui_, displayedName, DatePatternList(Now(clock_), patterns_), e.patternIndex(),
        ConstDateEntry::PatternCount);
    ui_->SpinEditDay->setValue(e.dayOffset());
    ui_->SpinEditMonth->setValue(e.monthOffset());
    ui_->SpinEditYear->setValue(e.yearOffset());
    connect(ui_->ListBoxFormat, &QListWidget::currentRowChanged, this, &TDateForm::updatePreview);
    for (QSpinBox* s : { ui_->SpinEditDay, ui_->SpinEditMonth, ui_->SpinEditYear })
        connect(s, &QSpinBox::textChanged, this, &TDateForm::updatePreview);
    updatePreview();
}

TDateForm::~TDateForm() = default;

DateFormFields TDateForm::fields() const
{
    DateFormFields f;
    f.patternIndex = std::max(0, ui_->ListBoxFormat->currentRow());
    f.dayOffset = ui_->SpinEditDay->cleanText();
    f.monthOffset = ui_->SpinEditMonth->cleanText();
    f.yearOffset = ui_->SpinEditYear->cleanText();
    return f;
}

void TDateForm::updatePreview()
{
    // An offset that is not a number yet leaves the preview as it was.
    if (const auto text = DateFormPreview(fields(), Now(clock_), patterns_))
        ui_->LabelPreviewValue->setText(*text);
}

void TDateForm::accept()
{
    const DateEntry e(entry_);
    StoreDateForm(e, e.name(), fields(), Now(clock_));
    QDialog::accept();
}

TTimeForm::TTimeForm(const QByteArray& entry, const QString& displayedName, const DateTimePatterns& patterns,
    Clock clock, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TTimeForm>())
    , entry_(entry)
    , patterns_(patterns)
    , clock_(std::move(clock))
{
    const ConstTimeEntry e(entry_);
    SetUpPatternForm(this, *ui_, displayedName, TimePatternList(Now(clock_), patterns_), e.patternIndex(),
        ConstTimeEntry::PatternCount);
    ui_->SpinEditMinute->setValue(e.minuteOffset());
    ui_->SpinEditHour->setValue(e.hourOffset());
    connect(ui_->ListBoxFormat, &QListWidget::currentRowChanged, this, &TTimeForm::updatePreview);
    for (QSpinBox* s : { ui_->SpinEditMinute, ui_->SpinEditHour })
        connect(s, &QSpinBox::textChanged, this, &TTimeForm::updatePreview);
    updatePreview();
}

TTimeForm::~TTimeForm() = default;

TimeFormFields TTimeForm::fields() const
{
    TimeFormFields f;
    f.patternIndex = std::max(0, ui_->ListBoxFormat->currentRow());
    f.minuteOffset = NormalizeTimeOffsetText(ui_->SpinEditMinute->cleanText());
    f.hourOffset = NormalizeTimeOffsetText(ui_->SpinEditHour->cleanText());
    return f;
}

void TTimeForm::updatePreview()
{
    if (const auto text = TimeFormPreview(fields(), Now(clock_), patterns_))
        ui_->LabelPreviewValue->setText(*text);
}

void TTimeForm::accept()
{
    const TimeEntry e(entry_);
    StoreTimeForm(e, e.name(), fields(), Now(clock_));
    QDialog::accept();
}

} // namespace korvel
