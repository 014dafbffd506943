#pragma once

#include "document/TextRules.h"
#include "editor/properties/ContentSource.h"
#include "editor/properties/PropertyForm.h"

#include <QImage>

#include <memory>

namespace Ui {
class TextPropForm;
}

namespace korvel {

class LabelDocument;
class TOAText;

/// The text property dialog ("文本属性"): a view of TextRules over its Designer form. It never
/// touches the object; values() is what OK hands to ApplyTextDialogValues.
class TTextPropForm : public TPropertyForm {
    Q_OBJECT
public:
    TTextPropForm(const LabelDocument& document, const TOAText& text, QWidget* parent = nullptr);
    ~TTextPropForm() override;

    /// The values as the fields show them; Text is the fixed text or the bound variable's
    /// present value.
    TextDialogValues values() const;
    /// False after OK on fixed content with an empty text: the object is left as it was.
    bool changesObject() const;
    /// The preview picture, drawn by a text object with the dialog's values.
    const QImage& previewPicture() const { return preview_; }

    Ui::TextPropForm* form() const { return ui_.get(); }

    /// Lets the add and modify buttons beside the variable list reach the document window.
    void setVariableCommand(VariableCommand command);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(const TextDialogValues& v);
    void enableFields();
    void fontSizeEdited();
    void refreshLength();
    void refreshPreview();
    QByteArray fixedText() const;

    std::unique_ptr<Ui::TextPropForm> ui_;
    ContentSource* source_;
    std::unique_ptr<TOAText> sample_;
    int fontSize_ = 12;
    QImage preview_;
    bool filling_ = false;
};

} // namespace korvel
