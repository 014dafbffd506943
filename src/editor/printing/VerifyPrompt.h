#pragma once

#include "printing/job/PrintJob.h"

namespace korvel {

class JobRecords;
class TChildForm;

/// Reads back every barcode of the job's first label (the start record's) from the virtual
/// printer's picture before a job is sent. When one does not read back as its data, the user
/// is told which and why and may still print ("Print anyway"). True when the job may go on.
bool VerifyBeforePrint(TChildForm& child, JobRecords* records, int startRecord, const PrintJobOptions& options);

} // namespace korvel
