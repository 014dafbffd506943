#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include <memory>

namespace Ui {
class TFormShowDataBase;
}

namespace korvel {

class DatabaseSource;

/// The records of an open query as a table; cells are read on demand, so a query of a million
/// rows costs only the rows on screen.
class TRecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TRecordTableModel(const DatabaseSource& source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const DatabaseSource& source_;
};

/// The locate dialog: the record count, the current record, and the records; clicking a row
/// makes it current. Cancel goes back to the record that was current before.
class TFormShowDataBase : public QDialog {
    Q_OBJECT
public:
    explicit TFormShowDataBase(DatabaseSource& source, QWidget* parent = nullptr);
    ~TFormShowDataBase() override;

    Ui::TFormShowDataBase& ui() { return *ui_; }
    /// Makes a record current as a click on its row does.
    void chooseRecord(int recordNumber);

    void reject() override;

private:
    void showCurrent();

    std::unique_ptr<Ui::TFormShowDataBase> ui_;
    DatabaseSource& source_;
    TRecordTableModel model_;
    int startRecord_;
};

} // namespace korvel
