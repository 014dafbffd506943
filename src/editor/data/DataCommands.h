#pragma once

#include "editor/Commands.h"
#include "variables/DateTimeVariables.h"
#include "variables/Evaluation.h"
#include "variables/VariableModel.h"

#include <QObject>

#include <memory>

namespace korvel {

class DatabaseSource;
class LabelDocument;
class TChildForm;

/// The variable and data-source commands of a document window (0x412 … 0x417, 0x451,
/// 0x454, 0x455; 0x414 with lParam 1 opens the dialog without the stored choice): the dialogs of the variable kinds, the data-source dialog, the record moves
/// and the locate dialog. It owns the document's live data source.
class TDataCommands : public QObject {
    Q_OBJECT
public:
    explicit TDataCommands(TChildForm& child);
    ~TDataCommands() override;

    /// Whether the command is one of these.
    static bool handles(Command command);
    /// Enabled state; for record moves `wParam` is the move.
    bool isAvailable(Command command, int wParam) const;
    /// Carries out a command; false when it was refused or cancelled.
    bool dispatch(Command command, int wParam, int lParam);

    /// A document was read from a file: re-opens its stored data source (a failure is told in
    /// a box titled "HINT" and leaves the stored choice as it is) and shows the current values.
    void documentOpened();

    bool isConnected() const;
    DatabaseSource* source() const { return source_.get(); }
    /// What evaluation reads: the live record, the clock and the language's patterns.
    EvaluationContext context() const;
    /// Tests fix the clock.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    /// Shows every bound object's present value and repaints the surface.
    void refreshObjects(bool markChanged = true);

signals:
    /// The data-source tree must be rebuilt (tables or the connection changed).
    void treeChanged();

private:
    bool addVariable(VariableKind kind);
    bool editVariable(int entry, VariableKind kind);
    bool deleteVariable(int entry, VariableKind kind);
    bool openDataSourceDialog(bool resultPage, bool afresh);
    bool closeQuery();
    void forget();
    void disconnect();
    bool moveRecord(int move, int recordNumber);
    LabelDocument& document() const;

    TChildForm& child_;
    std::unique_ptr<DatabaseSource> source_;
    Clock clock_;
    DateTimePatterns patterns_;
};

/// The variable kind of a tree node index (0 database … 4 formula), the "kind - 1" that
/// 0x412, 0x413 and 0x417 carry.
VariableKind KindOfNodeIndex(int index);

} // namespace korvel
