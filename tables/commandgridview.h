#pragma once

#include <QTableView>

class GridModel;

// The command list grid: one fixed row and one fixed column drawn as headers,
// names and codes edited in place.
class CommandGridView : public QTableView
{
    Q_OBJECT
public:
    explicit CommandGridView(QWidget *parent = nullptr);
    GridModel *grid() const { return m_model; }

private:
    GridModel *m_model;
};
