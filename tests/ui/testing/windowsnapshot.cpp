#include "tests/ui/testing/windowsnapshot.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>

#include "ui/frmmain.h"
#include "ui/reportlist/reportlist.h"
#include "ui/tabcontainer.h"

namespace quorvex {

QStringList Row(const ReportList* list, int row) {
    QStringList texts;
    for (int column = 0; column < list->model()->columnCount(); ++column) {
        texts.append(list->Text(row, column));
    }
    return texts;
}

QList<QStringList> Rows(const ReportList* list) {
    QList<QStringList> rows;
    for (int row = 0; row < list->RowCount(); ++row) {
        rows.append(Row(list, row));
    }
    return rows;
}

namespace {

std::tuple<int, bool, int, QModelIndexList> Settings(const ReportList* list) {
    return {list->SortKey(), list->Sorted(), list->SortOrder(),
            list->selectionModel()->selectedRows()};
}

}  // namespace

WindowSnapshot Snapshot(const frmMain& window) {
    const AnalysisState& state = window.State();
    return {Rows(window.SummaryList()),
            Rows(window.SubstitutionList()),
            Rows(window.UniqueList()),
            {Settings(window.SummaryList()), Settings(window.SubstitutionList()),
             Settings(window.UniqueList())},
            window.FileMenu()->menuAction()->isEnabled(),
            window.ProcessFileAction()->isEnabled(),
            window.Tabs()->isEnabled(),
            state.SourceFileName,
            state.SourceLength,
            state.SourceBytes->data(),
            state.SourceBytes->capacity()};
}

}  // namespace quorvex
