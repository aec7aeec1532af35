#pragma once
// The statuses the engine's operations return and its warnings carry, by
// name. As everywhere in the program, 0 is success and a failure is small
// and negative; a status names its place, not a kind, so values repeat
// between places.
namespace engine {

enum StatusE : int {
    // The reader (FileReadC).
    OpenFailed = -2,  // the file cannot be opened, or its rewind fails
    CloseFailed = -3,
    ReadEnded = -4,  // end of file, or a read error
    NoName = -5,
    NameTooLong = -6,
    // The validation pass: GOOD empty, a name not moved between the lists.
    NothingToDo = -2,
    NotRemovedFromGood = -3,
    NotAddedToBad = -4,
    ReportRoomRefused = -2,
    // A rejected file that cannot be moved to BAD (the header lines' own in
    // ValidateC.cpp's table).
    UnreadableDatumNotMoved = -41,
    DatumOutOfRangeNotMoved = -42,
    BadEndNotMoved = -45,
    CountFailedNotMoved = -46,
    CloseFailedNotMoved = -47,
    // The count (CountC::CountFile).
    DataUnreachable = -2,
    CountDatumUnreadable = -3,
    CountFailedOtherwise = -4,
    ConvertFailed = -1000,  // the status of the warning for a datum that does not convert
};

}  // namespace engine
