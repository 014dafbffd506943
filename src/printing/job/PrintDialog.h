#pragma once

#include "persistence/PrintLog.h"
#include "printing/ports/PortStatus.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace korvel {

class LabelDocument;
struct TPageRecord;

// The print command and the print dialog ("打印设置") without their windows.

/// Whether the page's label grid fits the paper inside its margins. A grid without a column or
/// a row fits nothing (a job could not place a single label on it).
bool LabelsFitPage(const TPageRecord& page);

/// What the print command says before anything is sent: "ChildFormInside"/"message5" when the
/// labels do not fit the page, "message6" when the document has no objects (both without a
/// built-in text, captioned "All"/"tishi"). Nothing when the command may go on.
std::optional<MessageText> CheckPrintCommand(const LabelDocument& document);
/// The caption of those two messages.
MessageText PrintCommandCaption();

/// The numbers a document window remembers between print commands.
struct StoredPrintNumbers {
    std::int64_t count = 0;
    std::int64_t copies = 0;
    QByteArray quantityField;
};

/// The per-window table of the main window: 80 entries, indexed by the window's number.
class PrintNumberTable {
public:
    static constexpr int Capacity = 80;
    /// The stored numbers of a window; a window number outside the table has none.
    StoredPrintNumbers get(int window) const;
    void store(int window, const StoredPrintNumbers& numbers);

private:
    std::array<StoredPrintNumbers, Capacity> entries_ {};
};

/// What the print command starts from: the stored count and copies (0 counts as 1) and the
/// start record, which is the data set's current record for a document with a database
/// variable and 1 otherwise.
struct PrintNumbers {
    int startRecord = 1;
    std::int64_t count = 1;
    std::int64_t copies = 1;
};
PrintNumbers InitialPrintNumbers(const StoredPrintNumbers& stored, bool hasDatabase, int currentRecord);

/// The dialog's three shapes.
enum class PrintDialogLayout : int {
    CountOnly = 0, ///< no variables: only the label count
    Variables = 1, ///< records, copies and their product
    Database = 2, ///< additionally the start record, record seek and the quantity field
};

struct PrintDialogState {
    PrintDialogLayout layout = PrintDialogLayout::CountOnly;
    /// Window size; the database shape keeps the form's own size (an empty size).
    QSize size;
    bool startVisible = false; ///< edS, BtnSeekRecord, BtnSameNumber
    bool startEnabled = false;
    bool copiesVisible = false; ///< edSame
    bool copiesEnabled = false;
    bool totalVisible = false; ///< AllNumber
    /// The copies label comes from "PrintFormInside"/"message2" (database shape).
    bool copiesLabelFromLanguage = false;
    /// "断开..." is visible with "选项..." and enabled exactly while edSame is disabled.
    bool disconnectEnabled = false;
    QString quantityField;
    QString copiesText;
};

/// The dialog as it opens. With a quantity field chosen earlier (the quantity-from-field flag),
/// the copies stay disabled.
PrintDialogState OpenPrintDialog(bool hasVariables, bool hasDatabase, bool quantityFromField,
    const QByteArray& storedQuantityField, std::int64_t copies);
/// "选项...": a field was chosen from the data set.
void ChooseQuantityField(PrintDialogState& state, const QString& field);
/// "断开...": back to copies (the field name stays in its edit).
void DisconnectQuantityField(PrintDialogState& state);

/// An edit after a change or on leaving it: an optional minus sign and digits are taken; a
/// negative or non-numeric entry becomes "1".
QString SanitizeCountEntry(const QString& text);
/// The copies edit: as above, and above 99999 becomes "1".
QString SanitizeCopiesEntry(const QString& text);
/// AllNumber: edN × edSame when both are numbers; nothing otherwise (the shown text stays).
std::optional<QString> TotalText(const QString& count, const QString& copies);

/// The dialog's edits and boxes when OK is pressed.
struct PrintDialogFields {
    QString start = QStringLiteral("1");
    QString count = QStringLiteral("1");
    QString copies = QStringLiteral("1");
    bool copiesEnabled = true;
    bool writeToFile = false;
    bool saveLog = false; ///< "保存打印记录到\..\LOG.ini"
};

struct PrintDialogOutcome {
    int startRecord = 1;
    std::int64_t count = 1;
    std::int64_t copies = 1;
    bool writeToFile = false;
    /// Document message 0x445 (set, copies disabled) or 0x446 (clear).
    bool quantityFromField = false;
    /// The copies were not a number: "PrintFormInside"/"message1" is shown and they become 1.
    std::optional<MessageText> copiesMessage;
    /// The entry for "LOG.ini" when the box was ticked.
    std::optional<PrintLogEntry> log;
    /// What the window remembers (also on Cancel).
    StoredPrintNumbers stored;
};

/// OK. firstField is the first column of the data set's current record (for the log).
PrintDialogOutcome AcceptPrintDialog(const PrintDialogFields& fields, const QByteArray& firstField);
/// Cancel: only the numbers are remembered.
StoredPrintNumbers CancelPrintDialog(const PrintDialogFields& fields);

} // namespace korvel
