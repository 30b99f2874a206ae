#pragma once

#include <QString>

// Why the station file could not be read or saved, or why rows cannot go into it; the text for
// people is stationFileProblemText's.
struct StationFileProblem {
    enum class Kind {
        NotOpened,         // detail: the system's reason, path included
        ReadFailed,        // detail: the system's reason
        TooLarge,
        FieldTooLong,      // item and field
        FieldSplitsLine,   // a comma, a quote or a line break
        FieldNotWritable,  // a character the file's encoding lacks
        FieldStartsBlank,
        PartialStation,    // item, and its first empty field
        FolderNotCreated,  // path: the folder
        WriteFailed,       // detail: the system's reason
    };
    enum class Field { Description, Host, Port };

    Kind kind = Kind::NotOpened;
    QString path;
    QString detail;
    int item = 0;
    Field field = Field::Description;

    bool operator==(const StationFileProblem &other) const
    {
        return kind == other.kind && path == other.path && detail == other.detail && item == other.item
            && field == other.field;
    }
};

// The operator's message, a whole sentence.
QString stationFileProblemText(const StationFileProblem &problem);
