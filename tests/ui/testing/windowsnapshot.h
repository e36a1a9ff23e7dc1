#pragma once

#include <QList>
#include <QModelIndexList>
#include <QStringList>
#include <cstdint>
#include <string>
#include <tuple>

namespace quorvex {

class frmMain;
class ReportList;

// Every text of one row of a list, column by column.
QStringList Row(const ReportList* list, int row);

// Every text of a list, row by row.
QList<QStringList> Rows(const ReportList* list);

// Everything a user sees of the window and everything a later run would use:
// two snapshots are equal when a failed or refused command changed nothing.
struct WindowSnapshot {
    QList<QStringList> summary;
    QList<QStringList> substitution;
    QList<QStringList> unique;
    // Each list's sort key, whether it is sorted, its direction and its selection.
    QList<std::tuple<int, bool, int, QModelIndexList>> settings;
    bool fileMenuEnabled = false;
    bool processFileEnabled = false;
    bool tabsEnabled = false;
    std::u16string sourceFileName;
    std::int64_t sourceLength = 0;
    const std::uint8_t* sourceData = nullptr;  // the same buffer, so nothing was reallocated
    std::size_t sourceCapacity = 0;

    bool operator==(const WindowSnapshot&) const = default;
};

WindowSnapshot Snapshot(const frmMain& window);

}  // namespace quorvex
