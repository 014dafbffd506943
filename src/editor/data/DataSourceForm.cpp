#include "editor/data/DataSourceForm.h"

#include "document/CodePage.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "editor/data/DataTexts.h"
#include "editor/data/WaitCursor.h"

#include "ui_DataSourceForm.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QSqlQueryModel>
#include <QSqlRecord>

namespace korvel {

namespace {

/// The query text as the memo shows it: one clause a line.
QString memoText(const QByteArray& sql)
{
    QStringList lines;
    for (const QByteArray& l : SplitSqlLines(sql))
        lines << FromDocumentBytes(l);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString FieldSizeText(int size)
{
    return QString::number(size) + DataText("All", "zijie", QStringLiteral("Byte:"));
}

TDataSourceForm::TDataSourceForm(const DatabaseBinding& binding, bool resultPage, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TDataSourceForm>())
    , draft_(DraftFromBinding(binding))
    , browser_(std::make_unique<DatabaseSource>())
{
    ui_->setupUi(this);
    TranslateWindow(this);
    resize(640, 480);
    for (const OdbcSourceInfo& info : OdbcDataSources())
        ui_->ComboBoxOdbc->addItem(info.name);
    result_ = new QSqlQueryModel(this);
    ui_->GridResult->setModel(result_);
    ui_->GridResult->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui_->GridFields->horizontalHeader()->setStretchLastSection(true);
    // The lists, the grids and the query text take the room; the labels and buttons keep theirs.
    ui_->TabSheetTableLayout->setRowStretch(1, 1);
    ui_->TabSheetFilterLayout->setRowStretch(1, 1);
    ui_->TabSheetSortLayout->setRowStretch(1, 1);
    ui_->TabSheetSqlLayout->setRowStretch(1, 1);
    ui_->TabSheetResultLayout->setRowStretch(1, 1);
    ui_->TabSheetSourceLayout->setRowStretch(5, 1);

    showSource();
    const bool hasSource = draft_.odbc ? !draft_.odbcName.isEmpty()
                                       : (!draft_.filePath.isEmpty() || !draft_.connection.trimmed().isEmpty());
    if (hasSource) {
        const int table = draft_.block.tableIndex;
        connectSource();
        if (table >= 0 && draft_.block.tableIndex == table) {
            std::vector<FieldInfo> columns;
            ChooseDraftTable(draft_, *browser_, table, &columns);
            showFields(columns);
        }
    }
    showTables();
    showFilters();
    showSort();
    showSql();

    connect(ui_->RadioButtonOdbc, &QRadioButton::toggled, this, [this](bool on) {
        if (filling_)
            return;
        draft_.odbc = on;
        connectSource();
    });
    connect(ui_->ComboBoxOdbc, &QComboBox::activated, this,
        [this](int index) { chooseOdbc(ui_->ComboBoxOdbc->itemText(index)); });
    connect(ui_->ComboBoxFileType, &QComboBox::activated, this, &TDataSourceForm::fileTypeChosen);
    connect(ui_->ButtonBrowse, &QPushButton::clicked, this, &TDataSourceForm::browse);
    connect(ui_->ButtonConnect, &QPushButton::clicked, this, [this] { chooseConnection(ui_->EditConnection->text()); });
    for (QAbstractButton* b : { static_cast<QAbstractButton*>(ui_->RadioButtonTab), static_cast<QAbstractButton*>(ui_->RadioButtonComma),
             static_cast<QAbstractButton*>(ui_->RadioButtonOther), static_cast<QAbstractButton*>(ui_->CheckBoxHeader) })
        connect(b, &QAbstractButton::clicked, this, &TDataSourceForm::textOptionsChanged);
    connect(ui_->EditSeparator, &QLineEdit::editingFinished, this, &TDataSourceForm::textOptionsChanged);
    connect(ui_->ListBoxTables, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_)
            chooseTable(row);
    });
    connect(ui_->GridFields, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == 0)
            setFieldSelected(item->row(), item->checkState() == Qt::Checked);
    });
    connect(ui_->ButtonSelectAll, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < static_cast<int>(draft_.block.fields.size()); ++i)
            setFieldSelected(i, true);
    });
    connect(ui_->ButtonSelectNone, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < static_cast<int>(draft_.block.fields.size()); ++i)
            setFieldSelected(i, false);
    });
    connect(ui_->ButtonAddFilter, &QPushButton::clicked, this, [this] {
        addFilter(static_cast<FilterJoin>(ui_->ComboBoxJoin->currentIndex() == 1 ? 1 : 0),
            ui_->ComboBoxFilterField->currentText(), ui_->ComboBoxOperator->currentIndex(), ui_->EditFilterValue->text());
    });
    connect(ui_->ButtonDeleteFilter, &QPushButton::clicked, this, [this] { deleteFilter(ui_->ListBoxFilters->currentRow()); });
    connect(ui_->ButtonAddSort, &QPushButton::clicked, this,
        [this] { addSort(ui_->ComboBoxSortField->currentText(), ui_->CheckBoxDescending->isChecked()); });
    connect(ui_->ButtonDeleteSort, &QPushButton::clicked, this, [this] { deleteSort(ui_->ListBoxSort->currentRow()); });
    connect(ui_->CheckBoxHandSql, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_)
            setHandSql(on, ui_->MemoSql->toPlainText());
    });
    connect(ui_->MemoSql, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_ && draft_.handSql)
            draft_.sql = JoinSqlLines(SplitSqlLines(ToDocumentBytes(ui_->MemoSql->toPlainText())));
    });
    connect(ui_->PageControl, &QTabWidget::currentChanged, this, &TDataSourceForm::pageChanged);
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    if (resultPage)
        ui_->PageControl->setCurrentWidget(ui_->TabSheetResult);
}

