#include "variables/DataPropertyForm.h"

#include "document/CodePage.h"

namespace korvel {

DataPropertyFormFields DataPropertyFieldsFromEntry(ConstDatabaseFieldEntry entry, const QByteArray& currentValue)
{
    const CodePage& cp = CodePage::document();
    DataPropertyFormFields f;
    f.column = cp.toUnicode(entry.name());
    f.value = cp.toUnicode(currentValue);
    f.format = FieldsFromFormat(entry.outputFormat());
    return f;
}

DataPropertyWarnings AcceptDataPropertyForm(const OutputFormatFields& fields, DatabaseFieldEntry entry)
{
    const DataPropertyWarnings warnings = CheckDataPropertyForm(fields);
    entry.setOutputFormat(StoreOutputFormat(fields, EmptyFillChar::None));
    entry.setTrim(false);
    return warnings;
}

} // namespace korvel
