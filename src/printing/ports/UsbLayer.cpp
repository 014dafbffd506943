#include "printing/ports/UsbLayer.h"

#include "printing/ports/PosixWrite.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <libusb.h>
#include <unistd.h>

namespace korvel {

namespace {

class DeviceFileConnection : public UsbConnection {
public:
    DeviceFileConnection(int fd, QString path)
        : fd_(fd)
        , path_(std::move(path))
    {
    }
    ~DeviceFileConnection() override { ::close(fd_); }
    QString name() const override { return path_; }
    qint64 writeSome(const char* data, qint64 size, int waitMs, QString* error) override
    {
        return WriteSomeToFd(fd_, data, size, waitMs, error);
    }

private:
    int fd_;
    QString path_;
};

/// A printer-class interface with its bulk OUT endpoint.
struct LibusbTarget {
    int bus = 0;
    int address = 0;
    int interfaceNumber = 0;
    int altSetting = 0;
    unsigned char endpoint = 0;
    QString description;
};

class LibusbContext {
public:
    LibusbContext() { ok_ = libusb_init(&ctx_) == 0; }
    ~LibusbContext()
    {
        if (ok_)
            libusb_exit(ctx_);
    }
    LibusbContext(const LibusbContext&) = delete;
    LibusbContext& operator=(const LibusbContext&) = delete;
    bool ok() const { return ok_; }
    libusb_context* get() const { return ctx_; }

private:
    libusb_context* ctx_ = nullptr;
    bool ok_ = false;
};

bool findPrinterInterface(libusb_device* dev, LibusbTarget* target)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(dev, &config) != 0 && libusb_get_config_descriptor(dev, 0, &config) != 0)
        return false;
    bool found = false;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& iface = config->interface[i];
        for (int a = 0; a < iface.num_altsetting && !found; ++a) {
            const libusb_interface_descriptor& alt = iface.altsetting[a];
            if (alt.bInterfaceClass != LIBUSB_CLASS_PRINTER)
                continue;
            for (int e = 0; e < alt.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = alt.endpoint[e];
                const bool bulk = (ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_BULK;
                const bool out = (ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_OUT;
                if (bulk && out) {
                    target->interfaceNumber = alt.bInterfaceNumber;
                    target->altSetting = alt.bAlternateSetting;
                    target->endpoint = ep.bEndpointAddress;
                    found = true;
                    break;
                }
            }
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

/// Printer-class devices that this process can open and that no kernel driver serves (those
/// appear as device files already).
QList<LibusbTarget> libusbPrinters(libusb_context* ctx)
{
    QList<LibusbTarget> out;
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(ctx, &list);
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device* dev = list[i];
        LibusbTarget t;
        if (!findPrinterInterface(dev, &t))
            continue;
        libusb_device_handle* h = nullptr;
        if (libusb_open(dev, &h) != 0)
            continue;
        const bool kernelHeld = libusb_kernel_driver_active(h, t.interfaceNumber) == 1;
        libusb_device_descriptor desc {};
        libusb_get_device_descriptor(dev, &desc);
        libusb_close(h);
        if (kernelHeld)
            continue;
        t.bus = libusb_get_bus_number(dev);
        t.address = libusb_get_device_address(dev);
        t.description = QStringLiteral("USB %1:%2 (%3:%4)")
                            .arg(t.bus)
                            .arg(t.address)
                            .arg(desc.idVendor, 4, 16, QLatin1Char('0'))
                            .arg(desc.idProduct, 4, 16, QLatin1Char('0'));
        out.append(t);
    }
    if (n >= 0)
        libusb_free_device_list(list, 1);
    return out;
}

class LibusbConnection : public UsbConnection {
public:
    LibusbConnection(std::unique_ptr<LibusbContext> ctx, libusb_device_handle* h, LibusbTarget t)
        : ctx_(std::move(ctx))
        , handle_(h)
        , target_(std::move(t))
    {
    }
    ~LibusbConnection() override
    {
        libusb_release_interface(handle_, target_.interfaceNumber);
        libusb_close(handle_);
    }
    QString name() const override { return target_.description; }
    qint64 writeSome(const char* data, qint64 size, int waitMs, QString* error) override
    {
        int transferred = 0;
        const int chunk = int(std::min<qint64>(size, 64 * 1024));
        const int rc
            = libusb_bulk_transfer(handle_, target_.endpoint, reinterpret_cast<unsigned char*>(const_cast<char*>(data)),
                chunk, &transferred, static_cast<unsigned int>(std::max(1, waitMs)));
        // A timed-out transfer may still have moved part of the data; that part counts.
        if (rc == 0 || rc == LIBUSB_ERROR_TIMEOUT)
            return transferred;
        if (error)
            *error = QString::fromLatin1(libusb_error_name(rc));
        return -1;
    }

private:
    std::unique_ptr<LibusbContext> ctx_;
    libusb_device_handle* handle_;
    LibusbTarget target_;
};

std::unique_ptr<UsbConnection> openLibusb(
    const LibusbTarget& target, std::unique_ptr<LibusbContext> ctx, PortStatus* status)
{
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(ctx->get(), &list);
    libusb_device_handle* h = nullptr;
    int rc = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < n; ++i) {
        if (libusb_get_bus_number(list[i]) == target.bus && libusb_get_device_address(list[i]) == target.address) {
            rc = libusb_open(list[i], &h);
            break;
        }
    }
    if (n >= 0)
        libusb_free_device_list(list, 1);
    if (rc == 0)
        rc = libusb_claim_interface(h, target.interfaceNumber);
    if (rc == 0 && target.altSetting != 0)
        rc = libusb_set_interface_alt_setting(h, target.interfaceNumber, target.altSetting);
    if (rc != 0) {
        if (h)
            libusb_close(h);
        *status = PortStatus::failure(PortError::UsbNotOpen,
            QStringLiteral("%1: %2").arg(target.description, QLatin1String(libusb_error_name(rc))));
        return nullptr;
    }
    return std::make_unique<LibusbConnection>(std::move(ctx), h, target);
}

QStringList deviceFiles(const QString& dir)
{
    static const QRegularExpression lpName(QStringLiteral("^lp(\\d+)$"));
    QList<std::pair<int, QString>> found;
    const QStringList names = QDir(dir).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = lpName.match(name);
        if (m.hasMatch())
            found.append({ m.captured(1).toInt(), QDir(dir).filePath(name) });
    }
    std::sort(found.begin(), found.end());
    QStringList out;
    for (const auto& f : found)
        out << f.second;
    return out;
}

} // namespace

