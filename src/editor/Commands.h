#pragma once

namespace korvel {

/// The command messages by which the main window drives a document window, and the few
/// messages the main window sends itself. The numbers are the stored message values; every menu
/// action, toolbar button and test goes through TChildForm::dispatch (document commands) or
/// TMainForm::post (main-window messages) with one of these.
enum class Command : int {
    DeleteSelection = 0x400,
    MoveSelection = 0x401, ///< w: 0 up, 1 down, 2 left, 3 right; l: 1 keyboard, 0 menu
    Arrange = 0x403, ///< w: alignment kind
    Properties = 0x405,
    ZoomIn = 0x407,
    ZoomOut = 0x408,
    Rotate = 0x409, ///< w: degrees to add (450 or 90 right, 270 left)
    Cut = 0x40C,
    Copy = 0x40D,
    Paste = 0x40E,
    AddVariable = 0x412, ///< w: variable kind
    ModifyVariable = 0x413,
    SetDatabase = 0x414,
    CloseQuery = 0x415,
    MoveRecord = 0x416, ///< w: 0 first, 1 prior, 2 next, 3 last, 4 located
    DeleteVariable = 0x417,
    SelectAll = 0x41A,
    PageSetup = 0x41C,
    SaveAs = 0x41D,
    Print = 0x41E,
    RebuildRecentMenu = 0x422, ///< to the main window
    PrinterSettings = 0x42E,
    LanguageChanged = 0x43B, ///< to the main window
    Redo = 0x43D,
    Undo = 0x43E,
    QuantityFieldOn = 0x445,
    QuantityFieldOff = 0x446,
    Retranslate = 0x447,
    FitToWindow = 0x448,
    Refit = 0x449, ///< the window was resized
    ActualSize = 0x44A,
    RebuildDataTree = 0x451,
    ApplyFontName = 0x452,
    ApplyFontSize = 0x453,
    ForgetDataSource = 0x454,
    Disconnect = 0x455,
    DrawingMode = 0x456, ///< w: 0 transparent, 1 XOR
    RepaintSurface = 0x457,
    RedrawHandles = 0x458,
    FinishOpening = 0x464, ///< w: 1
    Save = 0x465,
    AnotherInstance = 0x466, ///< to the main window
    PrintPreview = 0x467, ///< File › Print preview: the job's labels as the printer prints them
    ChangeOrder = 0x470, ///< w: ZOrderMove (0 to front, 1 to back, 2 raise, 3 lower); our own
};

/// Directions of MoveSelection.
enum class MoveDirection : int { Up = 0, Down = 1, Left = 2, Right = 3 };

/// Record moves of MoveRecord.
enum class RecordMove : int { First = 0, Prior = 1, Next = 2, Last = 3, Located = 4 };

} // namespace korvel
