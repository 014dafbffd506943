#include "editor/printing/PrinterSetForm.h"

#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"

#include "ui_PrinterSetForm.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace korvel {

namespace {

void select(QComboBox* box, int index)
{
    // A position the box does not hold leaves its selection as it was.
    if (index >= 0 && index < box->count())
        box->setCurrentIndex(index);
}

} // namespace

TFormPrinterSet::TFormPrinterSet(const PrinterWorkingCopy& copy, int currentModel,
    const TPrinterSetting& modelOneProfile, const PortChoices& ports, const PrinterSetEnvironment& env,
    QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::FormPrinterSet>())
    , copy_(copy)
    , modelOneProfile_(modelOneProfile)
    , env_(env)
    , ports_(ports)
    , currentModel_(currentModel)
{
    ui_->setupUi(this);
    setProperty("helpTopic", HelpTopic::PrinterSettings);
    for (const PrinterModel& m : PrinterModels())
        ui_->ComboBoxPrinterID->addItem(m.name);
    // The LED row stays hidden; its value still travels with the record.
    ui_->LabelLED->hide();
    ui_->cbLED->hide();
    for (QDoubleSpinBox* spin : { ui_->seOutDistance, ui_->sePosition })
        if (auto* edit = spin->findChild<QLineEdit*>())
            edit->setReadOnly(true); // spin only, no typing

    FillResult filled = FillPrinterSetDialog(copy_, currentModel_, env_);
    controls_ = filled.controls;
    controls_.tcp = ports_.tcp;
    if (!ports_.tcp.isEmpty())
        controls_.port = PortChoice::Tcp;
    fillMessage_ = filled.message;
    ui_->edTcp->setText(ports_.tcp);
    showControls();

    connect(ui_->ComboBoxPrinterID, &QComboBox::activated, this, [this](int position) {
        readControls();
        ChangePrinterModel(controls_, copy_, position, modelOneProfile_, env_);
        showControls();
    });
    connect(ui_->cbPrintDPI, &QComboBox::activated, this, [this](int position) {
        readControls();
        ChangeResolution(controls_, position);
        showControls();
    });
    connect(ui_->cbFeedType, &QComboBox::activated, this, [this](int position) {
        readControls();
        ChangeFeedType(controls_, position);
        showControls();
    });
    connect(ui_->cbComPort, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (filling_ || position < 0)
            return;
        ports_.serialDevices[std::size_t(shownSerial_)] = ui_->cbComDevice->currentText().trimmed();
        shownSerial_ = position;
        ui_->cbComDevice->setEditText(ports_.serialDevices[std::size_t(position)]);
    });
    const std::pair<QRadioButton*, PortChoice> radios[] = { { ui_->rdCOMPort, PortChoice::Serial },
        { ui_->rdLPTPort, PortChoice::Parallel }, { ui_->rdUSBPort, PortChoice::Usb },
        { ui_->RbUSB_PrinterMode, PortChoice::UsbPrinterMode }, { ui_->rdDriverPort, PortChoice::Driver },
        { ui_->rdTCPPort, PortChoice::Tcp } };
    for (const auto& [radio, port] : radios)
        connect(radio, &QRadioButton::clicked, this, [this, port = port] { choosePort(port); });
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &TFormPrinterSet::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtnHelp, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic::PrinterSettings); });
    connect(ui_->ButtonDriver, &QPushButton::clicked, this, [this] {
        // The queue is a scheduler destination here; its own settings belong to the scheduler.
        Prompts().message(this, QString(),
            LookupText(QStringLiteral("FormPrinterSetInside"), QStringLiteral("message3"), QString()),
            UserPrompts::Icon::Information);
    });
    BindHelpKey(this, HelpTopic::PrinterSettings);

    for (QWidget* w : findChildren<QWidget*>())
        if (w != ui_->cbLPTAddr && w != ui_->cbComDevice && w != ui_->cbQueueName && w != ui_->edTcp
            && !(ui_->cbLPTAddr->isAncestorOf(w) || ui_->cbComDevice->isAncestorOf(w)
                || ui_->cbQueueName->isAncestorOf(w)))
            w->installEventFilter(this);
    TranslateWindow(this);
}

TFormPrinterSet::~TFormPrinterSet() = default;

void TFormPrinterSet::setDeviceLists(const QStringList& serialDevices, const QStringList& queues)
{
    const QString device = ui_->cbComDevice->currentText();
    ui_->cbComDevice->clear();
    ui_->cbComDevice->addItems(serialDevices);
    ui_->cbComDevice->setEditText(device);
    const QString queue = ui_->cbQueueName->currentText();
    ui_->cbQueueName->clear();
    ui_->cbQueueName->addItems(queues);
    ui_->cbQueueName->setEditText(queue);
}

PortChoices TFormPrinterSet::portChoices() const
{
    PortChoices p = ports_;
    p.serialDevices[std::size_t(shownSerial_)] = ui_->cbComDevice->currentText().trimmed();
    p.queueName = ui_->cbQueueName->currentText().trimmed();
    p.tcp = controls_.port == PortChoice::Tcp ? ui_->edTcp->text().trimmed() : QString();
    return p;
}