TDataSourceForm::~TDataSourceForm()
{
    // The view's query refers to the browser's connection; it goes first.
    result_->clear();
}

void TDataSourceForm::showSource()
{
    filling_ = true;
    ui_->RadioButtonOdbc->setChecked(draft_.odbc);
    ui_->RadioButtonFile->setChecked(!draft_.odbc);
    const int odbcIndex = ui_->ComboBoxOdbc->findText(draft_.odbcName, Qt::MatchFixedString);
    ui_->ComboBoxOdbc->setCurrentIndex(odbcIndex);
    ui_->ComboBoxFileType->setCurrentIndex(static_cast<int>(draft_.fileType));
    ui_->EditFile->setText(draft_.filePath);
    ui_->EditConnection->setText(draft_.connection);
    const bool other = draft_.fileType == DataFileType::Other;
    ui_->EditConnection->setEnabled(!draft_.odbc && other);
    ui_->ButtonConnect->setEnabled(!draft_.odbc && other);
    ui_->ButtonBrowse->setEnabled(!draft_.odbc && !other);
    ui_->GroupBoxTxt->setEnabled(!draft_.odbc && draft_.fileType == DataFileType::Text);
    ui_->RadioButtonTab->setChecked(draft_.text.separator == TextSeparator::Tab);
    ui_->RadioButtonComma->setChecked(draft_.text.separator == TextSeparator::Comma);
    ui_->RadioButtonOther->setChecked(draft_.text.separator == TextSeparator::Other);
    ui_->EditSeparator->setText(FromDocumentBytes(draft_.text.otherCharacter));
    ui_->CheckBoxHeader->setChecked(draft_.text.header);
    filling_ = false;
}

void TDataSourceForm::connectSource()
{
    lastError_.clear();
    result_->clear();
    WaitCursor wait;
    if (!ConnectDraft(draft_, *browser_, &lastError_)) {
        // The lists stay empty; the reason is there for whoever asks.
        draft_.block.fields.clear();
        draft_.block.selected.clear();
    }
    showTables();
    if (draft_.block.tableIndex < 0)
        showFields({});
    showSql();
}

void TDataSourceForm::chooseOdbc(const QString& name)
{
    draft_.odbc = true;
    draft_.odbcName = name;
    showSource();
    connectSource();
}

void TDataSourceForm::chooseFile(DataFileType type, const QString& path)
{
    draft_.odbc = false;
    draft_.fileType = type;
    draft_.filePath = path;
    if (type == DataFileType::Text)
        draft_.text = ReadSchemaIni(path);
    draft_.block.tableIndex = -1;
    showSource();
    connectSource();
    // A file has one table to choose, or its first sheet: it is chosen at once.
    if (!draft_.block.tables.empty() && draft_.block.tableIndex < 0)
        chooseTable(0);
}

