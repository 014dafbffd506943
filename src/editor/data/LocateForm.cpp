#include "editor/data/LocateForm.h"

#include "document/CodePage.h"
#include "editor/Language.h"
#include "editor/data/DataTexts.h"
#include "variables/database/DatabaseSource.h"

#include "ui_FormShowDataBase.h"

#include <QHeaderView>
#include <QPushButton>

namespace korvel {

TRecordTableModel::TRecordTableModel(const DatabaseSource& source, QObject* parent)
    : QAbstractTableModel(parent)
    , source_(source)
{
}

int TRecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : source_.recordCount();
}

int TRecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : source_.fieldCount();
}

QVariant TRecordTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return FromDocumentBytes(source_.valueAt(index.row() + 1, index.column()));
}

QVariant TRecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= source_.fieldCount())
        return {};
    return FromDocumentBytes(source_.fields()[static_cast<size_t>(section)].name);
}

TFormShowDataBase::TFormShowDataBase(DatabaseSource& source, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TFormShowDataBase>())
    , source_(source)
    , model_(source)
    , startRecord_(source.recordNumber())
{
    ui_->setupUi(this);
    TranslateWindow(this);
    // Every row is as high as the first: the view never measures a million rows.
    ui_->GridRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui_->GridRecords->setModel(&model_);
    ui_->LabelCount->setText(DataText("FormShowDataBaseInside", "message1", QStringLiteral("共有记录: "))
        + QString::number(source_.recordCount()) + DataText("FormShowDataBaseInside", "message2", QStringLiteral(" 条")));
    connect(ui_->GridRecords, &QAbstractItemView::clicked, this,
        [this](const QModelIndex& index) { chooseRecord(index.row() + 1); });
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    showCurrent();
    if (startRecord_ > 0)
        ui_->GridRecords->selectRow(startRecord_ - 1);
    resize(560, 420);
}

TFormShowDataBase::~TFormShowDataBase() = default;

void TFormShowDataBase::chooseRecord(int recordNumber)
{
    if (source_.locate(recordNumber))
        showCurrent();
}

void TFormShowDataBase::showCurrent()
{
    ui_->LabelCurrent->setText(DataText("FormShowDataBaseInside", "message3", QStringLiteral("当前记录: "))
        + QString::number(source_.recordNumber()) + DataText("FormShowDataBaseInside", "message2", QStringLiteral(" 条")));
}

void TFormShowDataBase::reject()
{
    if (startRecord_ > 0)
        source_.locate(startRecord_);
    QDialog::reject();
}

} // namespace korvel
