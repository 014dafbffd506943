#pragma once

#include <QDialog>
#include <QString>

class QImage;
class QLabel;

namespace korvel {

/// What the property dialogs share: the language section of the form (its object name), the
/// "…Inside" section of its messages, the help topic on F1 and the Help button.
class TPropertyForm : public QDialog {
    Q_OBJECT
public:
    explicit TPropertyForm(QWidget* parent = nullptr);

    /// A message text of the form's "…Inside" section.
    QString insideText(const char* key, const QString& fallback) const;

protected:
    /// Translates the form and binds F1 and the Help button to the topic; called by each
    /// dialog once its form is set up and before it is filled.
    void finishForm(const QString& helpTopic);
    /// Shows a preview picture in its area, shrunk (keeping its proportions) when it is larger.
    static void showPreview(QLabel* area, const QImage& picture);
    /// Shows a refusal in a message box with the "tishi" caption.
    void refuse(const QString& text);
};

} // namespace korvel