void TFormPrinterSet::showControls()
{
    filling_ = true;
    const PrinterSetControls& c = controls_;
    select(ui_->ComboBoxPrinterID, c.model);
    ui_->rdCOMPort->setChecked(c.port == PortChoice::Serial);
    ui_->rdLPTPort->setChecked(c.port == PortChoice::Parallel);
    ui_->rdUSBPort->setChecked(c.port == PortChoice::Usb);
    ui_->RbUSB_PrinterMode->setChecked(c.port == PortChoice::UsbPrinterMode);
    ui_->rdDriverPort->setChecked(c.port == PortChoice::Driver);
    ui_->rdTCPPort->setChecked(c.port == PortChoice::Tcp);
    ui_->rdUSBPort->setVisible(c.usbRadioVisible);
    ui_->rdUSBPort->setEnabled(c.usbRadioEnabled);
    ui_->RbUSB_PrinterMode->setVisible(c.usbModeVisible);
    ui_->RbUSB_PrinterMode->setEnabled(c.usbModeEnabled);
    for (QWidget* w : { static_cast<QWidget*>(ui_->LabelComPort), static_cast<QWidget*>(ui_->cbComPort),
             static_cast<QWidget*>(ui_->LabelComDevice), static_cast<QWidget*>(ui_->cbComDevice),
             static_cast<QWidget*>(ui_->LabelBaudRate), static_cast<QWidget*>(ui_->cbBaudRate),
             static_cast<QWidget*>(ui_->LabelByteSize), static_cast<QWidget*>(ui_->cbByteSize),
             static_cast<QWidget*>(ui_->LabelParity), static_cast<QWidget*>(ui_->cbParity),
             static_cast<QWidget*>(ui_->LabelStopBits), static_cast<QWidget*>(ui_->cbStopBits),
             static_cast<QWidget*>(ui_->LabelFlowControl), static_cast<QWidget*>(ui_->cbFlowControl) })
        w->setEnabled(c.serialEnabled());
    ui_->cbLPTAddr->setEnabled(c.addressEnabled());
    ui_->LabelLPTAddr->setEnabled(c.addressEnabled());
    ui_->cbUSBDevice->setEnabled(c.usbBoxEnabled());
    ui_->LabelUSBDevice->setEnabled(c.usbBoxEnabled());
    ui_->cbQueueName->setEnabled(c.port == PortChoice::Driver);
    ui_->cbQueueName->setEditText(ports_.queueName);
    ui_->edTcp->setEnabled(c.tcpEnabled());

    select(ui_->cbComPort, c.serialPort);
    shownSerial_ = ui_->cbComPort->currentIndex();
    ui_->cbComDevice->setEditText(ports_.serialDevices[std::size_t(std::max(shownSerial_, 0))]);
    select(ui_->cbBaudRate, c.baud);
    select(ui_->cbParity, c.parity);
    select(ui_->cbFlowControl, c.flow);
    ui_->cbLPTAddr->setEditText(c.address);
    ui_->cbUSBDevice->clear();
    for (int i = 0; i < c.usbPrinters.size(); ++i)
        // The number is what OK reads back; the description says which printer it is.
        ui_->cbUSBDevice->addItem(QStringLiteral("%1  %2").arg(i + 1).arg(c.usbPrinters[i].description));
    select(ui_->cbUSBDevice, c.usbDevice);

    select(ui_->cbPrintDPI, c.dpi);
    ui_->cbPrintDPI->setEnabled(c.dpiEnabled);
    ui_->LabelPrintDPI->setEnabled(c.dpiEnabled);
    select(ui_->cbPrintType, c.printType);
    ui_->cbPrintType->setEnabled(c.printTypeEnabled);
    select(ui_->cbPageType, c.pageType);
    select(ui_->cbFeedType, c.feedType);
    ui_->cbPrintSpeed->clear();
    ui_->cbPrintSpeed->addItems(c.speeds);
    ui_->cbPrintSpeed->setCurrentIndex(c.speed);
    select(ui_->cbThickness, c.darkness);
    ui_->seOutDistance->setValue(c.outDistance);
    ui_->seOutDistance->setEnabled(c.outDistanceEnabled);
    select(ui_->cbDirection, c.direction);
    select(ui_->cbLED, c.led);
    ui_->cbLED->setEnabled(c.ledEnabled);
    ui_->sePosition->setValue(c.position);
    ui_->sePosition->setEnabled(c.positionEnabled);
    ui_->LabelPosition->setEnabled(c.positionEnabled);
    if (!c.caption.isEmpty())
        setWindowTitle(c.caption);
    filling_ = false;
}

