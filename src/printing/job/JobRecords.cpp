#include "printing/job/JobRecords.h"

#include "variables/database/DatabaseSource.h"

namespace korvel {

bool DatabaseJobRecords::isOpen() const
{
    return source_.isOpen();
}

int DatabaseJobRecords::recordCount() const
{
    return source_.recordCount();
}

int DatabaseJobRecords::recordNumber() const
{
    return source_.recordNumber();
}

bool DatabaseJobRecords::eof() const
{
    return source_.eof();
}

void DatabaseJobRecords::first()
{
    source_.first();
}

void DatabaseJobRecords::next()
{
    source_.next();
}

const FieldValues& DatabaseJobRecords::fields() const
{
    return source_;
}

QByteArray DatabaseJobRecords::firstFieldText() const
{
    return source_.fieldCount() > 0 ? source_.valueAt(0) : QByteArray();
}

} // namespace korvel
