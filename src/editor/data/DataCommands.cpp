#include "editor/data/DataCommands.h"

#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/OAWorkSpace.h"
#include "editor/UserPrompts.h"
#include "editor/data/CounterForm.h"
#include "editor/data/DataPropertyDialog.h"
#include "editor/data/DataSourceForm.h"
#include "editor/data/DataTexts.h"
#include "editor/data/DateTimeForms.h"
#include "editor/data/FormulaForm.h"
#include "editor/data/LocateForm.h"
#include "editor/data/WaitCursor.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/RecordRefresh.h"


namespace korvel {

VariableKind KindOfNodeIndex(int index)
{
    return index >= 0 && index <= 4 ? static_cast<VariableKind>(index + 1) : VariableKind::Constant;
}

TDataCommands::TDataCommands(TChildForm& child)
    : QObject(&child)
    , child_(child)
    , patterns_(DateTimePatterns::builtIn())
{
}

TDataCommands::~TDataCommands() = default;

LabelDocument& TDataCommands::document() const
{
    return child_.document();
}

bool TDataCommands::handles(Command command)
{
    switch (command) {
    case Command::AddVariable:
    case Command::ModifyVariable:
    case Command::SetDatabase:
    case Command::CloseQuery:
    case Command::MoveRecord:
    case Command::DeleteVariable:
    case Command::RebuildDataTree:
    case Command::ForgetDataSource:
    case Command::Disconnect: return true;
    default: return false;
    }
}

bool TDataCommands::isConnected() const
{
    return source_ && source_->isConnected();
}

bool TDataCommands::isAvailable(Command command, int wParam) const
{
    const bool open = isConnected() && source_->isOpen();
    switch (command) {
    case Command::CloseQuery:
    case Command::Disconnect: return isConnected();
    case Command::ForgetDataSource: return !isConnected();
    case Command::MoveRecord: {
        if (!open || source_->recordCount() == 0)
            return false;
        const int at = source_->recordNumber();
        switch (static_cast<RecordMove>(wParam)) {
        case RecordMove::First:
        case RecordMove::Prior: return at > 1;
        case RecordMove::Next:
        case RecordMove::Last: return at < source_->recordCount();
        case RecordMove::Located: return true;
        }
        return false;
    }
    default: return handles(command);
    }
}

bool TDataCommands::dispatch(Command command, int wParam, int lParam)
{
    switch (command) {
    case Command::AddVariable: return addVariable(KindOfNodeIndex(wParam));
    case Command::ModifyVariable: return editVariable(wParam, KindOfNodeIndex(lParam));
    case Command::DeleteVariable: return deleteVariable(wParam, KindOfNodeIndex(lParam));
    case Command::SetDatabase: return openDataSourceDialog(wParam == 1, lParam == 1);
    case Command::CloseQuery: return closeQuery();
    case Command::ForgetDataSource: forget(); return true;
    case Command::Disconnect: disconnect(); return true;
    case Command::MoveRecord: return moveRecord(wParam, lParam);
    case Command::RebuildDataTree: emit treeChanged(); return true;
    default: return false;
    }
}

EvaluationContext TDataCommands::context() const
{
    EvaluationContext c;
    c.fields = source_ && source_->isOpen() ? source_.get() : nullptr;
    c.clock = clock_;
    c.patterns = &patterns_;
    return c;
}

void TDataCommands::refreshObjects(bool markChanged)
{
    patterns_ = LanguagePatterns();
    LabelDocument& doc = document();
    const bool wasModified = doc.modified;
    RefreshFromRecord(doc, context());
    if (!markChanged)
        doc.modified = wasModified;
    if (TOAWorkspace* w = child_.workspace())
        w->refresh();
}

void TDataCommands::documentOpened()
{
    const BindingResult r = RestoreDataSource(document(), source_);
    if (!r.ok) {
        source_.reset();
        Prompts().message(&child_, QStringLiteral("HINT"), r.message, UserPrompts::Icon::Warning);
    }
    refreshObjects(false);
    emit treeChanged();
}

bool TDataCommands::addVariable(VariableKind kind)
{
    if (kind == VariableKind::Database || !HasTable(kind))
        return false;
    // A full table takes nothing more, whoever asks.
    if (!CanAddVariable(document().variables, kind))
        return false;
    if (AddVariable(document(), kind) == 0)
        return false;
    emit treeChanged();
    return true;
}

bool TDataCommands::editVariable(int entry, VariableKind kind)
{
    LabelDocument& doc = document();
    QByteArray* bytes = Entry(doc.variables, kind, entry);
    if (!bytes)
        return false;
    const QByteArray name = EntryName(doc.variables, kind, entry);
    const QString shown = DisplayedVariableName(kind, name, LanguageKindWord(kind));
    patterns_ = LanguagePatterns();
    QByteArray edited;
    bool ok = false;
    switch (kind) {
    case VariableKind::Database: {
        QByteArray current = ConstDatabaseFieldEntry(*bytes).value();
        if (source_ && source_->isOpen())
            current = source_->value(name).value_or(current);
        TDataPropertyForm dialog(*bytes, current, &child_);
        ok = Prompts().runDialog(&dialog);
        edited = dialog.entry();
        break;
    }
    case VariableKind::Date: {
        TDateForm dialog(*bytes, shown, patterns_, clock_, &child_);
        ok = Prompts().runDialog(&dialog);
        edited = dialog.entry();
        break;
    }
    case VariableKind::Time: {
        TTimeForm dialog(*bytes, shown, patterns_, clock_, &child_);
        ok = Prompts().runDialog(&dialog);
        edited = dialog.entry();
        break;
    }
    case VariableKind::Counter: {
        TCounterForm dialog(*bytes, shown, &child_);
        ok = Prompts().runDialog(&dialog);
        edited = dialog.entry();
        break;
    }
    case VariableKind::Formula: {
        TFormulaForm dialog(doc.variables, *bytes, shown, &child_);
        ok = Prompts().runDialog(&dialog);
        edited = dialog.entry();
        break;
    }
    default: return false;
    }
    if (!ok)
        return false;
    // The table may not have moved while the dialog was open, but look the entry up again.
    if (QByteArray* target = Entry(doc.variables, kind, entry)) {
        *target = edited;
        doc.markModified();
        refreshObjects();
        emit treeChanged();
    }
    return true;
}

bool TDataCommands::deleteVariable(int entry, VariableKind kind)
{
    if (kind == VariableKind::Database || !HasTable(kind))
        return false;
    switch (DeleteVariable(document(), kind, entry)) {
    case DeleteResult::Deleted: emit treeChanged(); return true;
    case DeleteResult::InUse:
        ShowDataMessage(&child_, "ChildFormInside", "message4", QStringLiteral("该变量已经使用,不能删除!"));
        return false;
    case DeleteResult::NoSuchEntry: break;
    }
    return false;
}

bool TDataCommands::openDataSourceDialog(bool resultPage, bool afresh)
{
    LabelDocument& doc = document();
    TDataSourceForm dialog(afresh ? DatabaseBinding {} : doc.database, resultPage, &child_);
    if (!Prompts().runDialog(&dialog))
        return false;
    const DataSourceChoice choice = dialog.draft().choice();
    const DatabaseBinding& stored = doc.database;
    const bool unchanged = isConnected() && stored.active && stored.sourceBlock == choice.block.toBytes()
        && SameSqlText(stored.sql, choice.sql.isEmpty() ? JoinSqlLines(BuildSqlLines(QueryParts::fromBlock(choice.block))) : choice.sql);
    if (unchanged)
        return true;
    BindingResult r;
    {
        WaitCursor wait;
        r = ApplyDataSource(doc, source_, choice);
    }
    if (!r.ok) {
        // The stored choice and the live source stay as they were.
        Prompts().message(&child_, QStringLiteral("error"), r.message, UserPrompts::Icon::Warning);
        return false;
    }
    if (!r.message.isEmpty())
        ShowDataMessageText(&child_, r.message);
    refreshObjects();
    emit treeChanged();
    return true;
}

bool TDataCommands::closeQuery()
{
    const BindingResult r = CloseDataSource(document(), source_);
    if (!r.ok) {
        ShowDataMessage(&child_, "ChildFormInside", "message3", DataSourceInUseMessage());
        return false;
    }
    emit treeChanged();
    return true;
}

void TDataCommands::forget()
{
    LabelDocument& doc = document();
    if (doc.database == DatabaseBinding {})
        return;
    doc.database = DatabaseBinding {};
    doc.markModified();
}

void TDataCommands::disconnect()
{
    DisconnectDataSource(document(), source_);
    emit treeChanged();
}

bool TDataCommands::moveRecord(int move, int recordNumber)
{
    if (!isAvailable(Command::MoveRecord, move))
        return false;
    DatabaseSource& s = *source_;
    switch (static_cast<RecordMove>(move)) {
    case RecordMove::First: s.first(); break;
    case RecordMove::Prior: s.prior(); break;
    case RecordMove::Next: s.next(); break;
    case RecordMove::Last: s.last(); break;
    case RecordMove::Located:
        if (recordNumber > 0) {
            if (!s.locate(recordNumber))
                return false;
        } else {
            TFormShowDataBase dialog(s, &child_);
            if (!Prompts().runDialog(&dialog))
                return false;
        }
        break;
    default: return false;
    }
    StoreRecordNumber(document(), s);
    refreshObjects();
    return true;
}

} // namespace korvel
