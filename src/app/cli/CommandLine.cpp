#include "cli/CommandLine.h"

#include "cli/CliCommands.h"

#include <QTextStream>

namespace korvel::cli {

namespace option {

QCommandLineOption output(const QString& valueName)
{
    return { { QStringLiteral("o"), QStringLiteral("output") }, QStringLiteral("Write to %1.").arg(valueName),
        valueName };
}

QCommandLineOption data()
{
    return { QStringLiteral("data"),
        QStringLiteral("Take the records from SOURCE for this run: a .csv/.txt/.tsv file, .xls/.xlsx, "
                       ".db/.sqlite[#TABLE], odbc:DSN[#TABLE], postgresql://...[#TABLE], or - for standard input."),
        QStringLiteral("SOURCE") };
}

QCommandLineOption dataEncoding()
{
    return { QStringLiteral("data-encoding"),
        QStringLiteral("Read delimited text in the encoding NAME (any name iconv knows) instead of telling it "
                       "from the text."),
        QStringLiteral("NAME") };
}

QCommandLineOption acceptDamaged()
{
    return { QStringLiteral("accept-damaged"),
        QStringLiteral("Use a damaged label as far as it could be read instead of failing.") };
}

QCommandLineOption record()
{
    return { QStringLiteral("record"), QStringLiteral("Take record N of the data source."), QStringLiteral("N") };
}

} // namespace option

CommandLine::CommandLine(const QString& command, const QString& usage, const QString& description)
    : command_(command)
    , usage_(usage)
    , help_({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."))
{
    parser_.setApplicationDescription(description);
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    add(help_);
}

void CommandLine::add(const QCommandLineOption& option)
{
    parser_.addOption(option);
    options_.push_back(option);
}

void CommandLine::addPositional(const QString& name, const QString& description)
{
    parser_.addPositionalArgument(name, description);
}

const QCommandLineOption* CommandLine::find(const QString& name) const
{
    for (const QCommandLineOption& o : options_) {
        if (o.names().contains(name))
            return &o;
    }
    return nullptr;
}

QString CommandLine::spelled(const QString& name) const
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

std::optional<int> CommandLine::parse(const QStringList& arguments)
{
    // The checks QCommandLineParser leaves to its caller, with this tool's own messages: an
    // option it does not know, a missing or empty value, a value given to a switch.
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-"))
            continue;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const bool inlineValue = a.startsWith(QLatin1String("--")) && eq > 0;
        const QString written = inlineValue ? a.left(eq) : a;
        QString name = written.mid(written.startsWith(QLatin1String("--")) ? 2 : 1);
        const QCommandLineOption* o = find(name);
        if (!o || (inlineValue && o->valueName().isEmpty()))
            return usage(QStringLiteral("unknown option '%1'").arg(written));
        if (o == nullptr || o->valueName().isEmpty())
            continue;
        if (o->names() == help_.names())
            continue;
        QString value;
        if (inlineValue) {
            value = a.mid(eq + 1);
        } else {
            if (i + 1 >= arguments.size())
                return usage(QStringLiteral("%1 needs a value").arg(written));
            value = arguments[++i];
        }
        // A script's unset variable must not fall back to a default target.
        if (value.isEmpty()) {
            return usage(o->names().contains(QStringLiteral("o")) ? QStringLiteral("-o needs a file name")
                                                                     : QStringLiteral("%1 needs a value").arg(written));
        }
    }
    if (!parser_.parse(QStringList { QStringLiteral("korvel-cli") } + arguments))
        return usage(parser_.errorText());
    if (parser_.isSet(help_)) {
        QTextStream(stdout) << helpText();
        return Success;
    }
    return std::nullopt;
}

std::optional<std::int64_t> CommandLine::number(
    const QCommandLineOption& option, std::int64_t low, std::int64_t high, QString& error) const
{
    if (!parser_.isSet(option))
        return std::nullopt;
    const QString text = parser_.value(option);
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok || v < low || v > high) {
        error = QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'")
                    .arg(spelled(option.names().constLast()))
                    .arg(low)
                    .arg(high)
                    .arg(text);
        return std::nullopt;
    }
    return v;
}

int CommandLine::usage(const QString& why) const
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n"
                        << "usage: korvel-cli " << QString(usage_).replace(QLatin1Char('\n'), QStringLiteral("\n       "))
                        << "\n";
    return Usage;
}

QString CommandLine::helpText() const
{
    QString text = parser_.helpText();
    // Qt's first line names the program only; the command's own usage says more.
    const qsizetype firstLine = text.indexOf(QLatin1Char('\n'));
    text = QStringLiteral("usage: korvel-cli ") + QString(usage_).replace(QLatin1Char('\n'), QStringLiteral("\n       "))
        + text.mid(firstLine);
    return text;
}

QString VersionText()
{
    return QStringLiteral("korvel-cli " KORVEL_VERSION);
}

} // namespace korvel::cli
