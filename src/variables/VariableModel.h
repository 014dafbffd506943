#pragma once

#include "document/VariableTables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace korvel {

class LabelDocument;
class TOAControl;

/// Kind of a variable; also the `VarType` of a text or barcode object. Values are stored.
enum class VariableKind : int {
    Constant = 0,
    Database = 1,
    Date = 2,
    Time = 3,
    Counter = 4,
    Formula = 5,
};

/// Marker in front of a formula constant, in this exact case.
inline constexpr char ConstMarker[] = "<const>";
/// What the design surface shows for a bound object whose value is blank.
inline constexpr char NullMarker[] = "<NULL>";

/// True for the five kinds that have a table.
bool HasTable(VariableKind kind);
/// Number of entries a table can hold: 98 database fields, 99 of every other kind; 0 otherwise.
int TableCapacity(VariableKind kind);
/// Size in bytes of one entry of the kind's table; 0 for kinds without a table.
int EntrySize(VariableKind kind);
/// Prefix of generated names ("Date", "Time", "Counter", "Formula"); empty for the others.
QByteArray NamePrefix(VariableKind kind);
/// Key of the kind's displayed word in section "All" of the language file.
QString KindLanguageKey(VariableKind kind);

/// The kind's table, or null for kinds without one.
std::vector<QByteArray>* Table(VariableTables& tables, VariableKind kind);
const std::vector<QByteArray>* Table(const VariableTables& tables, VariableKind kind);
/// Number of entries in the kind's table (0 without a table).
int EntryCount(const VariableTables& tables, VariableKind kind);
/// The bytes of 1-based entry `entry`, or null when there is no such entry.
QByteArray* Entry(VariableTables& tables, VariableKind kind, int entry);
const QByteArray* Entry(const VariableTables& tables, VariableKind kind, int entry);
/// The stored name of an entry (every entry begins with its length-prefixed name).
QByteArray EntryName(const VariableTables& tables, VariableKind kind, int entry);

// --- names as bytes of the document code page ---------------------------------------------

/// Upper-cases the single-byte ASCII letters only; the bytes of double-byte characters stay
/// untouched (their trail bytes can look like letters).
QByteArray UpperAscii(const QByteArray& text);
/// Names are compared without regard to case.
bool SameName(const QByteArray& a, const QByteArray& b);
/// Removes leading and trailing spaces and control characters.
QByteArray TrimSpaces(const QByteArray& text);
/// True when the text is empty after trimming.
bool IsBlank(const QByteArray& text);
/// What the design surface shows for a variable's value: the value, or "<NULL>" when blank.
QByteArray SurfaceText(const QByteArray& value);
/// What a text drawn with a screen font prints for a variable's value: a single space when blank.
QByteArray PrintedText(const QByteArray& value);

// --- lookups ------------------------------------------------------------------------------

/// 1-based number of the entry of that kind whose name equals `name` (case-insensitive), or 0.
int FindVariable(const VariableTables& tables, VariableKind kind, const QByteArray& name);
int FindVariable(const LabelDocument& document, VariableKind kind, const QByteArray& name);
/// Kind of a formula part: Constant for "<CONST>…" (exact case) and for unknown names;
/// otherwise the first table, in the order database, date, time, formula, counter, that holds
/// the trimmed name.
VariableKind VariableKindOf(const VariableTables& tables, const QByteArray& name);
VariableKind VariableKindOf(const LabelDocument& document, const QByteArray& name);
/// True for a "<const>" part (exact case) or the name of an entry of any table.
bool IsKnownOperand(const VariableTables& tables, const QByteArray& name);
bool IsKnownOperand(const LabelDocument& document, const QByteArray& name);
/// Prefix of the kind followed by the smallest number from 1 that no entry bears; empty for
/// kinds without generated names.
QByteArray NextVariableName(const VariableTables& tables, VariableKind kind);
QByteArray NextVariableName(const LabelDocument& document, VariableKind kind);
/// True when a text or barcode object is bound to the entry (kind and exact name), or when a
/// formula's expression, spaces removed and upper-cased, contains the upper-cased name.
bool IsVariableInUse(const LabelDocument& document, VariableKind kind, int entry);
/// True when a formula's expression refers to the name (the formula half of the check above).
bool IsUsedByFormula(const VariableTables& tables, const QByteArray& name);

// --- displayed names ----------------------------------------------------------------------

/// The language's word for each kind (section "All", KindLanguageKey), indexed by kind number;
/// nullopt when the language file lacks it.
using KindWords = std::array<std::optional<QString>, 6>;

/// All digits of a name in order ("Date12" gives "12").
QByteArray VariableNumber(const QByteArray& name);
/// The name shown to the user: the kind's word followed by the number; database variables are
/// shown by their column name.
QString DisplayedVariableName(VariableKind kind, const QByteArray& name, const QString& kindWord);

// --- content source of a text or barcode object ------------------------------------------

/// The content sources the text property dialog offers; the list position is the kind.
QStringList ContentSourceLabels();
/// Binds an object to a variable; choosing fixed content clears the name and sets kind 0.
void ChooseContentSource(TOAControl& object, VariableKind kind, const QByteArray& name);

// --- adding and deleting ------------------------------------------------------------------

/// The property dialogs' add buttons are enabled while the table holds fewer than 99 entries.
bool CanAddVariable(const VariableTables& tables, VariableKind kind);

/// A new entry of the kind with its defaults and the given name (empty for kinds without a
/// table).
QByteArray NewEntry(VariableKind kind, const QByteArray& name);
/// Appends a new entry named by NextVariableName and marks the document changed. Returns the
/// new entry's number, or 0 when the kind has no generated names or the table is full.
int AddVariable(LabelDocument& document, VariableKind kind);

enum class DeleteResult : int {
    Deleted = 0,
    InUse = 1, ///< refused: "ChildFormInside"/"message4"
    NoSuchEntry = 2,
};
/// Removes an entry unless it is in use; the following entries move down and keep their names.
DeleteResult DeleteVariable(LabelDocument& document, VariableKind kind, int entry);
/// Removes an entry without the in-use check: the entry a cancelled add dialog leaves behind
/// (a new Date1 counts as used by a formula that names Date10). False when there is no entry.
bool RemoveEntry(VariableTables& tables, VariableKind kind, int entry);

} // namespace korvel
