// frmFrameHistory: the frame history in a window of its own, beside the main window. It has no
// parent widget, so the main window disabling itself during a command leaves it usable; it runs
// on the same thread and is served whenever an exchange pumps messages. The table follows new
// entries unless the user has scrolled up; Save writes what it holds as tab-separated text.
#pragma once

#include <QWidget>
#include <memory>

#include "link/FrameHistory.h"

class QLabel;
class QPushButton;
class QTableView;

namespace app {

class FrameHistoryModel;

class FrameHistoryWindow : public QWidget {
    Q_OBJECT
public:
    // `history` must outlive the window.
    explicit FrameHistoryWindow(tblink::FrameHistory& history);
    ~FrameHistoryWindow() override;

    // Title, captions, headers, outcomes and font of `language`.
    void applyLanguage(int language);
    // Writes the header line and every entry; the outcome shows in lblFramesStatus.
    bool saveTo(const QString& path);

    FrameHistoryModel* model() const { return model_.get(); }

    QTableView* lvFrames = nullptr;
    QPushButton* btnClearFrames = nullptr;
    QPushButton* btnSaveFrames = nullptr;
    QLabel* lblFramesStatus = nullptr;

public slots:
    void btnClearFramesClick();
    // Asks for a file without a nested event loop: a running exchange keeps its timing.
    void btnSaveFramesClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool atBottom() const;

    tblink::FrameHistory& history_;
    std::unique_ptr<FrameHistoryModel> model_;
    int language_ = 0;
    bool follow_ = true;
};

}  // namespace app
