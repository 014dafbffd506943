#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace korvel {

/// Module sizes and options handed to a linear encoder, all in dots.
struct LinearOptions {
    std::int32_t narrow = 2; ///< n: narrow module (the only module of the module symbologies)
    std::int32_t wide = 4; ///< w: wide element of the two-width symbologies
    std::int32_t height = 40; ///< H: bar height
    std::int32_t guardExtension = 0; ///< e: EAN-13/EAN-8/UPC-A/UPC-E guard bars reach H + e
    std::int32_t bearer = 0; ///< b: Dispatch bearer frame thickness
    bool parity = false; ///< append the optional check character
};

/// Largest module width accepted; keeps every width computation far inside 32 bits.
inline constexpr std::int32_t kMaxModuleDots = 1000;
/// Largest bar height, guard extension or bearer accepted.
inline constexpr std::int32_t kMaxBarDots = 100000;

/// True when every size of the options lies in the accepted ranges.
bool LinearOptionsValid(const LinearOptions& options);

/// One element of a bar pattern. Bars cover the rows [top, bottom); spaces only advance.
struct BarRun {
    std::int32_t width = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    bool bar = false;

    friend bool operator==(const BarRun&, const BarRun&) = default;
};

/// What a linear encoder yields: a run-length list of bars and spaces in dots, left to right,
/// starting at column `left`. The screen image, the printer copy and the command path all
/// read this one result.
struct BarPattern {
    std::int32_t left = 1; ///< column of the first run (column 0 normally stays blank)
    std::int32_t width = 0; ///< symbol width in dots; the bars image is width + 1 wide
    std::int32_t height = 0; ///< height of the bars image: H, H + e or H + 2b
    std::int32_t bearer = 0; ///< Dispatch bearer frame thickness, 0 when the symbol has none
    std::vector<BarRun> runs;

    std::int32_t imageWidth() const { return width + 1; }
    std::int32_t imageHeight() const { return height; }
    void clear();
};

/// How PaintBarPattern inks a canvas.
struct BarPaintOptions {
    /// Draw the bearer frame (the printer image); the screen image gets its frame after scaling.
    bool drawBearer = false;
    /// Colour-table index of ink on a one-bit canvas; -1 picks the darker of the two entries.
    int monoInk = -1;
    /// Grey level of ink on a Grayscale8 canvas.
    std::uint8_t grayInk = 0;
};

/// Draws the bars of a pattern onto a canvas that is already white (Format_Mono, Format_MonoLSB
/// or Format_Grayscale8), clipped to the canvas. Spaces leave the canvas as it is. False for an
/// unsupported format or a null canvas.
bool PaintBarPattern(const BarPattern& pattern, QImage& canvas, const BarPaintOptions& options = {});

/// A white canvas of the pattern's image size in the given format (Format_Mono by default,
/// colour table white = 0, black = 1).
QImage NewBarCanvas(const BarPattern& pattern, QImage::Format format = QImage::Format_Mono);

/// Collects runs while an encoder walks its symbol; merges neighbours of the same kind and
/// extent so that the pattern stays a true run-length list.
class PatternBuilder {
public:
    explicit PatternBuilder(BarPattern& pattern);

    void bar(std::int32_t width, std::int32_t top, std::int32_t bottom);
    void space(std::int32_t width);
    /// `count` modules of `module` dots from `bits`, most significant first, a set bit a bar.
    void modules(std::uint32_t bits, int count, std::int32_t module, std::int32_t top, std::int32_t bottom);
    /// Elements alternating bar, space, … from `widths` ('1' … '9' modules each).
    void widths(const char* widths, std::int32_t module, std::int32_t top, std::int32_t bottom);

private:
    BarPattern& pattern_;
};

} // namespace korvel
