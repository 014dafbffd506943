#pragma once

#include <QString>
#include <QStringList>

namespace korvel {

class LabelDocument;
class TOAControl;
class TOperation;

/// The nine toggle buttons of the text formatting bar.
enum class FormatButton : int { Bold, Italic, Underline, Reverse, Outline, Left, Centre, Right, Distributed };

/// What the bar shows for one document window.
struct FormatState {
    QString fontName;
    QString sizeText = QStringLiteral("8");
    bool bold = false, italic = false, underline = false;
    bool reverse = false, outline = false;
    /// 0 none, 1 left, 2 centre, 3 right, 4 distributed.
    int alignment = 0;

    bool boxesEnabled = false; ///< font name and size boxes
    bool stylesEnabled = false; ///< bold, italic, underline
    bool textOnlyEnabled = false; ///< white on black, outline
    bool alignEnabled = false; ///< the four alignment buttons

    bool pressed(FormatButton button) const;
    bool enabled(FormatButton button) const;
};

/// The formatting bar's model of one document: follows the selection and changes the fonts
/// and alignments of the selected texts, or of the human-readable text of the selected
/// barcodes, each change one undo step.
class FormattingBar {
public:
    /// The sizes the size box offers.
    static QStringList SizeChoices();
    /// Whether the size box's text may be sent: a digit or "-" and then only digits.
    static bool IsWholeNumberText(const QString& text);

    FormattingBar(LabelDocument& document, TOperation& history);

    const FormatState& state() const { return state_; }
    /// The first installed font: the initial name.
    void setInitialFont(const QString& name) { state_.fontName = name; }

    /// Recomputes the enabling from the selection (a disabled button shows released).
    void refreshEnabling();
    /// Shows one object's format (a text or a barcode).
    void showFormat(const TOAControl& object);
    /// After a click or band: shows the single selected object's format and the enabling.
    void followSelection();

    /// Command 0x452: every selected text or barcode takes the font name.
    bool applyFontName(const QString& name);
    /// Command 0x453: the size in points ("0" resets the box to "8"; above 200 is refused).
    bool applyFontSize(const QString& text);
    /// A toggle button was clicked.
    bool press(FormatButton button);

private:
    bool textsSelected() const;
    bool barcodesSelected() const;

    LabelDocument& document_;
    TOperation& history_;
    FormatState state_;
};

} // namespace korvel
