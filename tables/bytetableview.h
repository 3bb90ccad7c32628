#pragma once
// Temporary stand-in until the scalable byte view lands.
#include <QHeaderView>
#include <QTableView>
class ByteTableView : public QTableView
{
    Q_OBJECT
public:
    explicit ByteTableView(QWidget *parent = nullptr) : QTableView(parent)
    {
        horizontalHeader()->hide();
        verticalHeader()->hide();
    }
    void setFirstColumnWidth(int w) { m_first = w; }
    void setDefaultColumnWidth(int w) { horizontalHeader()->setDefaultSectionSize(w); }
    void setRowHeight(int h) { verticalHeader()->setDefaultSectionSize(h); }
private:
    int m_first = 51;
};
