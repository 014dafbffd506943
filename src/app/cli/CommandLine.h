#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace korvel::cli {

/// The options several commands share, defined once.
namespace option {
QCommandLineOption output(const QString& valueName); ///< -o, --output
QCommandLineOption data(); ///< --data SOURCE
QCommandLineOption dataEncoding(); ///< --data-encoding NAME
QCommandLineOption acceptDamaged(); ///< --accept-damaged
QCommandLineOption record(); ///< --record N
} // namespace option

/// One command's arguments, read by one QCommandLineParser. The command adds its options,
/// parses, and reads them back; usage errors come out as one line with the command's usage
/// (exit 2), `--help` as the command's help on stdout (exit 0).
class CommandLine {
public:
    /// `usage` is the command's usage text after "korvel-cli " (its lines joined by '\n').
    CommandLine(const QString& command, const QString& usage, const QString& description);

    void add(const QCommandLineOption& option);
    void addPositional(const QString& name, const QString& description);

    /// Reads the arguments (without program and command names). Returns an exit code when the
    /// command is done (help shown, or a usage error reported), nothing when it goes on.
    std::optional<int> parse(const QStringList& arguments);

    bool isSet(const QCommandLineOption& option) const { return parser_.isSet(option); }
    bool isSet(const QString& name) const { return parser_.isSet(name); }
    /// The last value given (a later option overrides an earlier one).
    QString value(const QCommandLineOption& option) const { return parser_.value(option); }
    QStringList positionals() const { return parser_.positionalArguments(); }
    /// A whole number within [low, high]; an error text (empty when fine) otherwise.
    std::optional<std::int64_t> number(
        const QCommandLineOption& option, std::int64_t low, std::int64_t high, QString& error) const;

    /// Reports a usage error: one line, then the usage. Returns the usage exit code.
    int usage(const QString& why) const;
    QString helpText() const;

private:
    QString command_;
    QString usage_;
    QCommandLineParser parser_;
    std::vector<QCommandLineOption> options_;
    QCommandLineOption help_;
    /// The name by which an option was written ("-o", "--output"), for messages.
    QString spelled(const QString& name) const;
    const QCommandLineOption* find(const QString& name) const;
};

/// Text of the program's version (from the project's version).
QString VersionText();

} // namespace korvel::cli
