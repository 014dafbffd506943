#pragma once

#include "document/ImageRules.h"
#include "editor/properties/PropertyForm.h"

#include <memory>

class QLineEdit;
class QSlider;

namespace Ui {
class ImagePropForm;
}

namespace korvel {

class TOAImage;

/// The image property dialog ("图像属性"): a view of ImageRules over its Designer form, with a
/// preview drawn by an image object. It never touches the object.
class TImagePropForm : public TPropertyForm {
    Q_OBJECT
public:
    TImagePropForm(const TOAImage& image, int zoomPercent, QWidget* parent = nullptr);
    ~TImagePropForm() override;

    ImageDialogValues values() const;
    const QImage& previewPicture() const { return preview_; }
    Ui::ImagePropForm* form() const { return ui_.get(); }

    /// Takes a picture file as the new source; false (with a message) when it is no picture.
    bool chooseFile(const QString& path);
    /// Takes the clipboard's picture as the new source.
    bool pasteClipboard();

private:
    void bindEntry(QLineEdit* edit, QSlider* bar);
    void showSourceSize();
    void widthMMChanged();
    void heightMMChanged();
    void percentChanged(bool width);
    void showSize();
    void refreshClipboard();
    void refreshPreview();

    std::unique_ptr<Ui::ImagePropForm> ui_;
    std::unique_ptr<TOAImage> sample_;
    int zoom_;
    QByteArray pictureFile_;
    QImage pictureImage_;
    double sourceWidthMM_ = 0;
    double sourceHeightMM_ = 0;
    ImageSizeFields size_;
    QImage preview_;
    bool filling_ = false;
};

} // namespace korvel
