#pragma once

#include <QString>
#include <Qt>

namespace quorvex {

// One column of a report list: its header caption and the alignment that the
// header and every cell of the column share.
struct ReportColumn {
    QString caption;
    Qt::Alignment alignment = Qt::AlignLeft;
};

}  // namespace quorvex