QList<UsbPrinterInfo> EnumUsbPrinters(const UsbOptions& options)
{
    QList<UsbPrinterInfo> out;
    for (const QString& path : deviceFiles(options.deviceDir)) {
        UsbPrinterInfo info;
        info.path = path;
        info.description = path;
        out.append(info);
    }
    if (options.useLibusb) {
        LibusbContext ctx;
        if (ctx.ok()) {
            for (const LibusbTarget& t : libusbPrinters(ctx.get())) {
                UsbPrinterInfo info;
                info.bus = t.bus;
                info.address = t.address;
                info.description = t.description;
                out.append(info);
            }
        }
    }
    return out;
}

std::unique_ptr<UsbConnection> OpenUsbDeviceFile(const QString& path, PortStatus* status)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *status = PortStatus::failure(
            PortError::UsbNotOpen, QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return nullptr;
    }
    // A printer is a device (a FIFO stands in for one in tests); a regular file would quietly
    // take the stream in the printer's place.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        ::close(fd);
        *status = PortStatus::failure(
            PortError::UsbNotOpen, QStringLiteral("%1: not a USB printer device (a character device)").arg(path));
        return nullptr;
    }
    *status = PortStatus::success();
    return std::make_unique<DeviceFileConnection>(fd, path);
}

std::unique_ptr<UsbConnection> OpenUsbPrinter(int number, const UsbOptions& options, PortStatus* status)
{
    const QStringList files = deviceFiles(options.deviceDir);
    if (number >= 1 && number <= files.size())
        return OpenUsbDeviceFile(files[number - 1], status);
    if (number >= 1 && options.useLibusb) {
        auto ctx = std::make_unique<LibusbContext>();
        if (ctx->ok()) {
            const QList<LibusbTarget> devices = libusbPrinters(ctx->get());
            const qsizetype index = number - 1 - files.size();
            if (index < devices.size())
                return openLibusb(devices[index], std::move(ctx), status);
        }
    }
    *status = PortStatus::failure(PortError::UsbNotOpen, QStringLiteral("no USB printer number %1").arg(number));
    return nullptr;
}

} // namespace korvel
