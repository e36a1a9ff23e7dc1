#pragma once

#include <QString>

#include "analysis/text/numberformat.h"
#include "loading/sourcefile.h"

// Every text the window shows, in one place. The row labels of the lists come
// with the rows from the analysis, and the lists' own commands and messages
// with the lists.
namespace quorvex::text {

inline QString WindowCaption() {
    return QStringLiteral("Zell Quorvex");
}

inline QString MenuFile() {
    return QStringLiteral("File");
}
inline QString MenuOpen() {
    return QStringLiteral("Open");
}
inline QString MenuExit() {
    return QStringLiteral("Exit");
}
inline QString MenuProcessFile() {
    return QStringLiteral("Process File");
}

inline QString TabSummary() {
    return QStringLiteral("Summary");
}
inline QString TabSubstitutions() {
    return QStringLiteral("Substitutions");
}
inline QString TabUniqueWords() {
    return QStringLiteral("Unique Words");
}

inline QString ColumnItem() {
    return QStringLiteral("Item");
}
inline QString ColumnValue() {
    return QStringLiteral("Value");
}
inline QString ColumnAscii() {
    return QStringLiteral("Ascii");
}
inline QString ColumnChar() {
    return QStringLiteral("Char");
}
inline QString ColumnCount() {
    return QStringLiteral("Count");
}
inline QString ColumnReplacedWith() {
    return QStringLiteral("Replaced With");
}
inline QString ColumnWord() {
    return QStringLiteral("Word");
}
inline QString ColumnFirstOccurs() {
    return QStringLiteral("First Occurs");
}
inline QString ColumnOriginalOrder() {
    return QStringLiteral("Original Order");
}

inline QString CommandShowOccurrences() {
    return QStringLiteral("Show Occurrences");
}
// %1: the most words one Occurrences window compares.
inline QString TooManyWordsForOccurrences() {
    return QStringLiteral("Select at most %1 words.");
}

inline QString ProgressName() {
    return QStringLiteral("Progress");
}

inline QString OpenDialogTitle() {
    return QStringLiteral("Load Quorvex Source Document...");
}
// The file dialog shows only what stands before the last parenthesis, so the
// entries read "Text Files (*.txt)" and "All Files (*.*)", while the patterns
// that apply are the last ones: "*" lets names without a dot through as well.
inline QString TextFilesFilter() {
    return QStringLiteral("Text Files (*.txt) (*.txt)");
}
inline QString AllFilesFilter() {
    return QStringLiteral("All Files (*.*) (*)");
}

inline QString LoadFailedTitle() {
    return QStringLiteral("Cannot Load Document");
}
inline QString LoadFailed() {
    return QStringLiteral("The file \"%1\" could not be loaded: %2");
}
inline QString ReasonNotFound() {
    return QStringLiteral("it does not exist.");
}
inline QString ReasonAccessDenied() {
    return QStringLiteral("you do not have permission to read it.");
}
inline QString ReasonIsFolder() {
    return QStringLiteral("it is a folder, not a file.");
}
inline QString ReasonNotRegularFile() {
    return QStringLiteral("it is not a regular file (a pipe, a device or a socket).");
}
// The limit in bytes is written with commas in every locale.
inline QString ReasonTooLarge() {
    const std::int64_t refused = kMaxSourceLength + 1;
    return QStringLiteral("it is %1 GiB or larger; documents must be smaller than %2 bytes.")
        .arg(QString::number(refused >> 30),
             QString::fromStdU16String(FormatGrouped(refused, NumberSeparators{})));
}
inline QString ReasonOutOfMemory() {
    return QStringLiteral("there is not enough memory to hold it.");
}
inline QString ReasonSystem() {
    return QStringLiteral("%1.");
}

inline QString RunFailedTitle() {
    return QStringLiteral("Cannot Process Document");
}
inline QString RunFailed() {
    return QStringLiteral("The document could not be processed: %1\nThe lists are unchanged.");
}
// The document is held already; what a run lacks memory for is its words.
inline QString ReasonNoMemoryForWords() {
    return QStringLiteral("there is not enough memory for its words.");
}

}  // namespace quorvex::text
