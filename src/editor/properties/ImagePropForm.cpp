#include "editor/properties/ImagePropForm.h"

#include "ui_ImagePropForm.h"

#include "document/OAImage.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>

namespace korvel {

TImagePropForm::TImagePropForm(const TOAImage& image, int zoomPercent, QWidget* parent)
    : TPropertyForm(parent)
    , ui_(std::make_unique<Ui::ImagePropForm>())
    , zoom_(zoomPercent)
{
    ui_->setupUi(this);
    finishForm(HelpTopic::Image);
    sample_.reset(static_cast<TOAImage*>(image.clone().release()));

    filling_ = true;
    const ImageDialogValues v = ImageDialogValuesOf(image);
    ui_->EditBrightness->setText(QString::number(v.Brt));
    ui_->EditContrast->setText(QString::number(v.Ctr));
    // Each labelled colour is the one that changes on screen: the red row holds Blue.
    ui_->EditRed->setText(QString::number(v.Blue));
    ui_->EditGreen->setText(QString::number(v.Green));
    ui_->EditBlue->setText(QString::number(v.Red));
    ui_->ComboBoxBW->setCurrentIndex(ImageBWFromChoice(v.BW));
    ui_->CheckBoxInvert->setChecked(v.Invert);
    ui_->CheckBoxHorizontal->setChecked(v.Horizontal);
    ui_->CheckBoxVertical->setChecked(v.Vertical);
    ui_->CheckBoxOriginalSize->setChecked(v.OriginalSize == 1);
    ui_->CheckBoxKeepRatio->setChecked(v.keepProportion);
    size_.widthMM = v.widthMM;
    size_.heightMM = v.heightMM;
    showSourceSize();
    size_.widthPercent = ImagePercentFromMM(v.widthMM, sourceWidthMM_);
    size_.heightPercent = ImagePercentFromMM(v.heightMM, sourceHeightMM_);
    showSize();
    bindEntry(ui_->EditBrightness, ui_->TrackBarBrightness);
    bindEntry(ui_->EditContrast, ui_->TrackBarContrast);
    bindEntry(ui_->EditRed, ui_->TrackBarRed);
    bindEntry(ui_->EditGreen, ui_->TrackBarGreen);
    bindEntry(ui_->EditBlue, ui_->TrackBarBlue);
    filling_ = false;

    auto refresh = [this] {
        if (!filling_)
            refreshPreview();
    };
    connect(ui_->ComboBoxBW, &QComboBox::currentIndexChanged, this, refresh);
    for (QCheckBox* box : { ui_->CheckBoxInvert, ui_->CheckBoxHorizontal, ui_->CheckBoxVertical, ui_->CheckBoxOriginalSize })
        connect(box, &QCheckBox::toggled, this, refresh);
    connect(ui_->CheckBoxOriginalSize, &QCheckBox::toggled, this, [this](bool on) {
        const QList<QWidget*> sizeFields { ui_->EditWidth, ui_->EditHeight, ui_->EditWidthPercent,
            ui_->EditHeightPercent, ui_->CheckBoxKeepRatio };
        for (QWidget* w : sizeFields)
            w->setEnabled(!on);
    });
    connect(ui_->EditWidth, &QDoubleSpinBox::valueChanged, this, [this] { widthMMChanged(); });
    connect(ui_->EditHeight, &QDoubleSpinBox::valueChanged, this, [this] { heightMMChanged(); });
    connect(ui_->EditWidthPercent, &QDoubleSpinBox::valueChanged, this, [this] { percentChanged(true); });
    connect(ui_->EditHeightPercent, &QDoubleSpinBox::valueChanged, this, [this] { percentChanged(false); });
    connect(ui_->ButtonFile, &QPushButton::clicked, this, [this] {
        const QString path = Prompts().openFileName(this, insideText("OpenTitle", QStringLiteral("打开图像")), QString(),
            insideText("OpenFilter", QStringLiteral("图像文件 (*.bmp *.jpg *.jpeg *.png *.gif *.ico *.svg);;所有文件 (*)")));
        if (!path.isEmpty())
            chooseFile(path);
    });
    connect(ui_->ButtonClipboard, &QPushButton::clicked, this, [this] { pasteClipboard(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TImagePropForm::refreshClipboard);
    for (QWidget* w : std::initializer_list<QWidget*> { ui_->EditWidth, ui_->EditHeight, ui_->EditWidthPercent,
             ui_->EditHeightPercent, ui_->CheckBoxKeepRatio })
        w->setEnabled(v.OriginalSize != 1);
    refreshClipboard();
    refreshPreview();
}

TImagePropForm::~TImagePropForm() = default;

void TImagePropForm::bindEntry(QLineEdit* edit, QSlider* bar)
{
    bar->setValue(std::clamp(edit->text().toInt(), bar->minimum(), bar->maximum()));
    connect(edit, &QLineEdit::textEdited, this, [this, edit, bar](const QString& typed) {
        const QString corrected = CorrectImageEntry(typed);
        if (corrected != typed)
            edit->setText(corrected);
        const QSignalBlocker block(bar);
        bar->setValue(std::clamp(corrected.toInt(), bar->minimum(), bar->maximum()));
        if (!filling_)
            refreshPreview();
    });
    connect(bar, &QSlider::valueChanged, this, [this, edit](int value) {
        edit->setText(QString::number(value));
        if (!filling_)
            refreshPreview();
    });
}

void TImagePropForm::showSourceSize()
{
    int w = sample_->OrgWidth;
    int h = sample_->OrgHeight;
    if (!pictureImage_.isNull() || !pictureFile_.isEmpty()) {
        const SourcePicture s = pictureFile_.isEmpty() ? SourceFromImage(pictureImage_) : DecodeSourcePicture(pictureFile_);
        w = s.image.width();
        h = s.image.height();
    }
    sourceWidthMM_ = ImageSourceSizeMM(w);
    sourceHeightMM_ = ImageSourceSizeMM(h);
    ui_->LabelSourceSize->setText(QStringLiteral("%1 x %2 mm").arg(sourceWidthMM_, 0, 'f', 2).arg(sourceHeightMM_, 0, 'f', 2));
}

void TImagePropForm::showSize()
{
    const bool was = filling_;
    filling_ = true;
    const QSignalBlocker b1(ui_->EditWidth), b2(ui_->EditHeight), b3(ui_->EditWidthPercent), b4(ui_->EditHeightPercent);
    ui_->EditWidth->setValue(size_.widthMM);
    ui_->EditHeight->setValue(size_.heightMM);
    ui_->EditWidthPercent->setValue(ImageShownPercent(size_.widthPercent));
    ui_->EditHeightPercent->setValue(ImageShownPercent(size_.heightPercent));
    filling_ = was;
}

void TImagePropForm::widthMMChanged()
{
    if (filling_)
        return;
    size_.widthMM = ImageSizeFieldMM(ui_->EditWidth->value());
    ImageWidthPercentChanged(size_, ImagePercentFromMM(size_.widthMM, sourceWidthMM_),
                             ui_->CheckBoxKeepRatio->isChecked(), sourceWidthMM_, sourceHeightMM_);
    showSize();
    refreshPreview();
}

void TImagePropForm::heightMMChanged()
{
    if (filling_)
        return;
    size_.heightMM = ImageSizeFieldMM(ui_->EditHeight->value());
    ImageHeightPercentChanged(size_, ImagePercentFromMM(size_.heightMM, sourceHeightMM_),
                              ui_->CheckBoxKeepRatio->isChecked(), sourceWidthMM_, sourceHeightMM_);
    showSize();
    refreshPreview();
}

void TImagePropForm::percentChanged(bool width)
{
    if (filling_)
        return;
    const bool keep = ui_->CheckBoxKeepRatio->isChecked();
    if (width)
        ImageWidthPercentChanged(size_, ui_->EditWidthPercent->value(), keep, sourceWidthMM_, sourceHeightMM_);
    else
        ImageHeightPercentChanged(size_, ui_->EditHeightPercent->value(), keep, sourceWidthMM_, sourceHeightMM_);
    size_.widthMM = ImageSizeFieldMM(size_.widthMM);
    size_.heightMM = ImageSizeFieldMM(size_.heightMM);
    showSize();
    refreshPreview();
}

bool TImagePropForm::chooseFile(const QString& path)
{
    QFile f(path);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll();
    if (DecodeSourcePicture(bytes).error != PictureError::None) {
        refuse(FormatText(insideText("message1", QStringLiteral("%s 不是可以读取的图像文件")), path));
        return false;
    }
    pictureFile_ = bytes;
    pictureImage_ = QImage();
    showSourceSize();
    // A new picture starts at its own size.
    size_ = { sourceWidthMM_, sourceHeightMM_, 100, 100 };
    showSize();
    refreshPreview();
    return true;
}

bool TImagePropForm::pasteClipboard()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull() || SourceFromImage(image).error != PictureError::None)
        return false;
    pictureImage_ = image;
    pictureFile_.clear();
    showSourceSize();
    size_ = { sourceWidthMM_, sourceHeightMM_, 100, 100 };
    showSize();
    refreshPreview();
    return true;
}

void TImagePropForm::refreshClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ui_->ButtonClipboard->setEnabled(data && data->hasImage());
}

