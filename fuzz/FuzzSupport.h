#pragma once

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Objects render with Qt's GUI module; a fuzz run needs one application object and no display.
inline void EnsureFuzzApplication()
{
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

/// Drops Qt's warnings (a file name holding a NUL byte, …): thousands of them slow a run down.
inline void SilenceQtMessages()
{
    static const bool silenced = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    (void)silenced;
}

inline QByteArray FuzzBytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

/// Takes the leading bytes of a fuzz input as choices; past the end every choice is 0.
class FuzzChoices {
public:
    FuzzChoices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte()
    {
        return pos_ < size_ ? data_[pos_++] : 0;
    }
    /// The input after the bytes taken so far.
    QByteArray rest() const
    {
        return pos_ < size_ ? FuzzBytes(data_ + pos_, size_ - pos_) : QByteArray();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A broken invariant is a finding: libFuzzer saves the input when the process aborts.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
