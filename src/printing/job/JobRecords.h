#pragma once

#include "variables/FieldValues.h"

#include <QByteArray>

namespace korvel {

class DatabaseSource;

/// The records a variable print job walks through: the data set of the document's data source,
/// seen through the few operations the job needs. Movement follows the data-set rules: next()
/// on the last record stays there and raises eof().
class JobRecords {
public:
    virtual ~JobRecords() = default;

    /// Whether a query is open.
    virtual bool isOpen() const = 0;
    virtual int recordCount() const = 0;
    /// The 1-based current record; 0 when there is none.
    virtual int recordNumber() const = 0;
    /// True after next() was asked to move past the last record (or when there is no record).
    virtual bool eof() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    /// The current record's values, for evaluation and the quantity field.
    virtual const FieldValues& fields() const = 0;
    /// The first column of the current record as text (the print log's "起始内容").
    virtual QByteArray firstFieldText() const = 0;
};

/// The open query of a database source as job records.
class DatabaseJobRecords : public JobRecords {
public:
    explicit DatabaseJobRecords(DatabaseSource& source)
        : source_(source)
    {
    }

    bool isOpen() const override;
    int recordCount() const override;
    int recordNumber() const override;
    bool eof() const override;
    void first() override;
    void next() override;
    const FieldValues& fields() const override;
    QByteArray firstFieldText() const override;

private:
    DatabaseSource& source_;
};

} // namespace korvel
