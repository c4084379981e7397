// The link's frame history as a table for the history window: one row an entry, oldest first.
// It hears of each entry from the history itself, so rows arrive while a command or a card
// loop runs; texts are in the window's language.
#pragma once

#include <QAbstractTableModel>

#include "link/FrameHistory.h"

namespace app {

class FrameHistoryModel : public QAbstractTableModel, private tblink::HistoryObserver {
    Q_OBJECT
public:
    enum Column { Time, Command, Port, Device, LineSettings, Sent, Received, Outcome, ReplyMs };
    static constexpr int kColumnCount = ReplyMs + 1;

    // `history` must outlive the model.
    explicit FrameHistoryModel(tblink::FrameHistory& history, QObject* parent = nullptr);
    ~FrameHistoryModel() override;

    void setLanguage(int language);
    int language() const { return language_; }
    const tblink::HistoryEntry& entry(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void entryAdded(const tblink::HistoryEntry& entry, bool droppedOldest) override;
    void historyCleared() override;
    QVariant display(const tblink::HistoryEntry& entry, int row, int column) const;
    QVariant toolTip(const tblink::HistoryEntry& entry, int column) const;
    bool startsGroup(int row) const;

    tblink::FrameHistory& history_;
    // The rows the views know of; the history may be one ahead while it tells us of an entry.
    int rows_ = 0;
    int language_ = 0;
};

}  // namespace app
