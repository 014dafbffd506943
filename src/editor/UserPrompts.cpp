#include "editor/UserPrompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace korvel {

namespace {
UserPrompts g_plain;
UserPrompts* g_current = &g_plain;

QMessageBox::Icon qtIcon(UserPrompts::Icon icon)
{
    switch (icon) {
    case UserPrompts::Icon::Warning: return QMessageBox::Warning;
    case UserPrompts::Icon::Critical: return QMessageBox::Critical;
    case UserPrompts::Icon::Question: return QMessageBox::Question;
    case UserPrompts::Icon::Information: break;
    }
    return QMessageBox::Information;
}
} // namespace

UserPrompts::Answer UserPrompts::askYesNoCancel(QWidget* parent, const QString& title, const QString& text)
{
    const auto b = QMessageBox::question(
        parent, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (b == QMessageBox::Yes)
        return Answer::Yes;
    if (b == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

void UserPrompts::message(QWidget* parent, const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString UserPrompts::saveFileName(QWidget* parent, const QString& title, const QString& directory,
    const QString& presetName, const QString& defaultSuffix, const QString& filter)
{
    QFileDialog dialog(parent, title, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(presetName);
    // The overwrite question is the dialog's default.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString UserPrompts::openFileName(
    QWidget* parent, const QString& title, const QString& directory, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

bool UserPrompts::runDialog(QDialog* dialog)
{
    return dialog->exec() == QDialog::Accepted;
}

UserPrompts& Prompts()
{
    return *g_current;
}

void SetPrompts(UserPrompts* prompts)
{
    g_current = prompts ? prompts : &g_plain;
}

} // namespace korvel
