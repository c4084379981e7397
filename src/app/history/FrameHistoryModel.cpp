#include "app/history/FrameHistoryModel.h"

#include <QColor>
#include <algorithm>

#include "app/history/HistoryText.h"
#include "platform/CodePage.h"
#include "text/Catalogue.h"

namespace app {
namespace {

using text::Msg;

const Msg kHeaders[FrameHistoryModel::kColumnCount] = {
    Msg::ColumnTime,     Msg::ColumnCommand,      Msg::ColumnPort,
    Msg::ColumnDevice,   Msg::ColumnLineSettings, Msg::ColumnSent,
    Msg::ColumnReceived, Msg::ColumnOutcome,      Msg::ColumnReplyMs,
};

// Every other command's rows are tinted, so a command's rows read as one block.
const QColor kGroupTint(232, 240, 255);
const QColor kFailure(160, 0, 0);

bool Replied(const tblink::HistoryEntry& entry) {
    return entry.event == tblink::HistoryEvent::Exchange &&
           (entry.result == tblink::TransactResult::Ok ||
            entry.result == tblink::TransactResult::ChecksumError);
}

bool Failed(const tblink::HistoryEntry& entry) {
    return entry.event == tblink::HistoryEvent::PortOpenFailed ||
           (entry.event == tblink::HistoryEvent::Exchange &&
            entry.result != tblink::TransactResult::Ok);
}

std::uint64_t GroupOf(const tblink::HistoryEntry& entry) {
    return entry.group ? entry.group->id : 0;
}

}  // namespace

FrameHistoryModel::FrameHistoryModel(tblink::FrameHistory& history, QObject* parent)
    : QAbstractTableModel(parent), history_(history), rows_(static_cast<int>(history.Size())) {
    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &FrameHistoryModel::refresh);
    history_.AddObserver(this);
}

FrameHistoryModel::~FrameHistoryModel() { history_.RemoveObserver(this); }

void FrameHistoryModel::setLanguage(int language) {
    language_ = language;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, kColumnCount - 1));
}

const tblink::HistoryEntry* FrameHistoryModel::entry(int row) const {
    const int index = row - dropped_;
    if (index < 0 || index >= static_cast<int>(history_.Size())) return nullptr;
    return &history_.At(static_cast<std::size_t>(index));
}

int FrameHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int FrameHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

bool FrameHistoryModel::startsGroup(int row) const {
    const tblink::HistoryEntry* before = entry(row - 1);
    return !before || GroupOf(*entry(row)) != GroupOf(*before);
}

QVariant FrameHistoryModel::display(const tblink::HistoryEntry& e, int row, int column) const {
    switch (column) {
        case Time:  // the date is in the tooltip and the saved file
            return QString::fromStdString(tblink::LocalTimeText(e.when).substr(11));
        case Command:
            return e.group && startsGroup(row) ? QString::fromStdString(e.group->label) : QString();
        case Port:
            return QString::fromStdString(e.port->name);
        case Device:
            return QString::fromStdString(e.port->device);
        case LineSettings:
            return QString::fromStdString(e.port->lineSettings);
        case Sent:  // command texts went out in the code page of the window's language
            return platform::DecodeText(e.sent, language_);
        case Received:
            return QString::fromStdString(e.received);
        case Outcome:
            return HistoryOutcome(e, language_);
        case ReplyMs:
            return Replied(e) ? QVariant(static_cast<qlonglong>(e.elapsedMs)) : QVariant();
    }
    return QVariant();
}

QVariant FrameHistoryModel::toolTip(const tblink::HistoryEntry& e, int column) const {
    switch (column) {
        case Time:
            return QString::fromStdString(tblink::LocalTimeText(e.when));
        case Command:
            return e.group ? QString::fromStdString(e.group->label) : QString();
        case Outcome:
            return HistoryOutcome(e, language_);
        default:
            return QVariant();
    }
}

QVariant FrameHistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= kColumnCount)
        return QVariant();
    const tblink::HistoryEntry* shown = entry(index.row());
    if (!shown) return QVariant();
    const tblink::HistoryEntry& e = *shown;
    switch (role) {
        case Qt::DisplayRole:
            return display(e, index.row(), index.column());
        case Qt::ToolTipRole:
            return toolTip(e, index.column());
        case Qt::BackgroundRole:
            return GroupOf(e) % 2 == 1 ? QVariant(kGroupTint) : QVariant();
        case Qt::ForegroundRole:
            return index.column() == Outcome && Failed(e) ? QVariant(kFailure) : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == ReplyMs ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                             : QVariant();
        default:
            return QVariant();
    }
}

QVariant FrameHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return text::Text(kHeaders[section], language_);
}

void FrameHistoryModel::entryAdded(const tblink::HistoryEntry&, bool droppedOldest) {
    if (droppedOldest) ++dropped_;
    if (refreshTimer_.isActive()) return;
    const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : kRefreshMs;
    if (since >= kRefreshMs)
        refresh();
    else
        refreshTimer_.start(static_cast<int>(kRefreshMs - since));
}

void FrameHistoryModel::refresh() {
    refreshTimer_.stop();
    sinceRefresh_.start();
    // Dropped entries leave from the top, new ones join at the bottom. The history has
    // already moved; views ask for nothing between begin and end.
    const int gone = std::min(dropped_, rows_);
    if (gone > 0) {
        beginRemoveRows(QModelIndex(), 0, gone - 1);
        rows_ -= gone;
        dropped_ = 0;
        endRemoveRows();
        // The new first row now opens its command's block.
        if (rows_ > 0) emit dataChanged(index(0, Command), index(0, Command));
    }
    dropped_ = 0;
    const int kept = static_cast<int>(history_.Size());
    if (kept > rows_) {
        beginInsertRows(QModelIndex(), rows_, kept - 1);
        rows_ = kept;
        endInsertRows();
    }
}

void FrameHistoryModel::historyCleared() {
    refreshTimer_.stop();
    beginResetModel();
    rows_ = 0;
    dropped_ = 0;
    endResetModel();
}

}  // namespace app
