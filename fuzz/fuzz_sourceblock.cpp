// The data-source settings block a label file stores with its database binding: read, written
// and read again (the second reading must equal the first after the writer's normalisation),
// then turned into the query text the dialog shows.
#include "FuzzSupport.h"

#include "variables/database/QueryText.h"
#include "variables/database/SourceBlock.h"

#include <cstdint>

using korvel::TDataSourceBlock;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    QString error;
    const auto block = TDataSourceBlock::fromBytes(FuzzBytes(data, size), &error);
    if (!block) {
        FUZZ_CHECK(size == 0 || !error.isEmpty());
        return 0;
    }
    (void)block->chosenTable();
    (void)block->selectedFields();

    const QByteArray written = block->toBytes();
    const auto reread = TDataSourceBlock::fromBytes(written, &error);
    FUZZ_CHECK(reread.has_value());
    FUZZ_CHECK(reread->tables == block->tables && reread->fields == block->fields);
    FUZZ_CHECK(reread->filters == block->filters && reread->sort == block->sort);
    FUZZ_CHECK(reread->text == block->text && reread->isFile == block->isFile);
    FUZZ_CHECK(reread->chosenTable() == block->chosenTable());
    // Once written, a block is a fixed point of writing and reading.
    FUZZ_CHECK(reread->toBytes() == written);

    const korvel::QueryParts parts = korvel::QueryParts::fromBlock(*reread);
    (void)parts.referencedFields();
    const QByteArray sql = korvel::JoinSqlLines(korvel::BuildSqlLines(parts));
    (void)korvel::SplitSqlLines(sql);
    FUZZ_CHECK(korvel::SameSqlText(sql, sql));
    return 0;
}