void TFormPrinterSet::readControls()
{
    PrinterSetControls& c = controls_;
    c.model = ui_->ComboBoxPrinterID->currentIndex();
    c.serialPort = ui_->cbComPort->currentIndex();
    c.baud = ui_->cbBaudRate->currentIndex();
    c.parity = ui_->cbParity->currentIndex();
    c.flow = ui_->cbFlowControl->currentIndex();
    c.address = ui_->cbLPTAddr->currentText();
    c.usbDevice = ui_->cbUSBDevice->currentIndex();
    c.dpi = ui_->cbPrintDPI->currentIndex();
    c.printType = ui_->cbPrintType->currentIndex();
    c.pageType = ui_->cbPageType->currentIndex();
    c.feedType = ui_->cbFeedType->currentIndex();
    c.speed = ui_->cbPrintSpeed->currentIndex();
    c.darkness = ui_->cbThickness->currentIndex();
    c.outDistance = ui_->seOutDistance->value();
    c.direction = ui_->cbDirection->currentIndex();
    c.led = ui_->cbLED->currentIndex();
    c.position = ui_->sePosition->value();
    c.tcp = ui_->edTcp->text().trimmed();
    ports_.queueName = ui_->cbQueueName->currentText().trimmed();
    // The device typed for the shown COM port survives the refills of the boxes.
    if (shownSerial_ >= 0 && shownSerial_ < int(ports_.serialDevices.size()))
        ports_.serialDevices[std::size_t(shownSerial_)] = ui_->cbComDevice->currentText().trimmed();
}

void TFormPrinterSet::choosePort(PortChoice port)
{
    readControls();
    ChoosePort(controls_, port, env_);
    showControls();
}

void TFormPrinterSet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    readControls();
    ShowPrinterSetDialog(controls_);
    showControls();
    TranslateWindow(this);
    // The translated caption, when the language file has one, replaces the model name.
}

void TFormPrinterSet::accept()
{
    readControls();
    if (controls_.port == PortChoice::Tcp && controls_.tcp.isEmpty()) {
        ui_->edTcp->setFocus();
        return;
    }
    PrinterWorkingCopy copy = copy_;
    const AcceptResult r = AcceptPrinterSetDialog(controls_, copy);
    if (!r.accepted) {
        if (r.message)
            Prompts().message(this, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QString()),
                LookupText(r.message->section, r.message->key, r.message->defaultText),
                UserPrompts::Icon::Information);
        showControls();
        ui_->cbComPort->setFocus();
        return;
    }
    copy_ = copy;
    currentModel_ = r.currentModel;
    QDialog::accept();
}

bool TFormPrinterSet::letterKey(int key)
{
    auto focusIf = [](QWidget* w) {
        if (w->isEnabled())
            w->setFocus();
    };
    auto radio = [this](QRadioButton* r, PortChoice port, QWidget* focusWhenChecked) {
        if (r->isChecked())
            focusWhenChecked->setFocus();
        else if (r->isEnabled()) {
            r->setChecked(true);
            choosePort(port);
        }
    };
    const bool serial = ui_->rdCOMPort->isChecked();
    switch (key) {
    case Qt::Key_C: radio(ui_->rdCOMPort, PortChoice::Serial, ui_->rdCOMPort); return true;
    case Qt::Key_N: if (serial) ui_->cbComPort->setFocus(); return true;
    case Qt::Key_B: if (serial) ui_->cbBaudRate->setFocus(); return true;
    case Qt::Key_D: if (serial) ui_->cbByteSize->setFocus(); return true;
    case Qt::Key_P: if (serial) ui_->cbParity->setFocus(); return true;
    case Qt::Key_S: if (serial) ui_->cbStopBits->setFocus(); return true;
    case Qt::Key_F: if (serial) ui_->cbFlowControl->setFocus(); return true;
    case Qt::Key_L: radio(ui_->rdLPTPort, PortChoice::Parallel, ui_->rdLPTPort); return true;
    case Qt::Key_U: radio(ui_->rdUSBPort, PortChoice::Usb, ui_->cbUSBDevice); return true;
    case Qt::Key_R:
        if (!ui_->rdDriverPort->isChecked()) {
            ui_->rdDriverPort->setChecked(true);
            choosePort(PortChoice::Driver);
        }
        return true;
    case Qt::Key_E: focusIf(ui_->cbPrintDPI); return true;
    case Qt::Key_T: focusIf(ui_->cbPrintType); return true;
    case Qt::Key_A: ui_->cbPageType->setFocus(); return true;
    case Qt::Key_I: ui_->cbDirection->setFocus(); return true;
    case Qt::Key_O: ui_->ComboBoxPrinterID->setFocus(); return true;
    case Qt::Key_X: ui_->cbFeedType->setFocus(); return true;
    case Qt::Key_W: ui_->cbPrintSpeed->setFocus(); return true;
    case Qt::Key_H: ui_->cbThickness->setFocus(); return true;
    case Qt::Key_M: focusIf(ui_->seOutDistance); return true;
    case Qt::Key_V: focusIf(ui_->sePosition); return true;
    case Qt::Key_Y: if (ui_->cbLED->isVisible()) focusIf(ui_->cbLED); return true;
    default: return false;
    }
}

bool TFormPrinterSet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape
            && (watched == ui_->seOutDistance || watched == ui_->sePosition
                || ui_->seOutDistance->isAncestorOf(qobject_cast<QWidget*>(watched))
                || ui_->sePosition->isAncestorOf(qobject_cast<QWidget*>(watched)))) {
            reject();
            return true;
        }
        if (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z && letterKey(key->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace korvel
