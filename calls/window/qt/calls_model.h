#pragma once
#include "calls/window/call_rows.h"

#include <QAbstractTableModel>

namespace zumi {

// The month's calls for the window's table view.
class CallsModel final : public QAbstractTableModel, public CallTable {
public:
    void clear() override;
    void append(const std::vector<CallRecord>& calls) override;
    void update(std::size_t row, const CallRecord& call, bool running) override;
    void setPrices(const Prices& prices) override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CallRows rows_;
};

} // namespace zumi
