#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace korvel {

/// Every question box, message box and file dialog of the designer goes through this object,
/// so tests can answer them and see what the user would have been told.
class UserPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Icon { Information, Warning, Critical, Question };

    virtual ~UserPrompts() = default;

    virtual Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& text);
    virtual void message(QWidget* parent, const QString& title, const QString& text, Icon icon);
    /// A save dialog; an empty string when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
        const QString& presetName, const QString& defaultSuffix, const QString& filter);
    /// An open dialog; an empty string when cancelled.
    virtual QString openFileName(
        QWidget* parent, const QString& title, const QString& directory, const QString& filter);
    /// Runs a modal dialog; true when it was accepted.
    virtual bool runDialog(QDialog* dialog);
};

/// The process-wide prompts (a plain Qt implementation unless replaced).
UserPrompts& Prompts();
/// Replaces the prompts; null restores the plain implementation. The caller keeps ownership.
void SetPrompts(UserPrompts* prompts);

} // namespace korvel
