// Where database records come from: the `--data SOURCE` argument, and a label file's stored
// binding (connection string, query text, settings block). The input holds the four parts
// separated by 0xFF bytes.
#include "FuzzSupport.h"

#include "variables/database/SourceSpec.h"

#include <cstdint>

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    // The ODBC source lists of this machine must not change what a run does.
    static const bool isolated = [] {
        setenv("ODBCINI", "/nonexistent/odbc.ini", 1);
        setenv("ODBCSYSINI", "/nonexistent", 1);
        return true;
    }();
    (void)isolated;
    SilenceQtMessages();

    const QList<QByteArray> parts = FuzzBytes(data, size).split('\xFF');
    const QString argument = QString::fromUtf8(parts.value(0));
    const SpecResult fromArgument = ParseDataArgument(argument);
    if (fromArgument.sourceSpec) {
        (void)fromArgument.sourceSpec->describe();
        (void)StoredConnectionString(*fromArgument.sourceSpec);
    } else {
        FUZZ_CHECK(!fromArgument.error.isEmpty());
    }

    if (parts.size() < 2)
        return 0;
    DatabaseBinding binding;
    binding.connectionString = parts.value(1);
    binding.sql = parts.value(2);
    binding.sourceBlock = parts.value(3);
    const std::optional<TDataSourceBlock> block = TDataSourceBlock::fromBytes(binding.sourceBlock);
    const SpecResult stored = SpecFromBinding(binding, block);
    if (stored.sourceSpec) {
        (void)stored.sourceSpec->describe();
        (void)StoredConnectionString(*stored.sourceSpec);
    } else {
        FUZZ_CHECK(!stored.error.isEmpty());
    }
    return 0;
}
