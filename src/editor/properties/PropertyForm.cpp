#include "editor/properties/PropertyForm.h"

#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace korvel {

TPropertyForm::TPropertyForm(QWidget* parent)
    : QDialog(parent)
{
}

QString TPropertyForm::insideText(const char* key, const QString& fallback) const
{
    return LookupText(objectName() + QStringLiteral("Inside"), QString::fromLatin1(key), fallback);
}

void TPropertyForm::finishForm(const QString& helpTopic)
{
    setProperty("formSection", objectName());
    TranslateWindow(this);
    BindHelpKey(this, helpTopic);
    if (auto* help = findChild<QPushButton*>(QStringLiteral("BitBtnHelp"))) {
        help->setAutoDefault(false);
        connect(help, &QPushButton::clicked, this, [helpTopic] { ShowHelpTopic(helpTopic); });
    }
    if (auto* cancel = findChild<QPushButton*>(QStringLiteral("BitBtnCancel"))) {
        cancel->setAutoDefault(false);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    if (auto* ok = findChild<QPushButton*>(QStringLiteral("BitBtnOK")))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TPropertyForm::refuse(const QString& text)
{
    Prompts().message(this, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示")), text,
                      UserPrompts::Icon::Warning);
}

void TPropertyForm::showPreview(QLabel* area, const QImage& picture)
{
    QPixmap pixmap = QPixmap::fromImage(picture);
    const QSize room = area->minimumSize();
    if (pixmap.width() > room.width() || pixmap.height() > room.height())
        pixmap = pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    area->setPixmap(pixmap);
}

} // namespace korvel
