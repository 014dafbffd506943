#pragma once

#include "variables/database/DataSourceDraft.h"

#include <QDialog>

#include <memory>

class QSqlQueryModel;

namespace Ui {
class TDataSourceForm;
}

namespace korvel {

/// The data-source dialog: the source (an ODBC data source or a data file with its type and,
/// for text files, the separator and header options), the tables and the field grid, the
/// selected fields, filters, sort, the SQL text (composed, or edited by hand) and the result.
/// It browses with a source of its own; the document's source changes only on OK, through the
/// command that opened it.
class TDataSourceForm : public QDialog {
    Q_OBJECT
public:
    TDataSourceForm(const DatabaseBinding& binding, bool resultPage, QWidget* parent = nullptr);
    ~TDataSourceForm() override;

    const DataSourceDraft& draft() const { return draft_; }
    Ui::TDataSourceForm& ui() { return *ui_; }
    DatabaseSource& browser() { return *browser_; }

    /// Each step as the user takes it; also what the tests drive.
    void chooseOdbc(const QString& name);
    void chooseFile(DataFileType type, const QString& path);
    void chooseConnection(const QString& connection);
    void setTextOptions(TextSeparator separator, const QString& other, bool header);
    void chooseTable(int index);
    void setFieldSelected(int index, bool selected);
    /// The filter page's "增加": false when refused (the user was told why).
    bool addFilter(FilterJoin join, const QString& field, int op, const QString& value);
    void deleteFilter(int index);
    bool addSort(const QString& field, bool descending);
    void deleteSort(int index);
    void setHandSql(bool on, const QString& text = QString());
    /// Runs the query and shows the first rows on the result page; false on an engine error
    /// (shown in a box titled "error").
    bool showResult();
    /// Rows fetched so far by the result page.
    int resultRowsFetched() const;
    /// The last connection failure ("" when connected).
    const QString& lastError() const { return lastError_; }

    void accept() override;

private:
    void connectSource();
    void showSource();
    void showTables();
    void showFields(const std::vector<FieldInfo>& columns);
    void showFilters();
    void showSort();
    void showSql();
    void fileTypeChosen(int index);
    void browse();
    void textOptionsChanged();
    void pageChanged(int index);

    std::unique_ptr<Ui::TDataSourceForm> ui_;
    DataSourceDraft draft_;
    std::unique_ptr<DatabaseSource> browser_;
    QSqlQueryModel* result_ = nullptr;
    QString lastError_;
    bool filling_ = false;
};

/// The text of a field type in the field grid and of a size ("Byte:" from "All"/"zijie").
QString FieldSizeText(int size);

} // namespace korvel
