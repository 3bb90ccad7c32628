#include "tables/commandgridview.h"

#include "tables/gridmodel.h"

#include <QHeaderView>

CommandGridView::CommandGridView(QWidget *parent)
    : QTableView(parent)
    , m_model(new GridModel(2, 3, this))
{
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumSectionSize(16);
    setColumnWidth(0, 64);
    setColumnWidth(1, 212);
    setColumnWidth(2, 384);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
}