ImageDialogValues TImagePropForm::values() const
{
    ImageDialogValues v;
    v.pictureFile = pictureFile_;
    v.pictureImage = pictureImage_;
    v.Brt = CorrectImageEntry(ui_->EditBrightness->text()).toInt();
    v.Ctr = CorrectImageEntry(ui_->EditContrast->text()).toInt();
    v.Blue = CorrectImageEntry(ui_->EditRed->text()).toInt();
    v.Green = CorrectImageEntry(ui_->EditGreen->text()).toInt();
    v.Red = CorrectImageEntry(ui_->EditBlue->text()).toInt();
    v.BW = ImageBWFromChoice(ui_->ComboBoxBW->currentIndex());
    v.Invert = ui_->CheckBoxInvert->isChecked();
    v.Horizontal = ui_->CheckBoxHorizontal->isChecked();
    v.Vertical = ui_->CheckBoxVertical->isChecked();
    v.OriginalSize = ui_->CheckBoxOriginalSize->isChecked() ? 1 : 0;
    v.keepProportion = ui_->CheckBoxKeepRatio->isChecked();
    v.widthMM = size_.widthMM;
    v.heightMM = size_.heightMM;
    return v;
}

void TImagePropForm::refreshPreview()
{
    auto copy = std::unique_ptr<TOAImage>(static_cast<TOAImage*>(sample_->clone().release()));
    ApplyImageDialogValues(*copy, values(), zoom_);
    preview_ = copy->DstBitmap();
    showPreview(ui_->ImagePreview, preview_);
}

} // namespace korvel