void TDataSourceForm::chooseConnection(const QString& connection)
{
    draft_.odbc = false;
    draft_.fileType = DataFileType::Other;
    draft_.connection = connection;
    draft_.block.tableIndex = -1;
    showSource();
    connectSource();
}

void TDataSourceForm::setTextOptions(TextSeparator separator, const QString& other, bool header)
{
    draft_.text.separator = separator;
    draft_.text.otherCharacter = ToDocumentBytes(other).left(1);
    draft_.text.header = header;
    showSource();
    if (draft_.odbc || draft_.fileType != DataFileType::Text || draft_.filePath.isEmpty())
        return;
    // The schema entry is written again and the fields read anew.
    const int table = draft_.block.tableIndex;
    draft_.block.fields.clear();
    connectSource();
    chooseTable(table >= 0 ? table : 0);
}

void TDataSourceForm::textOptionsChanged()
{
    if (filling_)
        return;
    TextSeparator s = TextSeparator::Tab;
    if (ui_->RadioButtonComma->isChecked())
        s = TextSeparator::Comma;
    else if (ui_->RadioButtonOther->isChecked())
        s = TextSeparator::Other;
    setTextOptions(s, ui_->EditSeparator->text(), ui_->CheckBoxHeader->isChecked());
}

void TDataSourceForm::fileTypeChosen(int index)
{
    draft_.odbc = false;
    draft_.fileType = static_cast<DataFileType>(std::clamp(index, 0, 4));
    if (!draft_.filePath.isEmpty() && DataFileTypeOf(draft_.filePath) != draft_.fileType)
        draft_.filePath.clear();
    showSource();
}

void TDataSourceForm::browse()
{
    const QString start = draft_.filePath.isEmpty() ? QString() : QFileInfo(draft_.filePath).absolutePath();
    const QString path = Prompts().openFileName(
        this, DataText("DataSourceFormInside", "OpenTitle", QStringLiteral("打开数据文件")), start, DataFileFilter(draft_.fileType));
    if (!path.isEmpty())
        chooseFile(draft_.fileType, path);
}

void TDataSourceForm::showTables()
{
    filling_ = true;
    ui_->ListBoxTables->clear();
    for (const QByteArray& t : draft_.block.tables)
        ui_->ListBoxTables->addItem(FromDocumentBytes(t));
    ui_->ListBoxTables->setCurrentRow(draft_.block.tableIndex);
    filling_ = false;
}

void TDataSourceForm::chooseTable(int index)
{
    std::vector<FieldInfo> columns;
    {
        WaitCursor wait;
        ChooseDraftTable(draft_, *browser_, index, &columns);
    }
    showTables();
    showFields(columns);
    showFilters();
    showSort();
    showSql();
}

void TDataSourceForm::showFields(const std::vector<FieldInfo>& columns)
{
    filling_ = true;
    ui_->GridFields->setRowCount(static_cast<int>(columns.size()));
    for (int row = 0; row < static_cast<int>(columns.size()); ++row) {
        const FieldInfo& f = columns[static_cast<size_t>(row)];
        auto* name = new QTableWidgetItem(FromDocumentBytes(f.name));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        const bool selected = static_cast<size_t>(row) < draft_.block.selected.size() && draft_.block.selected[static_cast<size_t>(row)];
        name->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
        ui_->GridFields->setItem(row, 0, name);
        ui_->GridFields->setItem(row, 1, new QTableWidgetItem(FieldTypeName(f.typeNumber)));
        ui_->GridFields->setItem(row, 2, new QTableWidgetItem(FieldSizeText(f.size)));
    }
    ui_->ComboBoxFilterField->clear();
    ui_->ComboBoxSortField->clear();
    for (const QByteArray& f : draft_.block.fields) {
        ui_->ComboBoxFilterField->addItem(FromDocumentBytes(f));
        ui_->ComboBoxSortField->addItem(FromDocumentBytes(f));
    }
    filling_ = false;
}

