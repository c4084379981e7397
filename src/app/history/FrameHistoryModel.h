// The link's frame history as a table for the history window: one row an entry, oldest first.
// It hears of each entry from the history itself, so rows arrive while a command or a card
// loop runs; texts are in the window's language.
//
// Rows reach the views at most every kRefreshMs: a card loop polls some sixteen times a second,
// and repainting the table at every poll, on the thread that times the polls, slowed it by a
// tenth. An entry after a quiet spell shows at once.
#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>

#include "link/FrameHistory.h"

namespace app {

class FrameHistoryModel : public QAbstractTableModel, private tblink::HistoryObserver {
    Q_OBJECT
public:
    enum Column { Time, Command, Port, Device, LineSettings, Sent, Received, Outcome, ReplyMs };
    static constexpr int kColumnCount = ReplyMs + 1;
    static constexpr int kRefreshMs = 200;

    // `history` must outlive the model.
    explicit FrameHistoryModel(tblink::FrameHistory& history, QObject* parent = nullptr);
    ~FrameHistoryModel() override;

    void setLanguage(int language);
    int language() const { return language_; }
    // The entry a row shows; null for a row whose entry the bound has dropped and the views
    // have not yet been told of.
    const tblink::HistoryEntry* entry(int row) const;
    // Tells the views of every entry now, without waiting for the next refresh.
    void refresh();

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
    // The rows the views know of, and how many entries from their front the bound has dropped
    // since: row r shows the history's entry r - dropped_.
    int rows_ = 0;
    int dropped_ = 0;
    QTimer refreshTimer_;
    QElapsedTimer sinceRefresh_;
    int language_ = 0;
};

}  // namespace app
