#pragma once

#include <QString>

// The texts an Occurrences window shows. The row labels of its lists come
// with the rows from the analysis, and the lists' own commands and messages
// with the lists.
namespace quorvex::occurrencestext {

// %1 is the searched words, separated by ", ".
inline QString WindowCaption() {
    return QStringLiteral("Occurrences of %1");
}
inline QString WordSeparator() {
    return QStringLiteral(", ");
}

inline QString FailedTitle() {
    return QStringLiteral("Cannot Show Occurrences");
}
inline QString WithoutMemory() {
    return QStringLiteral(
        "There is not enough memory to find these occurrences. The main window is unchanged.");
}

inline QString ProgressName() {
    return QStringLiteral("Finding occurrences");
}
inline QString ContextCaption() {
    return QStringLiteral("Context:");
}
inline QString ContextSuffix() {
    return QStringLiteral(" characters");
}
inline QString WholeLineName() {
    return QStringLiteral("Line");
}

inline QString PlotName() {
    return QStringLiteral("Dispersion");
}
inline QString ConcordanceName() {
    return QStringLiteral("Concordance");
}
inline QString HeadingCountsName() {
    return QStringLiteral("Count per Heading");
}

inline QString ColumnHeading() {
    return QStringLiteral("Heading");
}
inline QString ColumnReference() {
    return QStringLiteral("Reference");
}
inline QString ColumnLeft() {
    return QStringLiteral("Left");
}
inline QString ColumnWord() {
    return QStringLiteral("Word");
}
inline QString ColumnRight() {
    return QStringLiteral("Right");
}
inline QString ColumnWords() {
    return QStringLiteral("Words");
}
// %1 is a searched word, %2 ten thousand in the user's number format.
inline QString ColumnPerTenThousand() {
    return QStringLiteral("%1 per %2");
}

// A strip of the plot: %1 the word, %2 its count.
inline QString StripLabel() {
    return QStringLiteral("%1 (%2)");
}
// What a screen reader reads for a strip: %1 the word, %2 its count, %3 the
// headings it occurs under, %4 all headings, %5 and %6 its first and last
// occurrence's heading and line reference.
inline QString StripSummary() {
    return QStringLiteral("%1: %2 occurrences under %3 of %4 headings, first %5, last %6");
}
inline QString CopyPictureCommand() {
    return QStringLiteral("Copy Picture");
}

}  // namespace quorvex::occurrencestext