void TDataSourceForm::setFieldSelected(int index, bool selected)
{
    if (index < 0 || index >= static_cast<int>(draft_.block.selected.size()))
        return;
    draft_.block.selected[static_cast<size_t>(index)] = selected;
    filling_ = true;
    if (QTableWidgetItem* item = ui_->GridFields->item(index, 0))
        item->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
    filling_ = false;
    showSql();
}

bool TDataSourceForm::addFilter(FilterJoin join, const QString& field, int op, const QString& value)
{
    const FilterRefusal r = AddDraftFilter(draft_, join, ToDocumentBytes(field), op, ToDocumentBytes(value));
    if (r != FilterRefusal::None) {
        ShowDataMessageText(this,
            DataText("DataSourceFormInside", r == FilterRefusal::NoFields ? "message1" : "message2", FilterRefusalMessage(r)));
        return false;
    }
    showFilters();
    showSql();
    return true;
}

void TDataSourceForm::deleteFilter(int index)
{
    if (index < 0 || index >= static_cast<int>(draft_.block.filters.size()))
        return;
    draft_.block.filters.erase(draft_.block.filters.begin() + index);
    showFilters();
    showSql();
}

bool TDataSourceForm::addSort(const QString& field, bool descending)
{
    if (!AddDraftSort(draft_, ToDocumentBytes(field), descending))
        return false;
    showSort();
    showSql();
    return true;
}

void TDataSourceForm::deleteSort(int index)
{
    if (index < 0 || index >= static_cast<int>(draft_.block.sort.size()))
        return;
    draft_.block.sort.erase(draft_.block.sort.begin() + index);
    showSort();
    showSql();
}

void TDataSourceForm::showFilters()
{
    ui_->ListBoxFilters->clear();
    for (size_t i = 0; i < draft_.block.filters.size(); ++i)
        ui_->ListBoxFilters->addItem(FilterRowText(draft_.block.filters[i], i == 0));
}

void TDataSourceForm::showSort()
{
    ui_->ListBoxSort->clear();
    for (const TSortEntry& e : draft_.block.sort)
        ui_->ListBoxSort->addItem(SortEntryText(e));
}

void TDataSourceForm::setHandSql(bool on, const QString& text)
{
    draft_.handSql = on;
    if (on)
        draft_.sql = JoinSqlLines(SplitSqlLines(ToDocumentBytes(text.isEmpty() ? memoText(draft_.composedSql()) : text)));
    showSql();
}

void TDataSourceForm::showSql()
{
    filling_ = true;
    ui_->CheckBoxHandSql->setChecked(draft_.handSql);
    ui_->MemoSql->setReadOnly(!draft_.handSql);
    const QString text = memoText(draft_.effectiveSql());
    if (ui_->MemoSql->toPlainText() != text)
        ui_->MemoSql->setPlainText(text);
    filling_ = false;
}

bool TDataSourceForm::showResult()
{
    result_->clear();
    QSqlQuery q;
    bool ok = false;
    {
        WaitCursor wait;
        ok = browser_->isConnected() && browser_->previewStored(draft_.effectiveSql(), draft_.block, &q);
    }
    if (!ok) {
        const QString why = browser_->isConnected() ? browser_->errorString()
                                                    : (lastError_.isEmpty() ? QStringLiteral("no data source is open") : lastError_);
        Prompts().message(this, QStringLiteral("error"), why, UserPrompts::Icon::Warning);
        return false;
    }
    result_->setQuery(std::move(q));
    const int columns = std::max(1, result_->columnCount());
    const int width = std::max(30, ui_->GridResult->viewport()->width() / columns);
    for (int c = 0; c < result_->columnCount(); ++c)
        ui_->GridResult->setColumnWidth(c, width);
    ui_->LabelResult->setText(FromDocumentBytes(draft_.block.chosenTable()));
    return true;
}

int TDataSourceForm::resultRowsFetched() const
{
    return result_->rowCount();
}

void TDataSourceForm::pageChanged(int index)
{
    QWidget* page = ui_->PageControl->widget(index);
    if (page == ui_->TabSheetSql)
        showSql();
    else if (page == ui_->TabSheetResult)
        showResult();
}

void TDataSourceForm::accept()
{
    // A query that cannot run is told here, where the choice can still be mended.
    if (!showResult())
        return;
    result_->clear();
    QDialog::accept();
}

} // namespace korvel
